#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CoreHarness.h"
#include "receiver/ReceiveChain.h"

using namespace telvorn;

namespace {

struct Recorder final : RecordObserver {
    std::vector<std::string> events;
    void recordReceived(const RecordFields& f) override { events.push_back("received " + std::string(f[2])); }
    void recordApplied(const RecordFields& f, RowId, const MainState& state) override
    {
        events.push_back("applied " + std::string(f[3]) + " " + state.PosLat[1] + "," + state.PosLon[1]);
    }
    void alertReceived(std::string_view line) override { events.push_back("alert " + std::string(line)); }
};

} // namespace

TEST(ReceiveChain, FeedsTheTableAndTellsItsObserversInOrder)
{
    FrozenClock clock;
    ReceiveChain chain(clock);
    chain.SetupColumns();
    Recorder first, second;
    chain.addObserver(&first);
    chain.addObserver(&second);

    chain.received(test::Record17("4840D6", {{6, "0"}, {7, "48.85"}, {8, "2.35"}}) + ";\r\n");
    chain.received(test::Record({{2, "18"}, {3, "ABCDEF"}}) + ";\r\n!4840D6,7,S;\r\n*8D4840D6;\r\n");
    chain.removeObserver(&second);
    chain.received(test::Record17("3C6444") + ";\r\n");

    const std::vector<std::string> expected{"received 17", "applied 4840D6 48.85,2.35", "received 18",
                                            "alert !4840D6,7,S", "received 17", "applied 3C6444 ,"};
    EXPECT_EQ(first.events, expected);
    EXPECT_EQ(second.events, std::vector<std::string>(expected.begin(), expected.begin() + 4));
    EXPECT_EQ(chain.table().size(), 2u);
    EXPECT_EQ(chain.panels().text(Panel::All), "5");
    EXPECT_EQ(chain.panels().text(Panel::Crc), "1");
}

TEST(ReceiveChain, DecodesRawPositionsAgainstTheConfiguredReceiver)
{
    FrozenClock clock;
    ReceiveChain chain(clock);
    chain.state().RawMode = true;
    chain.state().PosLat[0] = "-33.9";
    chain.state().PosLon[0] = "18.6";
    ASSERT_TRUE(chain.applyReference());
    chain.received(test::Record17("008001", {{6, "0"}, {7, "20000"}, {8, "40000"}}) + ";\r\n");
    EXPECT_EQ(chain.state().PosLat[1], "-35.08447");
    EXPECT_EQ(chain.state().PosLon[1], "16.93599");

    // An edited setting the decoder cannot take keeps the previous reference.
    chain.state().PosLat[0] = "1e999";
    EXPECT_FALSE(chain.applyReference());
    chain.received(test::Record17("008001", {{6, "0"}, {7, "20000"}, {8, "40000"}}) + ";\r\n");
    EXPECT_EQ(chain.state().PosLat[1], "-35.08447");
}
