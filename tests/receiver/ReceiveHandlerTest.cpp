#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "platform/Clock.h"
#include "receiver/ReceiveHandler.h"
#include "table/MainState.h"
#include "table/StatusPanels.h"

using namespace telvorn;

namespace {

struct MemoryLog : LogSink {
    std::string bytes;
    bool fail = false;
    int flushes = 0;
    bool write(std::string_view b) override { if (!fail) bytes.append(b); return !fail; }
    void flush() override { ++flushes; }
};

struct Framer {
    FrozenClock clock;
    MainState state;
    StatusPanels panels;
    std::vector<std::string> lines, countsSeenByDecoder, stamps;
    ReceiveHandler rx{[this](std::string_view frame) {
                          lines.emplace_back(frame);
                          countsSeenByDecoder.push_back(panels.text(Panel::All));
                          stamps.push_back(state.FrameTime);
                      },
                      panels, state, clock};

    void feed(std::string_view bytes) { rx.MSComm_OnComm(comEvReceive, bytes); }
};

const std::string kGoodRecord = "+,,17,4840D6,KLM1023,A3,,,,35000,,,,,,;\r\n";
const std::string kGoodLine = "+,,17,4840D6,KLM1023,A3,,,,35000,,,,,,";

} // namespace

// A line starts at the earliest marker and ends at its first ";" (or the line
// feed), whatever markers its payload holds; the counter rises after each
// decode, never before it.
TEST(ReceiveHandler, LinesStartAtTheEarliestMarkerAndLoseOnlyTheirTerminator)
{
    const struct { std::vector<std::string> events; std::vector<std::string> lines; } rows[] = {
        {{"noise" + kGoodRecord + "*8D4840D6202CC371C32CE0576098;\r\n!4CA1B2,7,S;\r\n-5D4840D6;\r\n+1,", "2;\r\n"},
         {kGoodLine, "*8D4840D6202CC371C32CE0576098", "!4CA1B2,7,S", "-5D4840D6", "+1,2"}},
        {{"+1,2;\r\n*ABC;\r\n", "-1;\r\n+2;\r\n"}, {"+1,2", "*ABC", "-1", "+2"}},
        {{"+*8D,,17,4840D6,-1,!A,+2;\r\n-*;\r\n"}, {"+*8D,,17,4840D6,-1,!A,+2", "-*"}},
        {{"+1,2;\n"}, {"+1,2"}},   {{"+a;b;\r\n"}, {"+a"}},   {{"*\n"}, {"*"}},   {{"*\r\n"}, {"*"}},
        {{"+abc\r\n"}, {"+abc"}}, {{"!X,1,S;junk\r\n"}, {"!X,1,S"}}, {{"+x\r\r\n"}, {"+x\r"}},
    };
    for (const auto& row : rows) {
        Framer f;
        for (const std::string& event : row.events)
            f.feed(event);
        EXPECT_EQ(f.lines, row.lines) << row.events[0];
        for (std::size_t i = 0; i < f.lines.size(); ++i)
            EXPECT_EQ(f.countsSeenByDecoder[i], i ? std::to_string(i) : "") << row.events[0];
        EXPECT_EQ(f.panels.text(Panel::All), std::to_string(f.lines.size()));
    }
}

// Random bytes between good records, a long line among them: however the
// stream is split into events, the same lines come, the buffer stays within
// its cap, no good record is lost, and each byte is searched once.
TEST(ReceiveHandler, AnyBytesInAnyChunksGiveTheSameLinesAndEveryGoodRecord)
{
    std::mt19937 random(99);
    std::string stream = "+" + std::string(20000, 'x') + ";\r\n";
    for (int i = 0; i < 200; ++i) {
        std::string junk(random() % 3000, '\0');
        for (char& c : junk)
            c = char(random());
        // A line feed ends whatever partial line the junk started.
        stream += junk + "\n" + kGoodRecord + (i % 2 ? "*ABCDEF;\r\n" : "+1,2,3;\n");
    }
    Framer whole;
    whole.feed(stream);
    EXPECT_EQ(std::count(whole.lines.begin(), whole.lines.end(), kGoodLine), 200);
    for (std::size_t chunk : {1u, 2u, 7u, 64u, 5000u}) {
        Framer f;
        for (std::size_t at = 0; at < stream.size(); at += chunk) {
            f.feed(std::string_view(stream).substr(at, chunk));
            ASSERT_LE(f.rx.buffered(), ReceiveHandler::kMaxPartialLine);
        }
        EXPECT_EQ(f.lines, whole.lines) << "chunk " << chunk;
        EXPECT_LE(f.rx.bytesExamined(), stream.size() + f.lines.size()) << "chunk " << chunk;
    }
}

