#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TempFolder.h"
#include "feeds/FeedOptions.h"
#include "feeds/FeedSettings.h"
#include "platform/FileSettingsStore.h"
#include "shell/Registry.h"

using namespace telvorn;

namespace {

struct Parsed {
    FeedOptions options;
    std::string error;
    std::vector<std::string> others; // arguments that were not ours
};

Parsed Parse(const std::vector<std::string_view>& args)
{
    Parsed p;
    for (std::size_t i = 0; i < args.size() && p.error.empty(); ++i)
        if (ParseFeedOption(args, i, p.options, p.error) == FeedOptionResult::NotFeedOption)
            p.others.emplace_back(args[i]);
    return p;
}

} // namespace

TEST(FeedOptions, CommandLines)
{
    const Parsed p = Parse({"--port", "/dev/ttyUSB0", "--sbs-port", "30003", "--raw-port=0", "--bind", "0.0.0.0",
                            "--connect", "127.0.0.1:30004:beast", "--connect=[::1]:30001:raw", "--connect",
                            "feeder.example:30003:sbs", "--log"});
    ASSERT_EQ(p.error, "");
    EXPECT_EQ(p.others, (std::vector<std::string>{"--port", "/dev/ttyUSB0", "--log"}));
    // Written out as the settings store them, which their own test reads back.
    EXPECT_EQ(FeedSettingsText(p.options), "--sbs-port 30003 --raw-port 0 --bind 0.0.0.0 --connect 127.0.0.1:30004:beast "
                                           "--connect [::1]:30001:raw --connect feeder.example:30003:sbs");
    EXPECT_TRUE(p.options.any());
    EXPECT_FALSE(Parse({"--port", "COM3"}).options.any());
}

TEST(FeedOptions, MistakesSayWhatToFix)
{
    const std::pair<std::vector<std::string_view>, const char*> rows[] = {
        {{"--sbs-port"}, "--sbs-port needs a value"},
        {{"--beast-port", "65536"}, "--beast-port needs a TCP port from 0"},
        {{"--raw-port", "30002x"}, "--raw-port needs a TCP port"},
        {{"--raw-port", "-1"}, "--raw-port needs a TCP port"},
        {{"--sbs-port", "30005", "--beast-port", "30005"}, "--beast-port 30005: --sbs-port already serves"},
        {{"--bind="}, "--bind needs an address"},
        {{"--connect", "127.0.0.1:30004"}, "--connect needs HOST:PORT:PROTOCOL"},
        {{"--connect", "127.0.0.1:30004:avr"}, "--connect needs HOST:PORT:PROTOCOL"},
        {{"--connect", "127.0.0.1:0:beast"}, "--connect needs HOST:PORT:PROTOCOL"},
        {{"--connect", ":30004:beast"}, "--connect needs HOST:PORT:PROTOCOL"},
    };
    for (const auto& [args, message] : rows) {
        const Parsed p = Parse(args);
        EXPECT_TRUE(p.error.starts_with(message)) << args.front() << ": " << p.error;
    }
}

// A command line reader that splits names and values itself.
TEST(FeedOptions, ByNameAndValue)
{
    FeedOptions options;
    std::string error;
    EXPECT_TRUE(IsFeedOption("--beast-port"));
    EXPECT_FALSE(IsFeedOption("--beast-ports"));
    EXPECT_FALSE(IsFeedOption("--port"));
    EXPECT_TRUE(SetFeedOption("--beast-port", "30005", options, error));
    EXPECT_EQ(options.beastPort, 30005);
    EXPECT_FALSE(SetFeedOption("--connect", std::nullopt, options, error));
    EXPECT_EQ(error, "--connect needs a value (see --help)");
    // Found by fuzzing: a control byte in the value broke the one-line message.
    EXPECT_FALSE(SetFeedOption("--sbs-port", "3\n\x01", options, error));
    EXPECT_TRUE(error.ends_with("got '3\\x0a\\x01'")) << error;
}

// The window's feeds in the settings store: stored as a command line, read
// back the same; a damaged value gives no feeds rather than half of them.
TEST(FeedSettings, StoredAsACommandLineAndReadBackTheSame)
{
    FeedOptions every;
    every.sbsPort = 30003;
    every.rawPort = 0;
    every.beastPort = 30005;
    every.bindAddress = "0.0.0.0";
    every.connects = {{FeedProtocol::Beast, "10.0.0.5", 30004}, {FeedProtocol::Raw, "::1", 30001}};
    FeedOptions push;
    push.connects = {{FeedProtocol::Sbs, "feeder.local", 30003}};
    const std::pair<FeedOptions, std::string> rows[] = {
        {FeedOptions{}, ""},
        {every, "--sbs-port 30003 --raw-port 0 --beast-port 30005 --bind 0.0.0.0 --connect 10.0.0.5:30004:beast "
                "--connect [::1]:30001:raw"},
        {push, "--connect feeder.local:30003:sbs"},
    };
    for (const auto& [options, text] : rows) {
        SCOPED_TRACE(text);
        test::TempFolder dir;
        FileSettingsStore store(dir.path());
        SaveFeedSettings(store, options);
        EXPECT_EQ(ReadSetting(store, AppKey, "", FeedsValueName, "?"), text);
        const FeedOptions back = LoadFeedSettings(store);
        EXPECT_EQ(FeedArguments(back), FeedArguments(options));
        EXPECT_EQ(back.connects, options.connects);
    }
    test::TempFolder dir;
    FileSettingsStore store(dir.path());
    WriteSetting(store, AppKey, "", FeedsValueName, "--sbs-port 30003 --connect nowhere");
    EXPECT_FALSE(LoadFeedSettings(store).any());
    for (const char* damaged : {"--sbs-port", "--port 3", "30003", "--raw-port 70000"})
        EXPECT_FALSE(FeedOptionsFromText(damaged)) << damaged;
    EXPECT_EQ(FeedOptionsFromText("  --sbs-port   30003 ").value().sbsPort, 30003) << "blanks are separators";
}
