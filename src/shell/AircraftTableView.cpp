#include "shell/AircraftTableView.h"

#include <QFontMetrics>
#include <QHeaderView>

#include "shell/TableFont.h"

namespace telvorn {

AircraftTableView::AircraftTableView(QWidget* parent) : QTableView(parent)
{
    setFont(TableFont());
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setShowGrid(false);
    setWordWrap(false);
    setSortingEnabled(false);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);

    QHeaderView* rows = verticalHeader();
    rows->hide();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(QFontMetrics(font()).height() + 2);

    QHeaderView* header = horizontalHeader();
    QFont captions = header->font();
    captions.setPointSizeF(8.0);
    header->setFont(captions);
    // Narrow columns ("T", "P" at 280 and 320 twips) keep their widths.
    header->setMinimumSectionSize(1);
    header->setSectionResizeMode(QHeaderView::Fixed);
    header->setSectionsClickable(true);
    header->setSortIndicatorShown(true);
    header->setHighlightSections(false);
    header->setStretchLastSection(false);
    connect(header, &QHeaderView::sectionClicked, this, [this](int section) { emit headerClicked(section + 1); });
}

void AircraftTableView::setColumns(const ColumnSet& columns, int sortColumn)
{
    for (std::size_t c = 0; c < columns.size(); ++c) {
        const int width = Pixels(columns[c].widthTwips);
        // "LAST" is a full column that no one sees.
        setColumnHidden(int(c), width == 0);
        if (width > 0)
            setColumnWidth(int(c), width);
    }
    setSortColumn(sortColumn);
}

void AircraftTableView::setSortColumn(int column)
{
    horizontalHeader()->setSortIndicator(column, Qt::AscendingOrder);
}

void AircraftTableView::showRow(int row)
{
    if (row < 0 || !model() || row >= model()->rowCount())
        return;
    const QModelIndex index = model()->index(row, 0);
    if (currentIndex().row() != row)
        setCurrentIndex(index);
    scrollTo(index, QAbstractItemView::EnsureVisible);
}

} // namespace telvorn
