#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "table/AddressIndex.h"

using namespace telvorn;

// Random inserts and erases against a std::map: erasing from the middle of
// probe runs (including runs that wrap round the end of the array) must
// never hide an entry that is still there.
TEST(AddressIndex, AgreesWithAMapUnderRandomInsertsAndErases)
{
    // 64 addresses fill the 128 slots to half. Half of them have their home
    // in the last eight slots, so their runs wrap round the end of the array.
    std::vector<std::string> addresses;
    for (unsigned a = 0; addresses.size() < 64; ++a) {
        char text[8];
        std::snprintf(text, sizeof text, "%06X", a);
        const bool nearEnd = (AddressIndex::Hash(text) & 127u) >= 120;
        if (nearEnd || addresses.size() % 2 == 1)
            addresses.push_back(text);
    }
    AddressIndex index([&](AddressIndex::Id id) { return std::string_view(addresses[id]); });
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
