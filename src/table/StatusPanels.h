#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace telvorn {

// The status bar's panels, left to right. The clock panel shows the time of
// day by itself and has no key.
enum class Panel : std::uint8_t { Raw, Crc, Prc, All, Alt, Clock };

inline constexpr std::size_t kPanelCount = 6;

struct PanelDef {
    std::string_view key;
    std::string_view initialText;
    std::string_view tooltip;
    int widthTwips;
};

// The text of each panel. A counter panel is just its text: read with the
// leading-number parse, incremented, written back as a plain integer.
class StatusPanels {
public:
    StatusPanels();

    static const std::array<PanelDef, kPanelCount>& Definitions();

    const std::string& text(Panel panel) const { return texts_[std::size_t(panel)]; }
    void setText(Panel panel, std::string_view text);
    void increment(Panel panel);

    // Called after a panel's text changed; the window repaints that panel.
    void setChangeListener(std::function<void(Panel)> listener) { listener_ = std::move(listener); }

private:
    std::array<std::string, kPanelCount> texts_;
    std::function<void(Panel)> listener_;
};

} // namespace telvorn
