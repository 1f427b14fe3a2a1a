#include "table/AddressIndex.h"

#include <random>
#include <utility>

namespace telvorn {

namespace {

constexpr std::size_t kInitialSlots = 64;

} // namespace

AddressIndex::AddressIndex(AddressOf addressOf) : AddressIndex(std::move(addressOf), RandomKey())
{
}

AddressIndex::AddressIndex(AddressOf addressOf, SipKey key)
    : addressOf_(std::move(addressOf)), key_(key), entries_(kInitialSlots), mask_(kInitialSlots - 1)
{
}

SipKey AddressIndex::RandomKey()
{
    std::random_device device;
    auto word = [&device] { return std::uint64_t(device()) << 32 | device(); };
    return SipKey{word(), word()};
}

std::uint32_t AddressIndex::hash(std::string_view address) const
{
    return std::uint32_t(SipHash<1, 3>(key_, address));
}

AddressIndex::Key AddressIndex::keyOf(std::string_view address) const
{
    const std::uint64_t text = address.size() <= 7
        ? detail::LittleEndianWord(address.data(), address.size()) | std::uint64_t(address.size()) << 56
        : kLongText;
    return Key{text, hash(address)};
}

std::size_t AddressIndex::probesFor(std::string_view address) const
{
    const Key key = keyOf(address);
    return ((slotOf(address, key) - (key.hash & mask_)) & mask_) + 1;
}

// The slot holding the address, or the empty slot where it would go.
std::size_t AddressIndex::slotOf(std::string_view address, const Key& key) const
{
    std::size_t slot = key.hash & mask_;
    while (entries_[slot].id != kEmpty) {
        const Entry& entry = entries_[slot];
        if (entry.hash == key.hash && entry.text == key.text &&
            (key.text != kLongText || addressOf_(entry.id) == address))
            return slot;
        slot = (slot + 1) & mask_;
    }
    return slot;
}

std::optional<AddressIndex::Id> AddressIndex::find(std::string_view address) const
{
    const Entry& entry = entries_[slotOf(address, keyOf(address))];
    if (entry.id == kEmpty)
        return std::nullopt;
    return entry.id;
}

void AddressIndex::insert(std::string_view address, Id id)
{
    // At most half full, so probe runs stay short.
    if ((count_ + 1) * 2 > entries_.size())
        grow();
    const Key key = keyOf(address);
    entries_[slotOf(address, key)] = Entry{key.text, key.hash, id};
    ++count_;
}

void AddressIndex::erase(std::string_view address)
{
    std::size_t hole = slotOf(address, keyOf(address));
    if (entries_[hole].id == kEmpty)
        return;
    entries_[hole] = Entry{};
    --count_;
    // Shift back every later entry of the run that the hole would cut off
    // from its home slot, so look-ups never need tombstones.
    for (std::size_t next = (hole + 1) & mask_; entries_[next].id != kEmpty; next = (next + 1) & mask_) {
        const std::size_t home = entries_[next].hash & mask_;
        const bool homeInGap = hole <= next ? (home > hole && home <= next) : (home > hole || home <= next);
        if (homeInGap)
            continue;
        entries_[hole] = entries_[next];
        entries_[next] = Entry{};
        hole = next;
    }
}

void AddressIndex::grow()
{
    std::vector<Entry> old(entries_.size() * 2);
    old.swap(entries_);
    mask_ = entries_.size() - 1;
    for (const Entry& entry : old) {
        if (entry.id == kEmpty)
            continue;
        std::size_t slot = entry.hash & mask_;
        while (entries_[slot].id != kEmpty)
            slot = (slot + 1) & mask_;
        entries_[slot] = entry;
    }
}

} // namespace telvorn
