#include "table/StatusPanels.h"

#include "text/NumberText.h"

namespace telvorn {

const std::array<PanelDef, kPanelCount>& StatusPanels::Definitions()
{
    static const std::array<PanelDef, kPanelCount> defs{{
        {"RAW", "NO RAW DATA MODE", "Raw Frame if RAW mode selected", 3900},
        {"CRC", "", "CRC Errors or Not Checked CRC", 800},
        {"PRC", "", "Unique ICAO addresses", 800},
        {"ALL", "", "Total Frame", 800},
        {"ALT", "", "Alerts", 3000},
        {"", "", "", 600},
    }};
    return defs;
}

StatusPanels::StatusPanels()
{
    const auto& defs = Definitions();
    for (std::size_t i = 0; i < defs.size(); ++i)
        texts_[i] = std::string(defs[i].initialText);
}

void StatusPanels::setText(Panel panel, std::string_view text)
{
    texts_[std::size_t(panel)].assign(text);
    if (listener_)
        listener_(panel);
}

void StatusPanels::increment(Panel panel)
{
    setText(panel, IntegerText(LeadingNumber(text(panel)) + 1.0));
}

} // namespace telvorn
