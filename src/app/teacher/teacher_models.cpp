#include "app/teacher/teacher_models.h"

namespace sorelka {

ClassTableModel::ClassTableModel(QObject* parent)
    : RowsModel({QStringLiteral("なまえ"), QStringLiteral("単元"), QStringLiteral("問題数"),
                 QStringLiteral("正答率"), QStringLiteral("1問の時間（中央値）"), QStringLiteral("最後の日"),
                 QStringLiteral("よくあるまちがい"), QStringLiteral("ドリル"), QStringLiteral("最高点"),
                 QStringLiteral("まちがいさがし")},
                parent) {
    setObjectName(QStringLiteral("ClassModel"));
}

void ClassTableModel::SetClass(const std::vector<report::ClassRow>& rows, std::optional<Topic> topic) {
    std::vector<ShownClassRow> shown;
    for (int i = 0; i < int(rows.size()); ++i)
        if (!topic || rows[i].topic == *topic) shown.push_back({i, rows[i]});
    SetRows(std::move(shown));
}

QVariant ClassTableModel::data(const QModelIndex& index, int role) const {
    const ShownClassRow* shown = RowAt(index);
    if (!shown) return {};
    const report::ClassRow& r = shown->row;
    const auto column = Column(index.column());
    if (role == Qt::TextAlignmentRole) {
        const bool text = column == PupilColumn || column == TopicColumn || column == LastDayColumn ||
                          column == HabitColumn;
        return int((text ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter);
    }
    const bool sort = role == SortRole;
    if (!sort && role != Qt::DisplayRole) return {};
    switch (column) {
        case PupilColumn: return sort ? QVariant(shown->order) : r.pupil;
        case TopicColumn: return sort ? QVariant(TopicNumber(r.topic)) : report::TopicName(r.topic);
        case AnswersColumn: return sort ? QVariant(r.answers) : QString::number(r.answers);
        case PercentColumn: return sort ? QVariant(r.percent()) : QStringLiteral("%1 %").arg(r.percent());
        case MedianColumn:
            return sort ? QVariant(r.median_seconds) : QStringLiteral("%1 秒").arg(r.median_seconds, 0, 'f', 1);
        case LastDayColumn: return r.last_day;
        case HabitColumn: return report::KindLabel(r.topic, r.habit);
        case DrillsColumn: return sort ? QVariant(r.drills) : QString::number(r.drills);
        case BestPointsColumn:
            return sort ? QVariant(r.best_points) : r.drills ? QString::number(r.best_points) : QString();
        case FoundColumn:
            // Right ones of the find-the-mistake examples answered: "2 / 3".
            return sort ? QVariant(r.found_answers)
                        : r.found_answers ? QStringLiteral("%1 / %2").arg(r.found_correct).arg(r.found_answers)
                                          : QString();
    }
    return {};
}

KindTableModel::KindTableModel(QObject* parent)
    : RowsModel({QStringLiteral("単元"), QStringLiteral("まちがいの種類"), QStringLiteral("回数")}, parent) {}

QVariant KindTableModel::data(const QModelIndex& index, int role) const {
    const report::KindCount* k = RowAt(index);
    if (!k || role != Qt::DisplayRole) return {};
    switch (Column(index.column())) {
        case TopicColumn: return report::TopicName(k->topic);
        case KindColumn: return report::KindLabel(k->topic, k->kind);
        case CountColumn: return QString::number(k->count);
    }
    return {};
}

WrongTableModel::WrongTableModel(QObject* parent)
    : RowsModel({QStringLiteral("問題"), QStringLiteral("答え"), QStringLiteral("正しい答え"),
                 QStringLiteral("まちがいの種類"), QStringLiteral("日")},
                parent) {}

QVariant WrongTableModel::data(const QModelIndex& index, int role) const {
    const report::WrongAnswer* w = RowAt(index);
    if (!w || role != Qt::DisplayRole) return {};
    switch (Column(index.column())) {
        case ProblemColumn: return w->problem;
        case EnteredColumn: return w->entered;
        case RightColumn: return w->right;
        case KindColumn: return report::KindLabel(w->topic, w->kind);
        case DayColumn: return w->answered_at.left(10);
    }
    return {};
}

}  // namespace sorelka
