#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace telvorn::test {

// The fields between separators, empty ones included: "a,,b" is "a", "", "b".
inline std::vector<std::string> Split(std::string_view text, char separator = ',')
{
    std::vector<std::string> fields;
    for (std::size_t start = 0;;) {
        const std::size_t end = text.find(separator, start);
        fields.emplace_back(text.substr(start, end - start));
        if (end == std::string_view::npos)
            return fields;
        start = end + 1;
    }
}

// The fields of a "+" record line, without its marker and terminator.
inline std::vector<std::string> RecordFields(std::string_view line)
{
    return Split(line.substr(1, line.find(';') - 1));
}

inline std::string TrimmedRight(std::string text)
{
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}

// Complete lines of a stream that arrives in pieces, ended by CR LF or LF.
class LineBuffer {
public:
    template <typename Each>
    void add(std::string_view more, Each&& each)
    {
        pending_ += more;
        std::size_t start = 0;
        for (std::size_t end; (end = pending_.find('\n', start)) != std::string::npos; start = end + 1) {
            std::string_view line(pending_.data() + start, end - start);
            if (line.ends_with('\r'))
                line.remove_suffix(1);
            each(std::string(line));
        }
        pending_.erase(0, start);
    }

private:
    std::string pending_;
};

} // namespace telvorn::test
