// Any argument list for a `telvorn` sub-command: TELVORN_FUZZ_COMMAND names
// its function (RunCrc, RunCpr), TELVORN_FUZZ_CRC is 1 for `crc`. Whatever it
// is given, the command ends with 0 (done) or 2 (bad usage); `crc` succeeds
// exactly when every argument is a short or a long frame in hexadecimal.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "Commands.h"
#include "FuzzCheck.h"
#include "text/NumberText.h"

using namespace telvorn;

namespace {

bool IsFrame(const std::string& arg)
{
    if (arg.size() != 14 && arg.size() != 28)
        return false;
    for (char c : arg)
        if (HexDigitValue(c) < 0)
            return false;
    return true;
}

bool CrcShouldAccept(const std::vector<std::string>& args)
{
    if (args.empty())
        return false;
    for (const std::string& arg : args)
        if (!IsFrame(arg))
            return false;
    return true;
}

} // namespace

// The commands print their results; only the exit code is checked here.
// (run-fuzzers.sh passes -close_fd_mask=3, which silences their messages too.)
extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    if (!std::freopen("/dev/null", "w", stdout))
        return 1;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::vector<std::string> args = fuzz::SplitArguments(data, size);
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    const int code = app::TELVORN_FUZZ_COMMAND(int(args.size()), argv.data());
    FUZZ_CHECK(code == 0 || code == 2, "exit code " + std::to_string(code));
    if (TELVORN_FUZZ_CRC)
        FUZZ_CHECK((code == 0) == CrcShouldAccept(args), "crc exit code " + std::to_string(code));
    return 0;
}
