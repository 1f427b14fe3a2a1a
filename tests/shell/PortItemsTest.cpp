#include "shell/PortItems.h"

#include <gtest/gtest.h>

namespace telvorn {
namespace {

#ifndef _WIN32
TEST(PortItems, DevicesKeepTheNumberThatOpensThem)
{
    std::vector<PortItem> items = {
        DevicePortItem("/dev/ttyUSB0", "FT232R USB UART"),
        DevicePortItem("/dev/ttyS2", ""),
        DevicePortItem("/dev/ttyACM0", ""),
        DevicePortItem("/dev/ttyS0", ""),
    };
    NumberPortItems(items);
    const std::vector<PortItem> numbered = {
        {"ttyACM0", 2, "/dev/ttyACM0", ""},
        {"ttyS0", 1, "/dev/ttyS0", ""},
        {"ttyS2", 3, "/dev/ttyS2", ""},
        {"ttyUSB0", 4, "/dev/ttyUSB0", "FT232R USB UART"},
    };
    EXPECT_EQ(items, numbered);

    EXPECT_EQ(EnsureDeviceItem(items, "/dev/ttyS2"), 2);
    EXPECT_EQ(EnsureDeviceItem(items, ""), -1);
    EXPECT_EQ(items.size(), 4u);
    // Unplugged: added in its place with a free number, the others unchanged.
    // /dev/ttyS1 would be 2, but ttyACM0 has it.
    EXPECT_EQ(EnsureDeviceItem(items, "/dev/ttyS1"), 2);
    ASSERT_EQ(items.size(), 5u);
    EXPECT_EQ(items[2].text, "ttyS1");
    EXPECT_EQ(items[2].number, 5);
    EXPECT_EQ(items[3], numbered[2]);
    EXPECT_EQ(EnsureDeviceItem(items, "/dev/ttyS5"), 4);
    EXPECT_EQ(items[4].number, 6);
}
#endif

} // namespace
} // namespace telvorn
