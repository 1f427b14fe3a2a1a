#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "feeds/FeedOptions.h"
#include "platform/SettingsBackend.h"
#include "table/MainState.h"

namespace telvorn {

// The window's feeds, kept beside its ten settings in one added text value:
// the feed options as a command line gives them, separated by blanks, for
// example "--sbs-port 30003 --connect 127.0.0.1:30004:beast". Empty, or
// missing, means no feeds.
inline constexpr std::string_view FeedsValueName = "Feeds";

std::string FeedSettingsText(const FeedOptions& options);
// Nothing when the text is not such a command line.
std::optional<FeedOptions> FeedOptionsFromText(std::string_view text);

// A stored value that does not read as feed options gives no feeds, silently,
// as any other setting that cannot be read gives its default.
FeedOptions LoadFeedSettings(SettingsBackend& store, std::string_view appKey = AppKey);
// Written at shutdown, after the ten values; a failure is silent.
void SaveFeedSettings(SettingsBackend& store, const FeedOptions& options, std::string_view appKey = AppKey);

} // namespace telvorn
