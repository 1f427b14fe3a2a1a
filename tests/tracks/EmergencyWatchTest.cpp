#include <gtest/gtest.h>

#include <string>

#include "CoreHarness.h"
#include "receiver/ReceiveChain.h"

using namespace telvorn;
using test::Record17;

// One aircraft through a run of squawks and alert lines; after each line,
// the tooltip a view shows (empty: no emergency).
TEST(EmergencyWatch, FollowsTheSquawkAndTheAlertLines)
{
    FrozenClock clock;
    ReceiveChain chain(clock);
    chain.SetupColumns();
    auto squawk = [](const char* code) { return Record17("4840D6", {{10, code}}); };
    struct Step {
        std::string line;
        const char* text;
    };
    const Step steps[] = {
        {squawk("1200"), ""},
        {squawk("7700"), "general emergency"},
        {Record17("4840D6", {{9, "35000"}}), "general emergency"}, // no squawk in the record: unchanged
        {squawk("7600"), "radio failure"},
        {squawk("7500"), "hijack"},
        {squawk("1000"), ""},
        {"!4840D6,5,M", "Unlawful Intercept"},
        {squawk("7700"), "Unlawful Intercept"}, // the alert's text comes first
        {"!4840D6,0,M", "general emergency"},   // code 0 ends the alert, the squawk stays
        {squawk("2000"), ""},
        {"!4840d6 ,3,M,extra", "Minimum Fuel"}, // the address in another case, with a blank
        {"!4840D6,2,X", "Lifeguard/Medical"},
        {"!4840D6,6,M", ""}, // "Reserved" is no emergency, and replaces the one before
        {"!4840D6,8,M", "Military Interceptor"},
        {"!4840D6,9,M", ""},
        {"!4840D6,1,M", "General Emergency"},
        {"!4840D6,01,M", ""},
        {"!4840D6,4", ""}, // too few fields: ignored
        {"!4840D6,4,S", "No Communications"},
        {squawk("2000"), "No Communications"}, // the same squawk again
        {squawk("2001"), ""},                  // the squawk the board took it from changed
        {"!4840D6,1,M", "General Emergency"},
        {squawk("3000"), "General Emergency"}, // a Mode S alert does not follow the squawk
        {"!ABCDEF,0,M", "General Emergency"},  // another address, with no row
    };
    for (const Step& step : steps) {
        chain.received(step.line + ";\r\n");
        const RowId row = *chain.table().FindAircraftRow("4840D6");
        EXPECT_EQ(chain.tracker().emergencyText(row), step.text) << step.line;
        EXPECT_EQ(chain.tracker().inEmergency(row), *step.text != '\0') << step.line;
    }
    // The status bar's alert panel stays the decoder's own.
    EXPECT_EQ(chain.panels().text(Panel::Alt), "ABCDEF (MODE-S) No Emergency");
    EXPECT_FALSE(chain.table().FindAircraftRow("ABCDEF"));
}
