#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <unordered_map>
#include <vector>

#include "table/AddressIndex.h"
#include "table/SipHash.h"

using namespace telvorn;

namespace {

constexpr SipKey kTestKey{0x0706050403020100ull, 0x0F0E0D0C0B0A0908ull};

// The unkeyed hash the index once used (32-bit FNV-1a): inputs that defeat it
// can be computed by anyone, so they stand for what a link could deliver.
std::uint32_t Fnv1a(std::string_view text, std::uint32_t h = 2166136261u)
{
    for (char c : text) {
        h ^= static_cast<unsigned char>(c);
        h *= 16777619u;
    }
    return h;
}

// 2^stages texts with one FNV-1a value: at each stage two 6-character blocks
// that lead from the same state to the same state (a birthday search), and
// every choice of one block per stage (Joux's multicollision).
std::vector<std::string> FnvMulticollision(int stages)
{
    std::vector<std::string> texts{""};
    std::uint32_t state = 2166136261u;
    std::mt19937 random(1);
    constexpr std::string_view kAlphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::uniform_int_distribution<std::size_t> letter(0, kAlphabet.size() - 1);
    for (int stage = 0; stage < stages; ++stage) {
        std::unordered_map<std::uint32_t, std::string> seen;
        seen.reserve(1 << 18);
        for (;;) {
            std::string block(6, ' ');
            for (char& c : block)
                c = kAlphabet[letter(random)];
            const std::uint32_t next = Fnv1a(block, state);
            const auto [it, fresh] = seen.emplace(next, block);
            if (fresh || it->second == block)
                continue;
            std::vector<std::string> longer;
            for (const std::string& t : texts)
                for (const std::string* b : {&it->second, &block})
                    longer.push_back(t + *b);
            texts.swap(longer);
            state = next;
            break;
        }
    }
    return texts;
}

std::size_t TotalProbes(const std::vector<std::string>& addresses)
{
    AddressIndex index([&](AddressIndex::Id id) { return std::string_view(addresses[id]); }, kTestKey);
    for (std::size_t i = 0; i < addresses.size(); ++i)
        index.insert(addresses[i], AddressIndex::Id(i));
    std::size_t probes = 0;
    for (const std::string& address : addresses)
        probes += index.probesFor(address);
    return probes;
}

} // namespace

TEST(SipHash, MatchesTheReferenceVectors)
{
    // The SipHash paper's key 00..0F, with messages 00..(n-1).
    const SipKey key{0x0706050403020100ull, 0x0F0E0D0C0B0A0908ull};
    std::string message;
    EXPECT_EQ((SipHash<2, 4>(key, message)), 0x726FDB47DD0E0E31ull);
    for (char c = 0; c < 15; ++c)
        message += c;
    EXPECT_EQ((SipHash<2, 4>(key, message)), 0xA129CA6149BE45E5ull);
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
            for (std::size_t i = 0; i < addresses.size(); ++i) {
                const auto found = index.find(addresses[i]);
                const auto it = reference.find(addresses[i]);
                ASSERT_EQ(found.has_value(), it != reference.end()) << addresses[i] << " at step " << step;
                if (found) {
                    ASSERT_EQ(*found, it->second);
                }
            }
        }
    }
    EXPECT_EQ(index.size(), reference.size());
    EXPECT_FALSE(index.find("4840d6"));
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

// Addresses chosen to defeat an unkeyed hash cost no more than any others:
// a few slots a look-up on average, where FNV-1a took thousands.
TEST(AddressIndex, CostDoesNotDependOnWhichAddressesArrive)
{
    std::vector<std::string> crowded; // six hex digits whose FNV-1a homes share 64 of 8192 slots
    for (unsigned a = 0; crowded.size() < 4096; ++a) {
        char text[8];
        std::snprintf(text, sizeof text, "%06X", a);
        if ((Fnv1a(text) & 8191u) < 64)
            crowded.push_back(text);
    }
    std::vector<std::string> ordinary;
    for (unsigned a = 0; ordinary.size() < 4096; a += 37) {
        char text[8];
        std::snprintf(text, sizeof text, "%06X", 0x380000u + a);
        ordinary.push_back(text);
    }
    std::vector<std::string> colliding = FnvMulticollision(10);
    ASSERT_EQ(colliding.size(), 1024u);
    ASSERT_EQ(Fnv1a(colliding.front()), Fnv1a(colliding.back()));

    for (const std::vector<std::string>* set : {&ordinary, &crowded, &colliding})
        EXPECT_LT(TotalProbes(*set), 3 * set->size()) << (*set)[0];
}
