#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <unordered_map>

namespace telvorn {

// The BaseStation flags of an aircraft's identity: "squawk changed / alert",
// "emergency" and "special position indicator".
struct SbsFlags {
    bool alert = false;
    bool emergency = false;
    bool spi = false;
};

// What the board's alert lines ("!SUBJECT,CODE,SOURCE") said last about each
// address. The board raises an alert line when it sees an emergency state,
// from the identity code (source "S") or from a Mode S message ("M"), and
// code 0 when it is over. Any code 1 to 8 is an emergency; one taken from the
// identity code is also the transponder's alert condition, which an
// emergency squawk raises. The lines carry no special position indicator, so
// that flag is never set. Only addresses in an emergency are kept, and at
// most kCapacity of them, so a flood of alert lines cannot grow it unbounded.
class AlertBook {
public:
    static constexpr std::size_t kCapacity = 4096;

    // The line as the frame decoder handed it on, marker included.
    void alertReceived(std::string_view line);
    SbsFlags flagsOf(std::string_view address) const;
    std::size_t size() const { return flags_.size(); }

private:
    std::unordered_map<std::uint32_t, SbsFlags> flags_;
};

// The 24-bit value of an address text of one to six hexadecimal digits.
bool AddressValue(std::string_view text, std::uint32_t& value);

} // namespace telvorn
