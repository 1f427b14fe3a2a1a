#include "Pacer.h"

#include <algorithm>

namespace telvorn::board {

Pacer::Pacer(Unit unit, double perSecond) : unit_(unit), perSecond_(perSecond) {}

void Pacer::charge(std::size_t lines, std::size_t bytes, TimePoint now)
{
    const double cost = double(unit_ == Unit::Lines ? lines : bytes);
    next_ = std::max(next_, now - kBurstAllowance);
    next_ += std::chrono::duration_cast<std::chrono::steady_clock::duration>(
        std::chrono::duration<double>(cost / perSecond_));
}

void Pacer::restart(TimePoint now)
{
    next_ = std::max(next_, now);
}

} // namespace telvorn::board
