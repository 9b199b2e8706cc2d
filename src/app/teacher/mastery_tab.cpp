#include "app/teacher/mastery_tab.h"

#include <QHeaderView>
#include <QLabel>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QVBoxLayout>
#include <map>

#include "app/teacher/class_data.h"

namespace sorelka {

QColor LevelColour(Level level) {
    switch (level) {
        case Level::A: return QColor(0xA8, 0xE0, 0xA0);
        case Level::B: return QColor(0xD8, 0xEE, 0xA6);
        case Level::C: return QColor(0xFF, 0xE0, 0x8A);
        case Level::D: return QColor(0xF6, 0xAC, 0xAC);
        case Level::NotYet: break;
    }
    return QColor(0xEE, 0xEE, 0xEE);
}

void MasteryTableModel::SetClass(QStringList pupils, std::vector<report::SkillColumn> columns,
                                 const std::vector<report::SkillLevel>& levels) {
    beginResetModel();
    pupils_ = std::move(pupils);
    columns_ = std::move(columns);
    std::map<std::string, int> column_of;
    for (std::size_t c = 0; c < columns_.size(); ++c) column_of[columns_[c].id] = int(c);
    for (const report::SkillLevel& l : levels)
        if (!pupils_.contains(l.pupil) && column_of.count(l.skill)) pupils_ << l.pupil;
    cells_.assign(pupils_.size(), std::vector<std::optional<report::SkillLevel>>(columns_.size()));
    for (const report::SkillLevel& l : levels) {
        const int row = int(pupils_.indexOf(l.pupil));
        const auto column = column_of.find(l.skill);
        if (row >= 0 && column != column_of.end()) cells_[row][column->second] = l;
    }
    endResetModel();
}

int MasteryTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(pupils_.size());
}

int MasteryTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : FirstSkillColumn + int(columns_.size());
}

const report::SkillLevel* MasteryTableModel::LevelAt(const QModelIndex& index) const {
    if (!index.isValid() || index.column() < FirstSkillColumn || index.row() >= int(cells_.size())) return nullptr;
    const auto& cell = cells_[index.row()][index.column() - FirstSkillColumn];
    return cell ? &*cell : nullptr;
}

QVariant MasteryTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= int(pupils_.size())) return {};
    if (index.column() == PupilColumn) {
        if (role == Qt::DisplayRole) return pupils_[index.row()];
        if (role == SortRole) return index.row();
        return {};
    }
    const report::SkillLevel* l = LevelAt(index);
    const Level level = l ? l->level : Level::NotYet;
    switch (role) {
        case Qt::DisplayRole: return QString::fromUtf8(LevelText(level).data(), qsizetype(LevelText(level).size()));
        case Qt::BackgroundRole: return LevelColour(level);
        case Qt::ForegroundRole: return QColor(Qt::black);
        case Qt::TextAlignmentRole: return int(Qt::AlignCenter);
        case Qt::ToolTipRole:
            return l ? QStringLiteral("%1：%2（答え %3 回）")
                           .arg(columns_[index.column() - FirstSkillColumn].label)
                           .arg(l->estimate, 0, 'f', 2)
                           .arg(l->answers)
                     : QVariant();
        case SortRole: return level == Level::NotYet ? -1.0 : l->estimate;
        default: return {};
    }
}

QVariant MasteryTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (section == PupilColumn) return QStringLiteral("名前");
    const int c = section - FirstSkillColumn;
    return c >= 0 && c < int(columns_.size()) ? columns_[c].label : QVariant();
}

MasteryTab::MasteryTab(QWidget* parent) : TeacherTab(parent) {
    weakest_ = new QLabel(this);
    weakest_->setObjectName(QStringLiteral("MasteryWeakest"));
    weakest_->setTextFormat(Qt::PlainText);
    weakest_->setWordWrap(true);
    model_ = new MasteryTableModel(this);
    sorted_ = new QSortFilterProxyModel(this);
    sorted_->setSourceModel(model_);
    sorted_->setSortRole(MasteryTableModel::SortRole);
    table_ = new QTableView(this);
    table_->setObjectName(QStringLiteral("MasteryTable"));
    table_->setAccessibleName(QStringLiteral("習熟度の表"));
    table_->setModel(sorted_);
    table_->setSortingEnabled(true);
    table_->sortByColumn(-1, Qt::AscendingOrder);  // roster order until the teacher sorts
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->verticalHeader()->hide();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(weakest_);
    layout->addWidget(table_, 1);
}

void MasteryTab::Show(const ClassView& view) {
    const std::vector<report::SkillLevel> levels =
        view.data && view.data->Ready() ? view.data->Levels() : std::vector<report::SkillLevel>{};
    model_->SetClass(view.data ? view.data->Pupils() : QStringList(), report::SkillColumns(view.filter.topic),
                     levels);
    QStringList weakest;
    for (const std::string& skill : report::WeakestOfClass(levels))
        weakest << QStringLiteral("%1. %2").arg(weakest.size() + 1).arg(report::SkillLabel(skill));
    weakest_->setText(QStringLiteral("クラスの にがて：") +
                      (weakest.isEmpty() ? QStringLiteral("まだ わかりません（答えが少ない）")
                                         : weakest.join(QStringLiteral("　"))));
    table_->resizeColumnsToContents();
}

}  // namespace sorelka
