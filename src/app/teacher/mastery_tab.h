#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <QStringList>
#include <vector>

#include "app/teacher/teacher_tab.h"
#include "report/mastery_report.h"

class QLabel;
class QSortFilterProxyModel;
class QTableView;

namespace sorelka {

// Pupils × skills (MasteryTable): each cell the pupil's level A–D as a
// letter on its colour, "まだ" with too few answers. Sorted through a proxy
// by SortRole: the roster's order, or the estimate ("まだ" lowest).
class MasteryTableModel : public QAbstractTableModel {
public:
    enum Column { PupilColumn, FirstSkillColumn };
    static constexpr int SortRole = Qt::UserRole;

    explicit MasteryTableModel(QObject* parent) : QAbstractTableModel(parent) {}
    // `pupils` in roster order; the skills of `columns`; pupils with levels
    // but not in the list (the guest) after them.
    void SetClass(QStringList pupils, std::vector<report::SkillColumn> columns,
                  const std::vector<report::SkillLevel>& levels);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    const report::SkillLevel* LevelAt(const QModelIndex& index) const;

    QStringList pupils_;
    std::vector<report::SkillColumn> columns_;
    // [row][column - FirstSkillColumn]: none when the pupil never met the skill.
    std::vector<std::vector<std::optional<report::SkillLevel>>> cells_;
};

// A level's cell colour (the letter stands in the cell as well).
QColor LevelColour(Level level);

// "習熟度": the class's three weakest skills (MasteryWeakest) over the table.
class MasteryTab : public TeacherTab {
    Q_OBJECT
public:
    explicit MasteryTab(QWidget* parent);
    QString Title() const override { return QStringLiteral("習熟度"); }
    void Show(const ClassView& view) override;

private:
    QLabel* weakest_ = nullptr;
    MasteryTableModel* model_ = nullptr;
    QSortFilterProxyModel* sorted_ = nullptr;
    QTableView* table_ = nullptr;
};

}  // namespace sorelka
