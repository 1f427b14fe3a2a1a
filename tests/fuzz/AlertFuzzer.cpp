// Any text as an alert line. With three fields or more the panel shows the
// subject, the source marker of field 2 and the state text of field 1;
// with fewer it keeps what it showed.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzCheck.h"
#include "modes/DecodeAlert.h"

using namespace telvorn;

namespace {

constexpr std::array<std::string_view, 10> kStateTexts{
    "No Emergency",       "General Emergency", "Lifeguard/Medical", "Minimum Fuel", "No Communications",
    "Unlawful Intercept", "Reserved",          "Military Interceptor", "unknown",   "Reserved"};

bool EndsWithStateText(std::string_view text)
{
    for (std::string_view state : kStateTexts)
        if (text.ends_with(state))
            return true;
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string line(reinterpret_cast<const char*>(data), size);
    StatusPanels panels;
    panels.setText(Panel::Alt, "before");
    DecodeAlert(line, panels);
    const std::string& shown = panels.text(Panel::Alt);

    const std::string_view rest = line.empty() ? std::string_view() : std::string_view(line).substr(1);
    const std::size_t first = rest.find(',');
    const std::size_t second = first == std::string_view::npos ? first : rest.find(',', first + 1);
    if (second == std::string_view::npos) {
        FUZZ_CHECK(shown == "before", "an alert line with fewer than three fields changed the panel");
        return 0;
    }
    const std::string_view subject = rest.substr(0, first);
    const std::string_view source = rest.substr(second + 1, rest.find(',', second + 1) - second - 1);
    const std::string_view marker = source == "S" ? " (SQUACK) " : source == "M" ? " (MODE-S) " : "";
    FUZZ_CHECK(std::string_view(shown).starts_with(std::string(subject) + std::string(marker)),
               "panel does not start with subject and source marker");
    FUZZ_CHECK(EndsWithStateText(std::string_view(shown).substr(subject.size() + marker.size())),
               "panel does not end with a state text");
    FUZZ_CHECK(shown.size() <= subject.size() + marker.size() + 20, "panel longer than subject, marker and state");
    return 0;
}