// An overflow drops the partial line; a partial line as long as the cap is
// kept, one byte more is dropped and the next line comes whole; text without
// any marker is not kept at all.
TEST(ReceiveHandler, OverflowOrAPartialLinePastTheCapDropsTheBuffer)
{
    Framer f;
    f.feed("+1,2,3");
    f.rx.MSComm_OnComm(comEventRxOver, {});
    f.feed("4,5;\r\n*AB;\r\n");
    f.rx.MSComm_OnComm(3, "*CD;\r\n"); // other events are ignored
    EXPECT_EQ(f.lines, (std::vector<std::string>{"*AB"}));
    for (const std::size_t length : {ReceiveHandler::kMaxPartialLine, ReceiveHandler::kMaxPartialLine + 1}) {
        Framer g;
        const std::string partial = "+" + std::string(length - 1, 'A');
        g.feed(partial);
        g.feed("\n" + kGoodRecord);
        const std::vector<std::string> kept{partial, kGoodLine}, dropped{kGoodLine};
        EXPECT_EQ(g.lines, length == ReceiveHandler::kMaxPartialLine ? kept : dropped) << length;
    }
    f.feed(std::string(100000, 'z'));
    EXPECT_EQ(f.rx.buffered(), 0u);
}

// The log gets each line exactly as received, complete lines only, and is
// flushed once per event that logged something.
TEST(ReceiveHandler, LogGetsEachLineAsReceivedFlushedOncePerEvent)
{
    Framer f;
    MemoryLog log;
    f.rx.setLog(&log);
    f.state.LogFlag = true;
    const struct { const char* event; const char* logged; int flushes; } rows[] = {
        {"junk+1,2;\n*C", "+1,2;\n", 1},
        {"D;\r\n\x01\x02", "+1,2;\n*CD;\r\n", 2},
        {"*AB;\r\n+1,2;\r\n-C;\r\n", "+1,2;\n*CD;\r\n*AB;\r\n+1,2;\r\n-C;\r\n", 3}, // one flush
        {"+3,", "+1,2;\n*CD;\r\n*AB;\r\n+1,2;\r\n-C;\r\n", 3}, // nothing complete: nothing logged
    };
    for (const auto& row : rows) {
        f.feed(row.event);
        EXPECT_EQ(log.bytes, row.logged) << row.event;
        EXPECT_EQ(log.flushes, row.flushes) << row.event;
    }
    f.state.LogFlag = false;
    f.feed("4;\r\n");
    EXPECT_EQ(log.flushes, 3) << "nothing logged with the flag off";
    f.state.LogFlag = true;
    log.fail = true;
    f.feed("-X;\r\n");
    EXPECT_EQ(f.lines.back(), "-X") << "a failing log does not stop decoding";
}

TEST(ReceiveHandler, FrameTimeIsTheTimeTheLineStartWasFound)
{
    Framer f;
    f.clock.set(std::chrono::sys_days{std::chrono::year{2026} / 12 / 5} + std::chrono::hours{13});
    f.feed("*AB");
    f.clock.advance(std::chrono::milliseconds(1500));
    f.feed(";\r\n*CD;\r\n");
    EXPECT_EQ(f.stamps, (std::vector<std::string>{"20261205130000000", "20261205130001500"}));
}
