#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

#include "table/SipHash.h"

namespace telvorn {

// Finds a row id by its address text. Open addressing with linear probing
// over a flat array of (hash, id) pairs: a look-up touches one small entry
// instead of a bucket and a heap node, which keeps it in cache with tens of
// thousands of rows. The addresses themselves stay with the rows; the index
// asks for them through `addressOf` when a stored hash matches.
//
// The address is whatever text the link delivers, so the hash is keyed with
// a random key of each index (SipHash-1-3): no choice of addresses can make
// them share hash values or crowd one run of slots, and a look-up costs the
// same whichever addresses have arrived.
class AddressIndex {
public:
    using Id = std::uint32_t;
    using AddressOf = std::function<std::string_view(Id)>;

    explicit AddressIndex(AddressOf addressOf);
    // A fixed key, for tests that need the same slots on every run.
    AddressIndex(AddressOf addressOf, SipKey key);

    std::optional<Id> find(std::string_view address) const;
    // The address must not be in the index yet.
    void insert(std::string_view address, Id id);
    void erase(std::string_view address);
    std::size_t size() const { return count_; }

    std::uint32_t hash(std::string_view address) const;
    // Slots a look-up of the address examines: its cost, 1 at best.
    std::size_t probesFor(std::string_view address) const;

    static SipKey RandomKey();

private:
    static constexpr Id kEmpty = UINT32_MAX;

    // An address of up to seven bytes is kept in the entry itself, its
    // length in the top byte, so finding a six-digit address touches no row;
    // a longer one reads kLongText and is compared through `addressOf`.
    static constexpr std::uint64_t kLongText = UINT64_MAX;

    struct Key {
        std::uint64_t text;
        std::uint32_t hash;
    };

    struct Entry {
        std::uint64_t text = 0;
        std::uint32_t hash = 0;
        Id id = kEmpty;
    };

    Key keyOf(std::string_view address) const;
    std::size_t slotOf(std::string_view address, const Key& key) const;
    void grow();

    AddressOf addressOf_;
    SipKey key_;
    std::vector<Entry> entries_;
    std::size_t mask_ = 0;
    std::size_t count_ = 0;
};

} // namespace telvorn
