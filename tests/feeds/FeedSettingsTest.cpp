// The window's feeds in the settings store: stored as a command line, read
// back the same; a damaged value gives no feeds rather than half of them.
#include <gtest/gtest.h>

#include <string>

#include "TempFolder.h"
#include "feeds/FeedSettings.h"
#include "platform/FileSettingsStore.h"
#include "shell/Registry.h"

using namespace telvorn;

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
