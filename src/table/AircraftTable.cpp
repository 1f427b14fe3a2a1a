#include "table/AircraftTable.h"

#include <stdexcept>

#include "text/NumberText.h"

namespace telvorn {

AircraftTable::AircraftTable(bool distanceFlag)
    : columns_(telvorn::SetupColumns(distanceFlag))
{
    sortNumeric_ = columns_[std::size_t(sortColumn_)].numeric;
}

void AircraftTable::SetupColumns(bool distanceFlag)
{
    columns_ = telvorn::SetupColumns(distanceFlag);
}

std::optional<RowId> AircraftTable::FindAircraftRow(std::string_view address) const
{
    return index_.find(address);
}

RowId AircraftTable::idAt(std::size_t position) const
{
    if (position >= size())
        throw std::out_of_range("aircraft table position out of range");
    RowId node = root_;
    for (;;) {
        const std::size_t leftSize = sizeOf(nodes_[node].left);
        if (position < leftSize) {
            node = nodes_[node].left;
        } else if (position == leftSize) {
            return node;
        } else {
            position -= leftSize + 1;
            node = nodes_[node].right;
        }
    }
}

std::size_t AircraftTable::positionOf(RowId id) const
{
    return countLess(id);
}

std::vector<RowId> AircraftTable::idsInOrder() const
{
    std::vector<RowId> out;
    out.reserve(size());
    std::vector<RowId> stack;
    RowId node = root_;
    while (node != kNil || !stack.empty()) {
        while (node != kNil) {
            stack.push_back(node);
            node = nodes_[node].left;
        }
        node = stack.back();
        stack.pop_back();
        out.push_back(node);
        node = nodes_[node].right;
    }
    return out;
}

RowId AircraftTable::addRow(std::string_view address)
{
    RowId id;
    if (!freeSlots_.empty()) {
        id = freeSlots_.back();
        freeSlots_.pop_back();
    } else {
        id = RowId(slots_.size());
        slots_.emplace_back();
        nodes_.emplace_back();
    }
    slots_[id].live = true;
    slots_[id].row.cells[Index(Column::Icao)].assign(address);
    Node& node = nodes_[id];
    node.linked = false;
    node.address.assign(address);
    index_.insert(address, id);
    return id;
}

void AircraftTable::setCell(RowId id, Column column, std::string_view text)
{
    slots_[id].row.cells[Index(column)].assign(text);
}

void AircraftTable::commitRow(RowId id)
{
    const Node& node = nodes_[id];
    if (!node.linked) {
        link(id);
        if (observer_)
            observer_->rowInserted(countLess(id));
        return;
    }
    const std::string& current = slots_[id].row.cells[std::size_t(sortColumn_)];
    if (current == node.sortText) {
        if (observer_)
            observer_->rowChanged(countLess(id));
        return;
    }
    const std::size_t from = observer_ ? countLess(id) : 0;
    unlink(id);
    link(id);
    if (observer_) {
        const std::size_t to = countLess(id);
        if (to != from)
            observer_->rowMoved(from, to);
        observer_->rowChanged(to);
    }
}

void AircraftTable::removeRow(RowId id)
{
    Slot& slot = slots_[id];
    if (!slot.live)
        return;
    for (RowRemovalListener* listener : removalListeners_)
        listener->rowRemoving(id, slot.row);
    std::size_t position = 0;
    const bool wasLinked = nodes_[id].linked;
    if (wasLinked && observer_) {
        position = countLess(id);
        observer_->rowAboutToBeRemoved(position);
    }
    if (wasLinked)
        unlink(id);
    index_.erase(nodes_[id].address);
    if (selected_ == id)
        selected_.reset();
    // A purged address that comes back starts from an empty row.
    slot.row = AircraftRow{};
    slot.live = false;
    nodes_[id].sortText.clear();
    nodes_[id].address.clear();
    freeSlots_.push_back(id);
    if (wasLinked && observer_)
        observer_->rowRemoved(position);
}

bool AircraftTable::setSortColumn(int column)
{
    if (column < 0 || column >= int(kColumnCount))
        return false;
    sortColumn_ = column;
    sortNumeric_ = columns_[std::size_t(column)].numeric;
    ResortTable();
    return true;
}

void AircraftTable::ResortTable()
{
    const std::vector<RowId> rows = idsInOrder();
    root_ = kNil;
    for (RowId id : rows) {
        nodes_[id].linked = false;
        link(id);
    }
    if (observer_)
        observer_->orderReset();
}

// Numeric columns: empty cells first, then by value, then by text; text
// columns by bytes. The address breaks ties, so the order is total.
bool AircraftTable::less(RowId a, RowId b) const
{
    const Node& x = nodes_[a];
    const Node& y = nodes_[b];
    if (sortNumeric_) {
        if (x.sortEmpty != y.sortEmpty)
            return x.sortEmpty;
        if (x.sortNumber != y.sortNumber)
            return x.sortNumber < y.sortNumber;
    }
    const int byText = x.sortText.compare(y.sortText);
    if (byText != 0)
        return byText < 0;
    return x.address < y.address;
}

void AircraftTable::captureSortKey(RowId id)
{
    Node& node = nodes_[id];
    node.sortText = slots_[id].row.cells[std::size_t(sortColumn_)];
    node.sortEmpty = node.sortText.empty();
    node.sortNumber = sortNumeric_ ? LeadingNumber(node.sortText) : 0.0;
}

void AircraftTable::update(RowId node)
{
    Node& n = nodes_[node];
    n.size = sizeOf(n.left) + sizeOf(n.right) + 1;
}

RowId AircraftTable::merge(RowId a, RowId b)
{
    if (a == kNil)
        return b;
    if (b == kNil)
        return a;
    if (nodes_[a].priority > nodes_[b].priority) {
        nodes_[a].right = merge(nodes_[a].right, b);
        update(a);
        return a;
    }
    nodes_[b].left = merge(a, nodes_[b].left);
    update(b);
    return b;
}

void AircraftTable::split(RowId tree, RowId key, RowId& below, RowId& above)
{
    if (tree == kNil) {
        below = above = kNil;
        return;
    }
    if (less(tree, key)) {
        split(nodes_[tree].right, key, nodes_[tree].right, above);
        below = tree;
    } else {
        split(nodes_[tree].left, key, below, nodes_[tree].left);
        above = tree;
    }
    update(tree);
}

RowId AircraftTable::insert(RowId tree, RowId node)
{
    if (tree == kNil)
        return node;
    if (nodes_[node].priority > nodes_[tree].priority) {
        split(tree, node, nodes_[node].left, nodes_[node].right);
        update(node);
        return node;
    }
    if (less(node, tree))
        nodes_[tree].left = insert(nodes_[tree].left, node);
    else
        nodes_[tree].right = insert(nodes_[tree].right, node);
    update(tree);
    return tree;
}

RowId AircraftTable::erase(RowId tree, RowId node)
{
    if (tree == kNil)
        return kNil;
    if (tree == node)
        return merge(nodes_[tree].left, nodes_[tree].right);
    if (less(node, tree))
        nodes_[tree].left = erase(nodes_[tree].left, node);
    else
        nodes_[tree].right = erase(nodes_[tree].right, node);
    update(tree);
    return tree;
}

// Rows ordered before this one; for a linked row that is its position.
std::size_t AircraftTable::countLess(RowId id) const
{
    std::size_t count = 0;
    RowId node = root_;
    while (node != kNil) {
        if (node == id)
            return count + sizeOf(nodes_[node].left);
        if (less(id, node)) {
            node = nodes_[node].left;
        } else {
            count += sizeOf(nodes_[node].left) + 1;
            node = nodes_[node].right;
        }
    }
    return count;
}

void AircraftTable::link(RowId id)
{
    captureSortKey(id);
    Node& node = nodes_[id];
    node.left = node.right = kNil;
    node.size = 1;
    node.priority = nextPriority();
    root_ = insert(root_, id);
    nodes_[id].linked = true;
}

void AircraftTable::unlink(RowId id)
{
    root_ = erase(root_, id);
    Node& node = nodes_[id];
    node.left = node.right = kNil;
    node.size = 0;
    node.linked = false;
}

// Deterministic priorities: the same records give the same tree on every run.
std::uint32_t AircraftTable::nextPriority()
{
    random_ ^= random_ << 13;
    random_ ^= random_ >> 17;
    random_ ^= random_ << 5;
    return random_;
}

} // namespace telvorn
