#include "feeds/FeedSettings.h"

#include <vector>

#include "shell/Registry.h"

namespace telvorn {

std::string FeedSettingsText(const FeedOptions& options)
{
    std::string text;
    for (const std::string& arg : FeedArguments(options)) {
        if (!text.empty())
            text += ' ';
        text += arg;
    }
    return text;
}

std::optional<FeedOptions> FeedOptionsFromText(std::string_view text)
{
    std::vector<std::string_view> args;
    while (!text.empty()) {
        const std::size_t start = text.find_first_not_of(' ');
        if (start == std::string_view::npos)
            break;
        text.remove_prefix(start);
        const std::size_t end = text.find(' ');
        args.push_back(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end);
    }
    FeedOptions options;
    std::string error;
    for (std::size_t i = 0; i < args.size(); ++i)
        if (ParseFeedOption(args, i, options, error) != FeedOptionResult::Taken)
            return std::nullopt;
    return options;
}

FeedOptions LoadFeedSettings(SettingsBackend& store, std::string_view appKey)
{
    return FeedOptionsFromText(ReadSetting(store, appKey, "", FeedsValueName, "")).value_or(FeedOptions{});
}

void SaveFeedSettings(SettingsBackend& store, const FeedOptions& options, std::string_view appKey)
{
    WriteSetting(store, appKey, "", FeedsValueName, std::string_view(FeedSettingsText(options)));
}

} // namespace telvorn
