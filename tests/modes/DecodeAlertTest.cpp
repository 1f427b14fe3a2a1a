#include <gtest/gtest.h>

#include "modes/DecodeAlert.h"

using namespace telvorn;

// The alert panel after one line, over an earlier alert: lines with fewer
// than three fields leave that one alone.
TEST(DecodeAlert, PanelTextOfAlertLines)
{
    struct Row {
        const char* line;
        const char* text;
    };
    const char* before = "4CA1B2 (SQUACK) Reserved";
    const Row rows[] = {
        {"!4CA1B2,0,S", "4CA1B2 (SQUACK) No Emergency"},
        {"!4CA1B2,5,M", "4CA1B2 (MODE-S) Unlawful Intercept"},
        {"!4CA1B2,8,M,extra", "4CA1B2 (MODE-S) Military Interceptor"},
        {"!4CA1B2,9,S", "4CA1B2 (SQUACK) unknown"},
        {"!4CA1B2,1,X", "4CA1B2General Emergency"},
        {"!,0,S", " (SQUACK) No Emergency"},
        {"!A,2,s", "ALifeguard/Medical"},
        {"!A,01,M", "A (MODE-S) unknown"},
        {"!A, 1,M", "A (MODE-S) unknown"},
        {"!A,3,", "AMinimum Fuel"},
        {"!A,4,M", "A (MODE-S) No Communications"},
        {"!A,6,M", "A (MODE-S) Reserved"},
        {"!", before}, {"", before}, {"!4CA1B2", before}, {"!4CA1B2,7", before},
    };
    for (const Row& row : rows) {
        StatusPanels panels;
        DecodeAlert("!4CA1B2,7,S", panels);
        ASSERT_EQ(panels.text(Panel::Alt), before);
        DecodeAlert(row.line, panels);
        EXPECT_EQ(panels.text(Panel::Alt), row.text) << row.line;
    }
}
