#include "ConsoleLinkHost.h"

#include <cstdio>

namespace telvorn::app {

MsgResult ConsoleLinkHost::MsgBox(const std::string& text, MsgButtons buttons, MsgIcon, const std::string&,
                                  const std::string& detail)
{
    std::string line = text;
    for (std::size_t at = line.find("\r\n"); at != std::string::npos; at = line.find("\r\n", at))
        line.replace(at, 2, " ");
    say(line);
    if (!detail.empty())
        say(detail);
    return buttons == MsgButtons::Ok ? MsgResult::Ok : MsgResult::Cancel;
}

void ConsoleLinkHost::setCaption(const std::string& caption)
{
    if (caption == caption_)
        return;
    caption_ = caption;
    say(caption);
}

void ConsoleLinkHost::linkStatus(LinkState, const std::string& message)
{
    say(message);
}

void ConsoleLinkHost::say(const std::string& line)
{
    std::fprintf(stderr, "%s: %s\n", program_.c_str(), line.c_str());
    std::fflush(stderr);
}

} // namespace telvorn::app
