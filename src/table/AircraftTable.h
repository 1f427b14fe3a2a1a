#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "table/AddressIndex.h"
#include "table/Columns.h"

namespace telvorn {

using RowId = std::uint32_t;

struct AircraftRow {
    std::array<std::string, kColumnCount> cells;
    // Colours stay with the cell from the moment it was last written.
    bool callColoured = false;
    bool squawkColoured = false;

    const std::string& operator[](Column column) const { return cells[Index(column)]; }
};

// Told about every change of the displayed order, so a view can follow row
// by row instead of reloading. Positions are 0-based display positions.
class TableObserver {
public:
    virtual ~TableObserver() = default;
    virtual void rowInserted(std::size_t /*position*/) {}
    virtual void rowAboutToBeRemoved(std::size_t /*position*/) {}
    virtual void rowRemoved(std::size_t /*position*/) {}
    virtual void rowMoved(std::size_t /*from*/, std::size_t /*to*/) {}
    virtual void rowChanged(std::size_t /*position*/) {}
    virtual void orderReset() {}
};

// Told when a row leaves the table, before its cells are cleared, so what is
// kept beside a row (its track, its emergency) leaves with it. Any number of
// them; the display's TableObserver stays the one slot it is.
class RowRemovalListener {
public:
    virtual ~RowRemovalListener() = default;
    virtual void rowRemoving(RowId id, const AircraftRow& row) = 0;
};

// The store of aircraft: one row of text cells per address, always kept in
// the order of the sort column. Rows live in slots with stable ids; an
// address index finds a row in O(1) and an order-statistic treap keeps the
// display order, so placing, moving, finding by position and removing a row
// cost O(log N).
class AircraftTable {
public:
    explicit AircraftTable(bool distanceFlag = false);
    // The address index refers back to this table's rows.
    AircraftTable(const AircraftTable&) = delete;
    AircraftTable& operator=(const AircraftTable&) = delete;

    // Re-creates the column set; the captions follow the flag given here.
    void SetupColumns(bool distanceFlag);
    const ColumnSet& columns() const { return columns_; }

    std::size_t size() const { return index_.size(); }
    bool empty() const { return index_.size() == 0; }

    std::optional<RowId> FindAircraftRow(std::string_view address) const;
    const AircraftRow& row(RowId id) const { return slots_[id].row; }
    // Display order, 0-based.
    RowId idAt(std::size_t position) const;
    const AircraftRow& rowAt(std::size_t position) const { return row(idAt(position)); }
    std::size_t positionOf(RowId id) const;
    std::vector<RowId> idsInOrder() const;

    // A new row holds only its address until it is committed.
    RowId addRow(std::string_view address);
    void setCell(RowId id, Column column, std::string_view text);
    void setCallColoured(RowId id) { slots_[id].row.callColoured = true; }
    void setSquawkColoured(RowId id) { slots_[id].row.squawkColoured = true; }
    // Puts a new or rewritten row in its place and tells the observer.
    void commitRow(RowId id);
    void removeRow(RowId id);

    // Ascending by this column (0-based), re-sorted at once. Out-of-range
    // values are refused.
    bool setSortColumn(int column);
    // Rebuilds the whole order from the current sort column. Writing a row
    // already puts it in its place, so this is needed only when the key of
    // every row changes at once.
    void ResortTable();
    int sortColumn() const { return sortColumn_; }

    void setSelected(std::optional<RowId> id) { selected_ = id; }
    std::optional<RowId> selected() const { return selected_; }

    void setObserver(TableObserver* observer) { observer_ = observer; }
    void addRemovalListener(RowRemovalListener* listener) { removalListeners_.push_back(listener); }
    void removeRemovalListener(RowRemovalListener* listener) { std::erase(removalListeners_, listener); }

    // Every live row, in no particular order.
    template <typename F>
    void forEachRow(F&& f) const
    {
        for (RowId id = 0; id < slots_.size(); ++id)
            if (slots_[id].live)
                f(id, slots_[id].row);
    }

private:
    static constexpr RowId kNil = UINT32_MAX;

    struct Slot {
        AircraftRow row;
        bool live = false;
    };
    // The order's nodes live apart from the rows' cells, so a descent of the
    // tree touches a few small nodes rather than whole rows.
    struct Node {
        // The sort key as it stood when the row was placed in the order.
        std::string sortText;
        std::string address;
        double sortNumber = 0.0;
        RowId left = kNil;
        RowId right = kNil;
        std::uint32_t size = 0;
        std::uint32_t priority = 0;
        bool sortEmpty = true;
        bool linked = false;
    };

    bool less(RowId a, RowId b) const;
    void captureSortKey(RowId id);
    std::uint32_t sizeOf(RowId node) const { return node == kNil ? 0 : nodes_[node].size; }
    void update(RowId node);
    RowId merge(RowId a, RowId b);
    void split(RowId tree, RowId key, RowId& below, RowId& above);
    RowId insert(RowId tree, RowId node);
    RowId erase(RowId tree, RowId node);
    std::size_t countLess(RowId node) const;
    void link(RowId id);
    void unlink(RowId id);
    std::uint32_t nextPriority();

    ColumnSet columns_;
    std::vector<Slot> slots_;
    std::vector<Node> nodes_;
    std::vector<RowId> freeSlots_;
    AddressIndex index_{[this](RowId id) { return std::string_view(nodes_[id].address); }};
    RowId root_ = kNil;
    int sortColumn_ = 2;
    bool sortNumeric_ = false;
    std::optional<RowId> selected_;
    TableObserver* observer_ = nullptr;
    std::vector<RowRemovalListener*> removalListeners_;
    std::uint32_t random_ = 0x9E3779B9u;
};

} // namespace telvorn
