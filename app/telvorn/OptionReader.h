#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace telvorn::app {

// Walks a command line option by option, taking "--name value" and
// "--name=value" alike. The caller decides what each name means.
class OptionReader {
public:
    explicit OptionReader(const std::vector<std::string>& args) : args_(args) {}

    // Moves to the next argument; false at the end.
    bool next();
    // The argument's name: "--port" for both "--port X" and "--port=X".
    const std::string& name() const { return name_; }
    // The argument as given.
    const std::string& raw() const { return args_[index_]; }
    bool isOption() const { return name_.size() > 1 && name_[0] == '-'; }
    // The option's value: after "=", else the next argument. Empty at the end.
    std::optional<std::string> value();
    // A flag must not be given a value with "=".
    bool flagOk() const { return !inline_; }

private:
    const std::vector<std::string>& args_;
    std::size_t index_ = 0;
    bool started_ = false;
    std::string name_;
    std::optional<std::string> inline_;
};

} // namespace telvorn::app
