#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "CoreHarness.h"
#include "FeedTestKit.h"
#include "feeds/AlertBook.h"
#include "feeds/FeedHub.h"
#include "receiver/ReceiveChain.h"

using namespace telvorn;

namespace {

// A DF 17 identification frame with valid parity, from the board's own
// sample stream.
const std::string kFrame = "8D419A9B220815F2DF2820166705";

struct HubOnChain {
    FrozenClock clock{std::chrono::sys_days{std::chrono::year{2026} / 12 / 5} + std::chrono::milliseconds{1}};
    ReceiveChain chain{clock};
    FeedHub hub{clock};
    HubOnChain() { chain.addObserver(&hub); }
    void receive(const std::string& lines) { chain.received(lines); }
};

} // namespace

// Every sink of a protocol gets the same bytes; the records of one receive
// event leave in one offer per sink, at the flush the hub asked for once.
TEST(FeedHub, OneFlushPerReceiveEventToEverySink)
{
    HubOnChain h;
    int requests = 0;
    h.hub.setFlushRequest([&] { ++requests; });
    test::CaptureSink sbs1, sbs2, raw, beast;
    h.hub.attach(FeedProtocol::Sbs, sbs1);
    h.hub.attach(FeedProtocol::Sbs, sbs2);
    h.hub.attach(FeedProtocol::Raw, raw);
    h.hub.attach(FeedProtocol::Beast, beast);

    h.receive(test::Record({{0, kFrame}, {2, "17"}, {3, "419A9B"}, {4, "BAW272"}}) + ";\r\n" +
              test::Record({{0, "5D4D037D5530D6"}, {2, "11"}, {3, "4D037D"}}) + ";\r\n" +
              // DF 18 is not in the table, but its frame is a frame.
              test::Record({{0, "9049226511189485DA0820DC6340"}, {2, "18"}, {3, "492265"}}) + ";\r\n" +
              "*9843C5E7F82800000049B8F8A01C;\r\n" +
              // Only whole frames go out.
              test::Record({{0, "8D419A9B220815F2DF28201667XY"}, {2, "17"}, {3, "419A9B"}}) + ";\r\n");
    EXPECT_EQ(requests, 1);
    EXPECT_EQ(sbs1.offers + raw.offers + beast.offers, 0);
    h.hub.flush();

    EXPECT_EQ(sbs1.offers, 1);
    EXPECT_EQ(sbs1.bytes, sbs2.bytes);
    ASSERT_EQ(sbs1.lines().size(), 2u);
    EXPECT_TRUE(sbs1.lines()[0].starts_with("MSG,1,1,1,419A9B,1,")) << sbs1.bytes;
    EXPECT_TRUE(sbs1.lines()[1].starts_with("MSG,8,1,1,4D037D,1,")) << sbs1.bytes;
    EXPECT_EQ(raw.bytes, "*" + kFrame + ";\r\n*5D4D037D5530D6;\r\n*9049226511189485DA0820DC6340;\r\n");
    EXPECT_EQ(raw.offers, 1);
    // 1 ms after UTC midnight: 12 000 ticks, 0x002EE0.
    EXPECT_EQ(beast.bytes.substr(0, 9), std::string("\x1A\x33\0\0\0\0\x2E\xE0\0", 9));
    EXPECT_EQ(beast.bytes.size(), 3u * 9 + 14 + 7 + 14);

    h.receive(test::Record17("419A9B", {{11, "64"}}) + ";\r\n");
    EXPECT_EQ(requests, 2);
}

// A sink that cannot take more is forgotten at once, and never offered
// anything again; the others get every line.
TEST(FeedHub, FullSinkIsDroppedAndTheOthersKeepEverything)
{
    HubOnChain h;
    test::CaptureSink slow, fast;
    slow.capacity = 300;
    h.hub.attach(FeedProtocol::Raw, slow);
    h.hub.attach(FeedProtocol::Raw, fast);
    for (int i = 0; i < 50; ++i)
        h.receive(test::Record({{0, kFrame}, {2, "17"}, {3, "419A9B"}}) + ";\r\n");
    EXPECT_EQ(fast.lines().size(), 50u);
    EXPECT_EQ(slow.lines().size(), 300u / 32); // whole lines of 32 bytes
    EXPECT_EQ(slow.offers, 300 / 32 + 1);
    EXPECT_EQ(h.hub.sinkCount(FeedProtocol::Raw), 1u);
    // Detaching a sink the hub already forgot is harmless.
    h.hub.detach(slow);
    EXPECT_EQ(h.hub.sinkCount(FeedProtocol::Raw), 1u);
}

TEST(AlertBook, EmergenciesByAddressFromTheAlertLines)
{
    struct Row {
        const char* line;
        const char* address;
        bool alert, emergency;
    };
    const Row rows[] = {
        {"!4CA1B2,7,S", "4CA1B2", true, true},
        {"!4CA1B2,5,M", "4ca1b2", false, true},
        {"!4CA1B2,0,M", "4CA1B2", false, false},
        {"!4CA1B2,8,M,extra", "4CA1B2", false, true},
        {"!4CA1B2,9,S", "4CA1B2", false, true}, // unknown code: no change
        {"!4CA1B2,1", "4CA1B2", false, true},   // too few fields: no change
        {"!MAYDAY,1,S", "4CA1B2", false, true}, // no address
        {"!0004CA,1,S", "4CA", true, true},
    };
    AlertBook book;
    for (const Row& row : rows) {
        book.alertReceived(row.line);
        const SbsFlags flags = book.flagsOf(row.address);
        EXPECT_EQ(flags.alert, row.alert) << row.line;
        EXPECT_EQ(flags.emergency, row.emergency) << row.line;
        EXPECT_FALSE(flags.spi);
    }
    char line[32];
    for (unsigned a = 0; a < AlertBook::kCapacity + 100; ++a) {
        std::snprintf(line, sizeof line, "!%06X,1,S", 0x100000u + a);
        book.alertReceived(line);
    }
    EXPECT_EQ(book.size(), AlertBook::kCapacity);
}
