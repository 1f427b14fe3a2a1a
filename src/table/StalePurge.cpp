#include "table/StalePurge.h"

#include <vector>

#include "text/NumberText.h"

namespace telvorn {

namespace {

constexpr double kSecondsPerDay = 86400.0;

} // namespace

double RowAge(double nowSeconds, double lastHeard)
{
    double age = RoundHalfEven(nowSeconds - lastHeard);
    if (age < 0.0)
        age += kSecondsPerDay;
    return age;
}

std::size_t TimerClean_Timer(AircraftTable& table, StatusPanels& panels, const MainState& state,
                             const Clock& clock)
{
    if (state.TableBusy)
        return 0;
    const double now = clock.localSecondsOfDay();
    std::vector<RowId> stale;
    table.forEachRow([&](RowId id, const AircraftRow& row) {
        // A cell that is no time of day could never age out: treat it as stale.
        const std::optional<double> lastHeard = ParseLeadingNumber(row[Column::Last]);
        if (!lastHeard || *lastHeard < 0.0 || *lastHeard > kSecondsPerDay || RowAge(now, *lastHeard) > PurgeAge)
            stale.push_back(id);
    });
    for (RowId id : stale)
        table.removeRow(id);
    panels.setText(Panel::Prc, std::to_string(table.size()));
    return stale.size();
}

} // namespace telvorn
