#pragma once

#include <QTableView>

#include "table/Columns.h"

namespace telvorn {

// The aircraft list: the table font, the column widths of the column set
// (never sized to contents, which would relayout at every change), the
// hidden "LAST" column, one selected row, no editing, and header clicks
// reported by their 1-based position for the sort.
class AircraftTableView final : public QTableView {
    Q_OBJECT

public:
    explicit AircraftTableView(QWidget* parent = nullptr);

    void setColumns(const ColumnSet& columns, int sortColumn);
    // Ascending is the only order; the indicator shows the column.
    void setSortColumn(int column);
    // The row the latest record wrote: selected and scrolled into view.
    void showRow(int row);

signals:
    void headerClicked(int headerPosition);
};

} // namespace telvorn
