// The telvorn-board program as a script starts it.

#include <gtest/gtest.h>

#include <csignal>

#include "BoardTestKit.h"
#include "ProgramRun.h"

namespace {

using namespace telvorn::test;

// The first line of standard output is the device, which answers at once;
// a stop signal ends the program with exit code 0.
TEST(TelvornBoardProgram, PrintsItsDeviceFirstAndStopsCleanlyOnSignal)
{
    for (const int signal : {SIGTERM, SIGINT}) {
        Program board(TELVORN_BOARD_EXE, {"--seed", "1", "--rate", "200"});
        ASSERT_TRUE(board.waitUntil([&] { return board.out.find('\n') != std::string::npos; })) << board.err;
        EXPECT_TRUE(board.out.starts_with("/dev/pts/")) << board.out;
        const std::string reply = SerialClient(board.out.substr(0, board.out.find('\n'))).sync();
        EXPECT_NE(reply.find("|48.72171"), std::string::npos) << reply;
        board.signal(signal);
        EXPECT_EQ(board.finish(), 0) << signal << board.err;
    }
    const Ran bad = RunProgram(TELVORN_BOARD_EXE, {"--rate", "fast"});
    EXPECT_EQ(bad.out, "");
    EXPECT_NE(bad.err.find("--rate needs a number"), std::string::npos) << bad.err;
    EXPECT_EQ(bad.status, 2);
}

} // namespace
