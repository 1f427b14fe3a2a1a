#include "shell/PortItems.h"

#include <gtest/gtest.h>

namespace telvorn {
namespace {

#ifndef _WIN32
TEST(PortItems, DevicesKeepTheNumberThatOpensThem)
{
    std::vector<PortItem> items = {DevicePortItem("/dev/ttyUSB0", "FT232R USB UART"), DevicePortItem("/dev/ttyS2", ""),
                                   DevicePortItem("/dev/ttyACM0", ""), DevicePortItem("/dev/ttyS0", "")};
    NumberPortItems(items);
    const std::vector<PortItem> numbered = {{"ttyACM0", 2, "/dev/ttyACM0", ""}, {"ttyS0", 1, "/dev/ttyS0", ""},
                                            {"ttyS2", 3, "/dev/ttyS2", ""},
                                            {"ttyUSB0", 4, "/dev/ttyUSB0", "FT232R USB UART"}};
    EXPECT_EQ(items, numbered);
    EXPECT_EQ(EnsureDeviceItem(items, "/dev/ttyS2"), 2);
    EXPECT_EQ(EnsureDeviceItem(items, ""), -1);
    // Unplugged: added in its place with a free number, the others unchanged.
    // /dev/ttyS1 would be 2, but ttyACM0 has it.
    EXPECT_EQ(EnsureDeviceItem(items, "/dev/ttyS1"), 2);
    EXPECT_EQ(EnsureDeviceItem(items, "/dev/ttyS5"), 4);
    const std::vector<PortItem> ensured = {numbered[0], numbered[1], {"ttyS1", 5, "/dev/ttyS1", "Not connected"},
                                           numbered[2], {"ttyS5", 6, "/dev/ttyS5", "Not connected"}, numbered[3]};
    EXPECT_EQ(items, ensured);
}
#endif

} // namespace
} // namespace telvorn
