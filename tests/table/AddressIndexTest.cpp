#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "table/AddressIndex.h"
#include "table/SipHash.h"

using namespace telvorn;

namespace {

constexpr SipKey kTestKey{0x0706050403020100ull, 0x0F0E0D0C0B0A0908ull};

// The unkeyed hash the index once used (32-bit FNV-1a): inputs that defeat it
// can be computed by anyone, so they stand for what a link could deliver.
std::uint32_t Fnv1a(std::string_view text)
{
    std::uint32_t h = 2166136261u;
    for (char c : text) {
        h ^= static_cast<unsigned char>(c);
        h *= 16777619u;
    }
    return h;
}

} // namespace

// The published vectors of the SipHash paper: key 00..0F, message 00..(n-1).
// Lengths on both sides of the 8-byte words, the longest of the list last.
TEST(SipHash, MatchesTheReferenceVectors)
{
    const std::pair<int, std::uint64_t> rows[] = {
        {0, 0x726FDB47DD0E0E31ull},  {7, 0xAB0200F58B01D137ull},  {8, 0x93F5F5799A932462ull},
        {15, 0xA129CA6149BE45E5ull}, {16, 0x3F2ACC7F57C29BDBull}, {17, 0x699AE9F52CBE4794ull},
        {63, 0x958A324CEB064572ull},
    };
    for (const auto& [length, value] : rows) {
        std::string message;
        for (int c = 0; c < length; ++c)
            message += char(c);
        EXPECT_EQ((SipHash<2, 4>(kTestKey, message)), value) << length << " bytes";
    }
}

// Random inserts and erases against a std::map: erasing from the middle of
// probe runs (including runs that wrap round the end of the array) must
// never hide an entry that is still there.
TEST(AddressIndex, AgreesWithAMapUnderRandomInsertsAndErases)
{
    std::vector<std::string> addresses;
    AddressIndex index([&](AddressIndex::Id id) { return std::string_view(addresses[id]); }, kTestKey);
    // 64 addresses fill the 128 slots to half. Half of them have their home
    // in the last eight slots, so their runs wrap round the end of the array.
    // Lengths from 0 to 14, zero bytes included: up to seven bytes an address
    // is kept in its entry, beyond that it is compared through the table.
    for (unsigned a = 0; addresses.size() < 64; ++a) {
        char text[8];
        std::snprintf(text, sizeof text, "%06X", a);
        std::string address = std::string(text).substr(0, a % 7) + std::string(a % 3, '\0') + "ZZZZZ";
        address.resize(a % 15);
        const bool nearEnd = (index.hash(address) & 127u) >= 120;
        if ((nearEnd || addresses.size() % 2 == 1) && std::find(addresses.begin(), addresses.end(), address) ==
                                                            addresses.end())
            addresses.push_back(address);
    }
    std::map<std::string, AddressIndex::Id> reference;
    std::mt19937 random(5);
    std::uniform_int_distribution<std::size_t> pick(0, addresses.size() - 1);
    for (int step = 0; step < 40000; ++step) {
        const auto id = AddressIndex::Id(pick(random));
        const std::string& address = addresses[id];
        if (reference.count(address) && step % 4 == 0) {
            index.erase(address);
            reference.erase(address);
        } else if (!reference.count(address)) {
            index.insert(address, id);
            reference[address] = id;
        }
        if (step % 7 == 0) {
            for (const std::string& other : addresses) {
                const auto it = reference.find(other);
                ASSERT_EQ(index.find(other), it == reference.end() ? std::nullopt : std::optional(it->second))
                    << other << " at step " << step;
            }
        }
    }
    EXPECT_EQ(index.size(), reference.size());
    // Emptied again, it finds none of the addresses it held.
    for (const std::string& address : addresses)
        index.erase(address);
    EXPECT_EQ(index.size(), 0u);
    for (const std::string& address : addresses)
        EXPECT_FALSE(index.find(address)) << address;
}

// Two addresses of one hash value (found by a birthday search on the test
// key) are still two rows, kept in the entry or compared through the table.
TEST(AddressIndex, AddressesThatShareAHashStayApart)
{
    for (const char* format : {"%06X", "%010X"}) {
        std::vector<std::string> addresses;
        AddressIndex index([&](AddressIndex::Id id) { return std::string_view(addresses[id]); }, kTestKey);
        std::unordered_map<std::uint32_t, std::string> seen;
        for (unsigned a = 0; addresses.empty(); ++a) {
            char text[16];
            std::snprintf(text, sizeof text, format, a * 2654435761u);
            const auto [it, fresh] = seen.emplace(index.hash(text), text);
            if (!fresh)
                addresses = {it->second, text};
        }
        index.insert(addresses[0], 0);
        EXPECT_FALSE(index.find(addresses[1])) << addresses[1];
        index.insert(addresses[1], 1);
        EXPECT_EQ(index.find(addresses[0]), 0u) << addresses[0];
        EXPECT_EQ(index.find(addresses[1]), 1u) << addresses[1];
        index.erase(addresses[0]);
        EXPECT_EQ(index.find(addresses[1]), 1u) << addresses[1];
    }
}

// Addresses chosen to defeat an unkeyed hash cost a few slots a look-up on
// average, as any others do, where FNV-1a took thousands.
TEST(AddressIndex, CostDoesNotDependOnWhichAddressesArrive)
{
    std::vector<std::string> crowded; // six hex digits whose FNV-1a homes share 64 of 8192 slots
    for (unsigned a = 0; crowded.size() < 4096; ++a) {
        char text[8];
        std::snprintf(text, sizeof text, "%06X", a);
        if ((Fnv1a(text) & 8191u) < 64)
            crowded.push_back(text);
    }
    AddressIndex index([&](AddressIndex::Id id) { return std::string_view(crowded[id]); }, kTestKey);
    for (std::size_t i = 0; i < crowded.size(); ++i)
        index.insert(crowded[i], AddressIndex::Id(i));
    std::size_t probes = 0;
    for (const std::string& address : crowded)
        probes += index.probesFor(address);
    EXPECT_LT(probes, 3 * crowded.size());
}
