#include "shell/PortItems.h"

#include <algorithm>

#include "platform/LineSettings.h"

namespace telvorn {

namespace {

constexpr int kComPorts = 15;
constexpr int kHighestPort = 255;

// k + 1 for the standard serial device "/dev/ttySk", 0 for any other.
int StandardNumber(const std::string& device)
{
    for (int n = 1; n <= kHighestPort; ++n)
        if (device == DefaultDeviceOfPort(n))
            return n;
    return 0;
}

int LowestFree(const std::vector<PortItem>& items)
{
    int n = 1;
    while (n < kHighestPort && std::any_of(items.begin(), items.end(), [n](const PortItem& i) { return i.number == n; }))
        ++n;
    return n;
}

bool ByDevice(const PortItem& a, const PortItem& b)
{
    return a.device < b.device;
}

} // namespace

std::vector<PortItem> NumberedComPorts()
{
    std::vector<PortItem> items;
    for (int n = 1; n <= kComPorts; ++n)
        items.push_back({"COM" + std::to_string(n), n, {}, {}});
    return items;
}

PortItem DevicePortItem(const std::string& device, const std::string& description)
{
    const std::size_t slash = device.find_last_of('/');
    return {slash == std::string::npos ? device : device.substr(slash + 1), 0, device, description};
}

void NumberPortItems(std::vector<PortItem>& items)
{
    std::stable_sort(items.begin(), items.end(), ByDevice);
    for (PortItem& item : items)
        item.number = StandardNumber(item.device);
    for (PortItem& item : items)
        if (item.number == 0)
            item.number = LowestFree(items);
}

int EnsureDeviceItem(std::vector<PortItem>& items, const std::string& device)
{
    if (device.empty())
        return -1;
    const auto found = std::find_if(items.begin(), items.end(), [&](const PortItem& item) { return item.device == device; });
    if (found != items.end())
        return int(found - items.begin());
    // The others keep their numbers: the list is already on show elsewhere.
    PortItem item = DevicePortItem(device, "Not connected");
    const int standard = StandardNumber(device);
    const bool taken = std::any_of(items.begin(), items.end(), [&](const PortItem& i) { return i.number == standard; });
    item.number = standard != 0 && !taken ? standard : LowestFree(items);
    const auto at = std::upper_bound(items.begin(), items.end(), item, ByDevice);
    const auto inserted = items.insert(at, std::move(item));
    return int(inserted - items.begin());
}

} // namespace telvorn
