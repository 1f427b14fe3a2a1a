// Any text as an alert line. With three fields or more the panel shows the
// subject, the source marker of field 2 and the state text of field 1;
// with fewer it keeps what it showed.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzCheck.h"
#include "TextFields.h"
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

    const std::vector<std::string> f = test::Split(std::string_view(line).substr(line.empty() ? 0 : 1));
    if (f.size() < 3) {
        FUZZ_CHECK(shown == "before", "an alert line with fewer than three fields changed the panel");
        return 0;
    }
    const std::string& subject = f[0];
    const std::string_view marker = f[2] == "S" ? " (SQUACK) " : f[2] == "M" ? " (MODE-S) " : "";
    FUZZ_CHECK(std::string_view(shown).starts_with(subject + std::string(marker)),
               "panel does not start with subject and source marker");
    FUZZ_CHECK(EndsWithStateText(std::string_view(shown).substr(subject.size() + marker.size())),
               "panel does not end with a state text");
    FUZZ_CHECK(shown.size() <= subject.size() + marker.size() + 20, "panel longer than subject, marker and state");
    return 0;
}
