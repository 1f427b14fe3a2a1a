// Runs the built `telvorn crc` and `telvorn cpr` and checks their output to
// the character, since other tools parse it.

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <sys/wait.h>

namespace {

struct Outcome {
    int exitCode;
    std::string out;
};

enum class Capture { Out, Err };

// Captures one of the two streams and discards the other.
Outcome RunTelvorn(const std::string& args, Capture capture = Capture::Out)
{
    const std::string command = std::string("'") + TELVORN_EXE + "' " + args +
        (capture == Capture::Out ? " 2>/dev/null" : " 2>&1 >/dev/null");
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return {-1, {}};
    std::string out;
    char buffer[256];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        out.append(buffer, n);
    const int status = pclose(pipe);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out};
}

TEST(TelvornCommands, Output)
{
    const struct {
        const char* args;
        int exitCode;
        const char* out;
    } rows[] = {
        {"crc 8D4840D6202CC371C32CE0576098", 0, "OK 576098 000000\n"},
        {"crc 8d4840d6202cc371c32ce0576098 5D4840D6F8740A 8D4840D6202CC371C32CE0576099 8D4840D6202CC371C32CE0576018",
         0, "OK 576098 000000\n?? F8740F 000005\n?? 576098 000001\nKO 576098 000080\n"},
        {"crc 5D4840D6B034D9", 0, "KO F8740F 4840D6\n"},
        {"cpr 1 74158 50194", 0, "46.16409 3.44655\n"},
        {"cpr 0 93000 51372", 0, "46.25720 3.44140\n"},
        {"cpr 1 131071 131071", 0, "48.81351 -0.00007\n"},
        {"cpr --ref -33.9,18.6 0 20000 40000", 0, "-35.08447 16.93599\n"},
        {"cpr 0 93000 51372 --ref 52.258,3.918", 0, "52.25720 3.91937\n"},
        {"cpr 1 74158.0 5.0194e4", 0, "46.16409 3.44655\n"},
        // Bad input: nothing on standard output (not even for the good frame
        // before a bad one), exit code 2.
        {"crc", 2, ""},
        {"crc 8D4840D6202CC371C32CE0576098 8D4840D6202CC371C32CE057609", 2, ""},
        {"crc 8D4840D6202CC371C32CE057609G", 2, ""},
        {"cpr 1 74158", 2, ""},
        {"cpr 2 74158 50194", 2, ""},
        {"cpr 0.5 74158 50194", 2, ""},
        {"cpr 1 131072 50194", 2, ""},
        {"cpr 1 74158 -1", 2, ""},
        {"cpr --ref 48.7 1 74158 50194", 2, ""},
        {"cpr 1 74158 50194 --ref", 2, ""},
        {"cpr --bogus 1 74158 50194", 2, ""},
        {"cpr --ref 89.9,0 1 0 0", 2, ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.args);
        const Outcome run = RunTelvorn(row.args);
        EXPECT_EQ(run.exitCode, row.exitCode);
        EXPECT_EQ(run.out, row.out);
    }
}

// An error is one line on standard error that names the offending argument.
TEST(TelvornCommands, ErrorNamesTheArgument)
{
    const std::string bad = "8D4840D6202CC371C32CE05760";
    const Outcome run = RunTelvorn("crc " + bad, Capture::Err);
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.out.find(bad), std::string::npos) << run.out;
    EXPECT_EQ(run.out.find('\n'), run.out.size() - 1) << run.out;
}

} // namespace
