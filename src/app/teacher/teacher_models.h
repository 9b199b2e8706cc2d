#pragma once

#include <QAbstractTableModel>
#include <QStringList>
#include <optional>
#include <vector>

#include "report/report_data.h"

namespace sorelka {

// A read-only table of `Row`s with fixed column titles; the derived model
// says what each cell shows.
template <class Row>
class RowsModel : public QAbstractTableModel {
public:
    RowsModel(QStringList titles, QObject* parent) : QAbstractTableModel(parent), titles_(std::move(titles)) {}

    void SetRows(std::vector<Row> rows) {
        beginResetModel();
        rows_ = std::move(rows);
        endResetModel();
    }
    const std::vector<Row>& rows() const { return rows_; }

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : int(rows_.size());
    }
    int columnCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : int(titles_.size());
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole) return titles_.value(section);
        return QAbstractTableModel::headerData(section, orientation, role);
    }

protected:
    // The row of a valid index; null for any other.
    const Row* RowAt(const QModelIndex& index) const {
        return index.isValid() && index.row() < int(rows_.size()) ? &rows_[index.row()] : nullptr;
    }

private:
    QStringList titles_;
    std::vector<Row> rows_;
};

// A row of the class as the class table shows it: its place in roster order
// (what the name column sorts by) and its figures.
struct ShownClassRow {
    int order = 0;
    report::ClassRow row;
};

// The class: one row per pupil and topic (ClassTable). Sorted through a
// proxy by SortRole, which gives each column's value (figures as numbers).
class ClassTableModel : public RowsModel<ShownClassRow> {
public:
    enum Column {
        PupilColumn, TopicColumn, AnswersColumn, PercentColumn, MedianColumn,
        LastDayColumn, HabitColumn, DrillsColumn, BestPointsColumn, FoundColumn,
    };
    static constexpr int SortRole = Qt::UserRole;

    explicit ClassTableModel(QObject* parent);
    // The rows of `topic` (none: every topic) among `rows`, in roster order.
    void SetClass(const std::vector<report::ClassRow>& rows, std::optional<Topic> topic);
    QVariant data(const QModelIndex& index, int role) const override;
};

// Wrong answers counted by kind (KindTable).
class KindTableModel : public RowsModel<report::KindCount> {
public:
    enum Column { TopicColumn, KindColumn, CountColumn };
    explicit KindTableModel(QObject* parent);
    QVariant data(const QModelIndex& index, int role) const override;
};

// The most recent wrong answers (WrongTable).
class WrongTableModel : public RowsModel<report::WrongAnswer> {
public:
    enum Column { ProblemColumn, EnteredColumn, RightColumn, KindColumn, DayColumn };
    explicit WrongTableModel(QObject* parent);
    QVariant data(const QModelIndex& index, int role) const override;
};

}  // namespace sorelka
