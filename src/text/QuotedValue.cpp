#include "text/QuotedValue.h"

namespace telvorn {

std::string QuotedValue(std::string_view value)
{
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out = "'";
    for (const char c : value) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            out += "\\x";
            out += kHex[byte >> 4];
            out += kHex[byte & 0x0F];
        } else {
            out += c;
        }
    }
    return out + "'";
}

} // namespace telvorn
