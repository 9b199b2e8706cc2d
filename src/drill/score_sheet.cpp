#include "drill/score_sheet.h"

#include <QHeaderView>

#include "widgets/look.h"

namespace sorelka {

namespace {

// Gives each field of the shared result set this grid's title and alignment.
class ColumnLook : public QIdentityProxyModel {
public:
    ColumnLook(const std::vector<GridColumn>& columns, QObject* parent)
        : QIdentityProxyModel(parent), columns_(columns) {}

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation == Qt::Horizontal) {
            if (const GridColumn* c = Find(section)) {
                if (role == Qt::DisplayRole) return c->title;
                if (role == Qt::TextAlignmentRole) return QVariant::fromValue(Qt::AlignCenter);
            }
        }
        return QIdentityProxyModel::headerData(section, orientation, role);
    }

    QVariant data(const QModelIndex& index, int role) const override {
        if (role == Qt::TextAlignmentRole) {
            if (const GridColumn* c = Find(index.column()))
                return QVariant::fromValue(c->alignment | Qt::AlignVCenter);
        }
        return QIdentityProxyModel::data(index, role);
    }

    Qt::ItemFlags flags(const QModelIndex& index) const override {
        return QIdentityProxyModel::flags(index) & ~Qt::ItemIsEditable;
    }

private:
    const GridColumn* Find(int field) const {
        for (const GridColumn& c : columns_)
            if (c.field == field) return &c;
        return nullptr;
    }
    std::vector<GridColumn> columns_;
};

}  // namespace

ScoreSheet::ScoreSheet(QAbstractItemModel* result_set, std::vector<GridColumn> columns,
                       QWidget* parent)
    : QTableView(parent), columns_(std::move(columns)) {
    setObjectName(QStringLiteral("DBGrid1"));
    // A table for assistive technology too: its cells are read with the
    // column titles this grid gives the fields.
    setAccessibleName(QStringLiteral("せいせき表"));
    setAccessibleDescription(QStringLiteral("問題ごとの 答えと ○×"));
    auto* look = new ColumnLook(columns_, this);
    look->setSourceModel(result_set);
    setModel(look);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(26);
    horizontalHeader()->setStretchLastSection(true);
    horizontalHeader()->setSectionsMovable(true);

    // Show only this grid's fields, in its order, at its widths. Sections are
    // re-applied when the shared query is re-run (the columns come back).
    auto arrange = [this] {
        QHeaderView* header = horizontalHeader();
        const int fields = model()->columnCount();
        for (int f = 0; f < fields; ++f) {
            bool shown = false;
            for (const GridColumn& c : columns_) shown |= c.field == f;
            setColumnHidden(f, !shown);
        }
        for (int i = 0; i < static_cast<int>(columns_.size()); ++i) {
            const GridColumn& c = columns_[i];
            if (c.field >= fields) continue;
            header->moveSection(header->visualIndex(c.field), i);
            if (c.width > 0) setColumnWidth(c.field, c.width);
        }
    };
    connect(look, &QAbstractItemModel::modelReset, this, arrange);
    connect(look, &QAbstractItemModel::layoutChanged, this, arrange);
    connect(look, &QAbstractItemModel::columnsInserted, this, arrange);
    arrange();
    hide();
}

QStringList ScoreSheet::RowTexts(int row) const {
    QStringList texts;
    for (const GridColumn& c : columns_) texts << model()->index(row, c.field).data().toString();
    return texts;
}

QStringList ScoreSheet::Titles() const {
    QStringList titles;
    for (const GridColumn& c : columns_)
        titles << model()->headerData(c.field, Qt::Horizontal, Qt::DisplayRole).toString();
    return titles;
}

}  // namespace sorelka
