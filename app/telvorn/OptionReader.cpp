#include "OptionReader.h"

#include <utility>

namespace telvorn::app {

bool OptionReader::next()
{
    if (started_)
        ++index_;
    started_ = true;
    if (index_ >= args_.size())
        return false;
    name_ = args_[index_];
    inline_.reset();
    if (name_.rfind("--", 0) == 0) {
        if (const std::size_t eq = name_.find('='); eq != std::string::npos) {
            inline_ = name_.substr(eq + 1);
            name_.resize(eq);
        }
    }
    return true;
}

std::optional<std::string> OptionReader::value()
{
    if (inline_)
        return std::exchange(inline_, std::nullopt);
    if (index_ + 1 >= args_.size())
        return std::nullopt;
    return args_[++index_];
}

} // namespace telvorn::app
