#include "FaultInjector.h"

#include <string_view>

namespace telvorn::board {

namespace {

bool Allowed(unsigned char c)
{
    constexpr std::string_view kBanned{"\x11\x13\n*+-!", 7};
    return kBanned.find(char(c)) == std::string_view::npos;
}

} // namespace

FaultInjector::FaultInjector(FaultRates rates, std::uint64_t seed) : rates_(rates), rng_(seed) {}

char FaultInjector::garbageByte()
{
    for (;;) {
        const auto c = static_cast<unsigned char>(rng_.below(256));
        if (Allowed(c))
            return char(c);
    }
}

std::string FaultInjector::apply(std::string line)
{
    if (rates_.bareLf > 0.0 && rng_.chance(rates_.bareLf) && line.size() >= 2 &&
        line.compare(line.size() - 2, 2, "\r\n") == 0)
        line.erase(line.size() - 2, 1);

    if (rates_.drop > 0.0) {
        std::string kept;
        kept.reserve(line.size());
        for (const char c : line)
            if (!rng_.chance(rates_.drop))
                kept += c;
        line.swap(kept);
    }

    if (rates_.noise > 0.0 && rng_.chance(rates_.noise)) {
        std::string garbage(std::size_t(rng_.between(1, 16)), '\0');
        for (char& c : garbage)
            c = garbageByte();
        line.insert(0, garbage);
    }
    return line;
}

} // namespace telvorn::board
