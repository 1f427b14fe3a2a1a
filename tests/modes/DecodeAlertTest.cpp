#include <gtest/gtest.h>

#include "modes/DecodeAlert.h"

using namespace telvorn;

TEST(DecodeAlert, PanelTextOfAlertLines)
{
    struct Row {
        const char* line;
        const char* text;
    };
    const Row rows[] = {
        {"!4CA1B2,7,S", "4CA1B2 (SQUACK) Reserved"},
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
    };
    for (const Row& row : rows) {
        StatusPanels panels;
        DecodeAlert(row.line, panels);
        EXPECT_EQ(panels.text(Panel::Alt), row.text) << row.line;
    }
}

TEST(DecodeAlert, ShortLinesLeaveThePanelAlone)
{
    StatusPanels panels;
    DecodeAlert("!4CA1B2,7,S", panels);
    for (const char* line : {"!", "", "!4CA1B2", "!4CA1B2,7"})
        DecodeAlert(line, panels);
    EXPECT_EQ(panels.text(Panel::Alt), "4CA1B2 (SQUACK) Reserved");
    // A later "No Emergency" replaces the alert.
    DecodeAlert("!4CA1B2,0,S", panels);
    EXPECT_EQ(panels.text(Panel::Alt), "4CA1B2 (SQUACK) No Emergency");
}
