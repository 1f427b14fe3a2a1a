#pragma once

#include <filesystem>
#include <functional>
#include <string_view>

namespace telvorn {

// Called with the finished temporary file just before it replaces the
// target. Returning false abandons the write there and leaves the temporary
// file behind, as a crash at that moment would; tests use it to show that
// the old file survives.
using BeforeReplaceHook = std::function<bool(const std::filesystem::path& temporary)>;

// Replaces `target` with `contents` so that a reader, or the file after a
// crash or a power loss, sees either the whole old file or the whole new
// one: the data goes to a temporary file in the same folder, reaches the
// disk, and is then renamed over the target. An existing target's
// permissions are kept; a new file is readable by its owner only. False
// when the file could not be replaced; the target is then untouched. A
// replacement also clears the temporaries of this target that crashed
// writers left behind (those more than ten minutes old).
bool ReplaceFileAtomically(const std::filesystem::path& target, std::string_view contents,
    const BeforeReplaceHook& beforeReplace = {});

} // namespace telvorn
