#include "shell/AircraftTableModel.h"

#include <algorithm>

#include <QFont>

#include "shell/TableFont.h"

namespace telvorn {

namespace {

QString Text(std::string_view text)
{
    return QString::fromLatin1(text.data(), qsizetype(text.size()));
}

QColor Colour(Rgb rgb)
{
    return QColor(rgb.red, rgb.green, rgb.blue);
}

} // namespace

AircraftTableModel::AircraftTableModel(AircraftTable& table, QObject* parent)
    : QAbstractTableModel(parent), table_(table)
{
    table_.setObserver(this);
    rebuild();
}

AircraftTableModel::~AircraftTableModel()
{
    table_.setObserver(nullptr);
}

int AircraftTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(rows_.size());
}

int AircraftTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(kColumnCount);
}

QVariant AircraftTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount())
        return {};
    const Shown& shown = *rows_[std::size_t(index.row())];
    const auto column = Column(index.column());
    switch (role) {
    case Qt::DisplayRole:
        return Text(shown.row[column]);
    case Qt::TextAlignmentRole: {
        const Alignment a = table_.columns()[std::size_t(index.column())].alignment;
        return QVariant::fromValue(Qt::AlignVCenter | (a == Alignment::Right ? Qt::AlignRight : Qt::AlignLeft));
    }
    case Qt::ForegroundRole:
        if (column == Column::Call && shown.row.callColoured)
            return Colour(kCallColour);
        if (column == Column::Sqwk && shown.row.squawkColoured)
            return Colour(kSquawkColour);
        return {};
    case Qt::BackgroundRole:
        return shown.style ? QVariant(shown.style->background) : QVariant();
    case Qt::ToolTipRole:
        return shown.style ? QVariant(shown.style->toolTip) : QVariant();
    case Qt::FontRole: {
        if (!shown.style || !shown.style->bold)
            return {};
        static const QFont bold = [] {
            QFont font = TableFont();
            font.setBold(true);
            return font;
        }();
        return bold;
    }
    default:
        return {};
    }
}

QVariant AircraftTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount())
        return {};
    const ColumnDef& def = table_.columns()[std::size_t(section)];
    if (role == Qt::DisplayRole)
        return Text(def.caption);
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::AlignVCenter |
                                   (def.alignment == Alignment::Right ? Qt::AlignRight : Qt::AlignLeft));
    return {};
}

void AircraftTableModel::setStyle(std::function<std::optional<RowStyle>(RowId)> style)
{
    style_ = std::move(style);
    const int last = columnCount() - 1;
    for (std::size_t i = 0; i < rows_.size(); ++i)
        if (restyle(*rows_[i]))
            emit dataChanged(index(int(i), 0), index(int(i), last));
}

bool AircraftTableModel::restyle(Shown& shown) const
{
    std::optional<RowStyle> style = style_ ? style_(shown.id) : std::nullopt;
    if (style == shown.style)
        return false;
    shown.style = std::move(style);
    return true;
}

std::unique_ptr<AircraftTableModel::Shown> AircraftTableModel::shownOf(RowId id) const
{
    auto shown = std::make_unique<Shown>(Shown{id, table_.row(id), std::nullopt});
    restyle(*shown);
    return shown;
}

void AircraftTableModel::columnsChanged()
{
    emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
}

int AircraftTableModel::displayRowOf(RowId id) const
{
    for (std::size_t i = 0; i < rows_.size(); ++i)
        if (rows_[i]->id == id)
            return int(i);
    return -1;
}

void AircraftTableModel::queue(Change change)
{
    if (resetPending_)
        return;
    if (queue_.size() >= kMaxQueued) {
        resetPending_ = true;
        queue_.clear();
        rewritten_.clear();
        return;
    }
    queue_.push_back(change);
}

void AircraftTableModel::rowInserted(std::size_t position)
{
    queue({Kind::Insert, std::uint32_t(position), 0, table_.idAt(position)});
}

void AircraftTableModel::rowRemoved(std::size_t position)
{
    queue({Kind::Remove, std::uint32_t(position), 0, 0});
}

void AircraftTableModel::rowMoved(std::size_t from, std::size_t to)
{
    queue({Kind::Move, std::uint32_t(from), std::uint32_t(to), 0});
}

void AircraftTableModel::rowChanged(std::size_t position)
{
    queue({Kind::Change, std::uint32_t(position), 0, table_.idAt(position)});
}

void AircraftTableModel::orderReset()
{
    resetPending_ = true;
    queue_.clear();
    rewritten_.clear();
}

void AircraftTableModel::rebuild()
{
    rows_.clear();
    rows_.reserve(table_.size());
    for (RowId id : table_.idsInOrder())
        rows_.push_back(shownOf(id));
}

void AircraftTableModel::flush()
{
    if (resetPending_) {
        resetPending_ = false;
        beginResetModel();
        rebuild();
        endResetModel();
        return;
    }
    for (const Change& c : queue_) {
        const int from = int(c.from);
        switch (c.kind) {
        case Kind::Insert:
            beginInsertRows({}, from, from);
            // The row as the core holds it now; a later change in this batch
            // rewrites it again below.
            rows_.insert(rows_.begin() + from, shownOf(c.id));
            endInsertRows();
            break;
        case Kind::Remove:
            beginRemoveRows({}, from, from);
            rows_.erase(rows_.begin() + from);
            endRemoveRows();
            break;
        case Kind::Move: {
            const int to = int(c.to);
            if (to == from)
                break;
            beginMoveRows({}, from, from, {}, to > from ? to + 1 : to);
            std::unique_ptr<Shown> moving = std::move(rows_[std::size_t(from)]);
            rows_.erase(rows_.begin() + from);
            rows_.insert(rows_.begin() + to, std::move(moving));
            endMoveRows();
            break;
        }
        case Kind::Change:
            rewritten_.insert(c.id);
            break;
        }
    }
    queue_.clear();
    const int last = columnCount() - 1;
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        Shown& shown = *rows_[i];
        const bool rewritten = !rewritten_.empty() && rewritten_.count(shown.id) != 0;
        if (rewritten)
            shown.row = table_.row(shown.id);
        if (restyle(shown) || rewritten)
            emit dataChanged(index(int(i), 0), index(int(i), last));
    }
    rewritten_.clear();
}

} // namespace telvorn
