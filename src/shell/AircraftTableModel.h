#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <unordered_set>
#include <vector>

#include <QAbstractTableModel>
#include <QColor>
#include <QString>

#include "table/AircraftTable.h"

namespace telvorn {

// How a row stands out (an emergency); nothing for a row drawn as usual.
struct RowStyle {
    QColor background;
    bool bold = false;
    QString toolTip;

    friend bool operator==(const RowStyle&, const RowStyle&) = default;
};

// The core's aircraft table as a Qt model. It is the table's observer and
// follows it exactly, but in batches: each change is queued as it happens
// and flush() replays the queue with the exact insert, remove and move
// calls and one dataChanged per rewritten row. A view relaid out for every
// record costs a core at the full link rate; one batch every 50 ms costs a
// tenth of that. The model keeps its own copy of the rows it shows, so a
// row the core has already removed, or whose id it gave to a new address,
// is shown consistently until the batch that removes it.
class AircraftTableModel final : public QAbstractTableModel, private TableObserver {
    Q_OBJECT

public:
    // More queued changes than this (the event loop held up for seconds)
    // are not replayed one by one: the next flush resets the model.
    static constexpr std::size_t kMaxQueued = 20000;

    explicit AircraftTableModel(AircraftTable& table, QObject* parent = nullptr);
    ~AircraftTableModel() override;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // Brings the model up to the core table.
    void flush();
    // The model's row of a core row, or -1.
    int displayRowOf(RowId id) const;
    RowId idAt(int row) const { return rows_[std::size_t(row)]->id; }

    // A style per row (emergencies), asked again for every row at each
    // flush: a style can change with no cell changing (an alert line), and
    // a row whose style changed is announced with dataChanged.
    void setStyle(std::function<std::optional<RowStyle>(RowId)> style);
    // The column set changed (captions at start-up).
    void columnsChanged();

private:
    enum class Kind : std::uint8_t { Insert, Remove, Move, Change };
    struct Change {
        Kind kind;
        std::uint32_t from;
        std::uint32_t to;
        RowId id;
    };
    struct Shown {
        RowId id;
        AircraftRow row;
        std::optional<RowStyle> style;
    };

    void rowInserted(std::size_t position) override;
    void rowRemoved(std::size_t position) override;
    void rowMoved(std::size_t from, std::size_t to) override;
    void rowChanged(std::size_t position) override;
    void orderReset() override;
    void queue(Change change);
    void rebuild();
    // Takes the row's style again; true when it changed.
    bool restyle(Shown& shown) const;
    std::unique_ptr<Shown> shownOf(RowId id) const;

    AircraftTable& table_;
    // Rows by pointer: a move shifts pointers, not 19 cells of text each.
    std::vector<std::unique_ptr<Shown>> rows_;
    std::vector<Change> queue_;
    std::unordered_set<RowId> rewritten_;
    bool resetPending_ = false;
    std::function<std::optional<RowStyle>(RowId)> style_;
};

} // namespace telvorn
