#pragma once

#include <string>
#include <vector>

namespace telvorn {

// One entry of the configuration dialog's port list.
struct PortItem {
    std::string text;   // what the list shows: "COM3", "ttyUSB0"
    int number = 0;     // the item data, which the `Port` property names
    std::string device; // "/dev/ttyUSB0"; empty where the number names the port
    std::string description; // its tooltip

    friend bool operator==(const PortItem&, const PortItem&) = default;
};

// "COM1" to "COM15", numbered 1 to 15: the ports Windows names by number.
std::vector<PortItem> NumberedComPorts();

// A device as the list shows it: its file name for the text ("ttyUSB0").
// Its number is given by the list it joins.
PortItem DevicePortItem(const std::string& device, const std::string& description);

// Sorts the list by device and gives every item a number between 1 and 255:
// "/dev/ttySk", the (k+1)-th standard serial device, keeps k + 1, which is
// how a port number without a device is opened; the others take the
// lowest numbers left free. A stored port number then names the same
// device the port itself would open.
void NumberPortItems(std::vector<PortItem>& items);

// The index of the item of that device, adding it (numbered) when the
// system no longer reports it: an unplugged adapter stays choosable.
// -1, and nothing added, for an empty device.
int EnsureDeviceItem(std::vector<PortItem>& items, const std::string& device);

} // namespace telvorn
