// What a row costs on the heap, and that purged rows give their room to the
// next ones: the table's memory follows the rows heard within the purge
// age, never every address ever heard. docs/robustness.md states the bound.
#include <gtest/gtest.h>

#include <malloc.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>

#include "receiver/ReceiveChain.h"

namespace {

std::atomic<std::size_t> g_heapBytes{0};

} // namespace

void* operator new(std::size_t size)
{
    void* p = std::malloc(size ? size : 1);
    if (!p)
        throw std::bad_alloc();
    g_heapBytes += malloc_usable_size(p);
    return p;
}

void operator delete(void* p) noexcept
{
    if (p)
        g_heapBytes -= malloc_usable_size(p);
    std::free(p);
}

void operator delete(void* p, std::size_t) noexcept
{
    operator delete(p);
}

using namespace telvorn;

namespace {

// The bound docs/robustness.md gives for a row whose cells have the sizes
// the board sends (none longer than 26 characters): 1 KiB for the row and
// 3/4 KiB for what is kept beside it, a full trail of 40 points included.
constexpr std::size_t kBytesPerRow = 1792;
// A power of two, so the row store's capacity is exactly the rows it holds.
constexpr unsigned kRows = 16384;

// A row as the board fills it: identification, altitude, squawk, position,
// velocity; countries of all name lengths.
void FeedAircraft(ReceiveChain& chain, unsigned first)
{
    char line[160];
    for (unsigned a = first; a < first + kRows; ++a) {
        const unsigned address = (a * 2654435761u) & 0xFFFFFFu;
        std::snprintf(line, sizeof line, "+8D%06X58C382D690C8AC2863A7,,17,%06X,AFR%04u,A3,1,48.%05u,2.%05u,%u,%04u,"
                      "-640,120,-300,275,320;\r\n", address, address, a % 10000, a % 100000, a % 99991,
                      30000 + a % 40 * 25, 1000 + a % 7000);
        chain.received(line);
    }
}

} // namespace

TEST(TableMemory, ARowAndItsTrackCostUnderBoundAndPurgedRowsMakeRoom)
{
    FrozenClock clock(std::chrono::sys_days{std::chrono::year{2026} / 12 / 5} + std::chrono::hours{12});
    ReceiveChain chain(clock);
    chain.SetupColumns();
    const std::size_t empty = g_heapBytes;

    FeedAircraft(chain, 0);
    ASSERT_EQ(chain.table().size(), kRows);
    const std::size_t full = g_heapBytes - empty;
    EXPECT_LE(full / kRows, kBytesPerRow) << full / kRows << " bytes a row";

    // Every row purged, then as many new addresses: the same room serves them.
    clock.advance(std::chrono::seconds(200));
    chain.TimerClean_Timer();
    ASSERT_EQ(chain.table().size(), 0u);
    FeedAircraft(chain, kRows);
    ASSERT_EQ(chain.table().size(), kRows);
    EXPECT_LE(g_heapBytes - empty, full + full / 100) << "the second wave took new room";
}
