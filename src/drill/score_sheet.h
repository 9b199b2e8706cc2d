#pragma once

#include <QIdentityProxyModel>
#include <QTableView>
#include <vector>

namespace sorelka {

// Field positions of the drill log table.
enum DrillField { kFieldNo = 0, kFieldMnd, kFieldKai, kFieldKot, kFieldHnt, kFieldAms, kFieldAmi };

struct GridColumn {
    int field;                 // DrillField
    QString title;
    int width;                 // pixels; 0 = the grid's default
    Qt::Alignment alignment;   // of the cells; titles are always centred
};

// The score sheet `DBGrid1`: the shared drill-log result set, showing this
// screen's own columns in its own order, with its titles, widths and alignment.
class ScoreSheet : public QTableView {
    Q_OBJECT
public:
    ScoreSheet(QAbstractItemModel* result_set, std::vector<GridColumn> columns, QWidget* parent);

    const std::vector<GridColumn>& columns() const { return columns_; }
    // The texts shown in a row, column by column in this grid's order.
    QStringList RowTexts(int row) const;
    QStringList Titles() const;

private:
    std::vector<GridColumn> columns_;
};

}  // namespace sorelka
