#include "feeds/AlertBook.h"

#include "text/NumberText.h"

namespace telvorn {

bool AddressValue(std::string_view text, std::uint32_t& value)
{
    if (text.empty() || text.size() > 6)
        return false;
    value = 0;
    for (char c : text) {
        const int digit = HexDigitValue(c);
        if (digit < 0)
            return false;
        value = value << 4 | std::uint32_t(digit);
    }
    return true;
}

void AlertBook::alertReceived(std::string_view line)
{
    if (!line.empty())
        line.remove_prefix(1);
    const std::size_t first = line.find(',');
    if (first == std::string_view::npos)
        return;
    const std::size_t second = line.find(',', first + 1);
    if (second == std::string_view::npos)
        return;
    const std::string_view code = line.substr(first + 1, second - first - 1);
    const std::string_view source = line.substr(second + 1, line.find(',', second + 1) - second - 1);
    std::uint32_t address = 0;
    if (!AddressValue(line.substr(0, first), address) || code.size() != 1 || code[0] < '0' || code[0] > '8')
        return;
    if (code[0] == '0') {
        flags_.erase(address);
        return;
    }
    if (flags_.size() >= kCapacity && !flags_.contains(address))
        return;
    flags_[address] = SbsFlags{source == "S", true, false};
}

SbsFlags AlertBook::flagsOf(std::string_view address) const
{
    std::uint32_t value = 0;
    if (flags_.empty() || !AddressValue(address, value))
        return {};
    const auto it = flags_.find(value);
    return it == flags_.end() ? SbsFlags{} : it->second;
}

} // namespace telvorn
