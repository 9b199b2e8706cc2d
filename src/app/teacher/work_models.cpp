#include "app/teacher/work_models.h"

#include <QBrush>
#include <QColor>
#include <algorithm>
#include <map>
#include <tuple>

#include "coach/skill_catalogue.h"
#include "core/wide_digits.h"
#include "report/csv_export.h"
#include "report/export_file.h"
#include "topics/topic_table.h"

namespace sorelka {

namespace {

QString Wide(long long n) { return QString::fromStdString(WideText(n)); }

QString Text(std::string_view s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }

// The topic a piece's mistakes are named by: its own, or its skill's.
std::optional<Topic> TopicOfPiece(const WorkPiece& piece) {
    if (piece.topic) return TopicFromNumber(*piece.topic);
    if (const auto found = coach::FindSkill(piece.skill.toStdString())) return found->topic;
    return std::nullopt;
}

// Everything the table shows of a row (and its colour) is the same.
bool SameShown(const LivePupil& a, const LivePupil& b) {
    auto shown = [](const LivePupil& r) {
        return std::tie(r.pupil, r.screen, r.topic, r.menu_choice, r.work_id, r.answers, r.correct, r.stuck,
                        r.stuck_why);
    };
    return shown(a) == shown(b);
}

const QColor kStuckColour(0xFF, 0xD6, 0xCC);
const QColor kWithdrawnColour(0x80, 0x80, 0x80);

}  // namespace

const std::vector<WhatChoice>& WhatChoices() {
    static const std::vector<WhatChoice> choices = [] {
        std::vector<WhatChoice> out;
        for (const TopicInfo& info : TopicTable())
            for (std::size_t i = 0; i < info.practice_menu.size(); ++i)
                out.push_back({.topic = info.topic, .menu_choice = int(i) + 1,
                               .label = QString::fromStdString(info.name + "：" + info.practice_menu[i])});
        for (const TopicInfo& info : TopicTable())
            for (const TopicSkill& s : info.skills)
                out.push_back({.skill = Text(s.info.id),
                               .label = QStringLiteral("技能：%1（%2）")
                                            .arg(Text(s.info.teacher_label), QString::fromStdString(info.name))});
        out.push_back({.recommended = true, .label = QStringLiteral("おすすめ（ひとりひとりの にがて）")});
        return out;
    }();
    return choices;
}

int WhatIndex(const WorkPiece& piece) {
    const std::vector<WhatChoice>& choices = WhatChoices();
    for (std::size_t i = 0; i < choices.size(); ++i) {
        const WhatChoice& c = choices[i];
        const bool same = piece.recommended ? c.recommended
                          : piece.topic     ? c.topic && TopicNumber(*c.topic) == *piece.topic &&
                                            c.menu_choice == piece.menu_choice.value_or(0)
                                            : !c.skill.isEmpty() && c.skill == piece.skill;
        if (same) return int(i);
    }
    return -1;
}

void SetWhat(WorkPiece& piece, const WhatChoice& choice) {
    piece.topic = choice.topic ? std::optional<int>(TopicNumber(*choice.topic)) : std::nullopt;
    piece.menu_choice = choice.topic ? std::optional<int>(choice.menu_choice) : std::nullopt;
    piece.skill = choice.skill;
    piece.recommended = choice.recommended;
}

QString WhatText(const WorkPiece& piece) {
    const int index = WhatIndex(piece);
    if (index >= 0) return WhatChoices()[index].label;
    if (piece.topic) return QStringLiteral("単元 %1 の %2").arg(*piece.topic).arg(piece.menu_choice.value_or(0));
    return piece.skill;
}

QString ForWhomText(const WorkPiece& piece) {
    return piece.pupils.isEmpty() ? QStringLiteral("クラス全員") : piece.pupils.join(QStringLiteral("、"));
}

QString WorkFormProblem(const WorkPiece& piece, bool whole_class, bool is_new, QDate today) {
    if (!whole_class && piece.pupils.isEmpty())
        return QStringLiteral("かだいを だす子を えらんでください（クラス全員なら「クラス全員」に チェック）。");
    if (piece.title.trimmed().isEmpty()) return QStringLiteral("かだいの 名前を 入れてください。");
    if (WhatIndex(piece) < 0) return QStringLiteral("なにを れんしゅうするか えらんでください。");
    if (piece.problems < 1 || piece.problems > 100)
        return QStringLiteral("問題の数は １から １００までに してください。");
    if (!piece.due_day.isValid()) return QStringLiteral("きげんの日を えらんでください。");
    if (is_new && piece.due_day < today) return QStringLiteral("きげんが 今日より まえです。");
    return {};
}

QString ProgressText(int answered, int problems) {
    if (answered <= 0) return QStringLiteral("まだ");
    if (answered >= problems) return QStringLiteral("おわり");
    return QStringLiteral("とちゅう（%1／%2）").arg(Wide(answered), Wide(problems));
}

QString ShareRightText(int answered, int correct) {
    if (answered <= 0) return {};
    const int right = std::clamp(correct, 0, answered);
    return QStringLiteral("正答率 %1%").arg(qRound(100.0 * right / answered));
}

QString KindLabelsText(const QStringList& kinds, std::optional<Topic> topic) {
    QStringList labels;
    for (const QString& raw : kinds) {
        const std::string id = raw.trimmed().toStdString();
        if (id.empty()) continue;
        std::string label = topic ? Describe(*topic).KindLabel(id) : std::string();
        for (const TopicInfo& info : TopicTable())
            if (label.empty()) label = info.KindLabel(id);
        labels << (label.empty() ? raw.trimmed() : QString::fromStdString(label));
    }
    labels.removeDuplicates();
    return labels.join(QStringLiteral("、"));
}

std::vector<ProgressLine> ProgressLines(const std::vector<WorkPiece>& pieces,
                                        const std::vector<WorkProgressRow>& rows) {
    std::vector<ProgressLine> lines;
    for (const WorkPiece& piece : pieces) {
        if (piece.withdrawn()) continue;
        for (const WorkProgressRow& r : rows) {
            if (r.work_id != piece.id) continue;
            lines.push_back({.work_id = piece.id, .title = piece.title, .pupil = r.pupil,
                             .progress = ProgressText(r.answered, piece.problems),
                             .share = ShareRightText(r.answered, r.correct),
                             .kinds = KindLabelsText(r.kinds, TopicOfPiece(piece))});
        }
    }
    return lines;
}

bool WriteProgressCsv(const std::vector<ProgressLine>& lines, const QString& path, QString* error) {
    using report::CsvCell;
    report::ExportFile file(path);
    if (!file.Open(error)) return false;
    QStringList out{QStringLiteral("かだい,名前,すすみぐあい,正答率,まちがいの種類")};
    for (const ProgressLine& l : lines)
        out << QStringList{CsvCell(l.title), CsvCell(l.pupil), CsvCell(l.progress), CsvCell(l.share),
                           CsvCell(l.kinds)}
                   .join(QLatin1Char(','));
    const QByteArray bytes = "\xEF\xBB\xBF" + out.join(QStringLiteral("\r\n")).toUtf8() + "\r\n";
    if (file.device().write(bytes) != bytes.size()) {
        *error = QStringLiteral("「%1」に書きこめません（%2）").arg(path, file.device().errorString());
        return false;
    }
    return file.Commit(error);
}

QString LiveScreenText(const LivePupil& row) {
    if (row.screen.isEmpty()) return QStringLiteral("—");
    if (row.screen == QLatin1String("TForm1")) return QStringLiteral("メニュー");
    const std::optional<Topic> topic = row.topic ? TopicFromNumber(*row.topic) : std::nullopt;
    if (!topic) return QStringLiteral("ほかの画面");
    const QString name = QString::fromStdString(Describe(*topic).name);
    return row.work_id ? name + QStringLiteral("・かだい") : name;
}

QString StuckText(const LivePupil& row) {
    if (!row.stuck) return {};
    return row.stuck_why.isEmpty() ? QStringLiteral("つまずき")
                                   : QStringLiteral("つまずき（%1）").arg(row.stuck_why);
}

WorkTableModel::WorkTableModel(QObject* parent)
    : RowsModel({QStringLiteral("かだい"), QStringLiteral("なにを"), QStringLiteral("問題の数"),
                 QStringLiteral("きげん"), QStringLiteral("だれに"), QStringLiteral("とりけし")},
                parent) {}

QVariant WorkTableModel::data(const QModelIndex& index, int role) const {
    const WorkPiece* p = RowAt(index);
    if (!p) return {};
    if (role == Qt::ForegroundRole && p->withdrawn()) return QBrush(kWithdrawnColour);
    if (role == Qt::TextAlignmentRole && index.column() == ProblemsColumn)
        return int(Qt::AlignRight | Qt::AlignVCenter);
    // Long titles and skills are cut short in their columns: whole on hovering.
    if (role == Qt::ToolTipRole && (index.column() == TitleColumn || index.column() == WhatColumn ||
                                    index.column() == ForWhomColumn))
        return data(index, Qt::DisplayRole);
    if (role != Qt::DisplayRole) return {};
    switch (index.column()) {
        case TitleColumn: return p->title;
        case WhatColumn: return WhatText(*p);
        case ProblemsColumn: return p->problems;
        case DueColumn: return p->due_day.toString(QStringLiteral("yyyy-MM-dd"));
        case ForWhomColumn: return ForWhomText(*p);
        case WithdrawnColumn: return p->withdrawn() ? QStringLiteral("とりけし") : QString();
        default: return {};
    }
}

ProgressTableModel::ProgressTableModel(QObject* parent)
    : RowsModel({QStringLiteral("かだい"), QStringLiteral("名前"), QStringLiteral("すすみぐあい"),
                 QStringLiteral("正答率"), QStringLiteral("まちがいの種類")},
                parent) {}

QVariant ProgressTableModel::data(const QModelIndex& index, int role) const {
    const ProgressLine* l = RowAt(index);
    if (!l || role != Qt::DisplayRole) return {};
    switch (index.column()) {
        case TitleColumn: return l->title;
        case PupilColumn: return l->pupil;
        case ProgressColumn: return l->progress;
        case ShareColumn: return l->share;
        case KindsColumn: return l->kinds;
        default: return {};
    }
}

void LiveTableModel::Update(std::vector<LivePupil> rows) {
    const bool same_pupils =
        rows.size() == rows_.size() &&
        std::equal(rows.begin(), rows.end(), rows_.begin(),
                   [](const LivePupil& a, const LivePupil& b) { return a.pupil == b.pupil; });
    if (!same_pupils) {
        beginResetModel();
        rows_ = std::move(rows);
        endResetModel();
        return;
    }
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (SameShown(rows[i], rows_[i])) continue;
        rows_[i] = std::move(rows[i]);
        emit dataChanged(index(int(i), 0), index(int(i), kColumns - 1));
    }
}

int LiveTableModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : int(rows_.size()); }

int LiveTableModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kColumns; }

QVariant LiveTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= int(rows_.size())) return {};
    const LivePupil& r = rows_[index.row()];
    if (role == Qt::BackgroundRole) return r.stuck ? QVariant(QBrush(kStuckColour)) : QVariant();
    if (role == Qt::TextAlignmentRole && index.column() == AnswersColumn)
        return int(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole) return {};
    switch (index.column()) {
        case PupilColumn: return r.pupil;
        case ScreenColumn: return LiveScreenText(r);
        case AnswersColumn: return r.answers;
        case ShareColumn: return ShareRightText(r.answers, r.correct);
        case StuckColumn: return StuckText(r);
        default: return {};
    }
}

QVariant LiveTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
        case PupilColumn: return QStringLiteral("名前");
        case ScreenColumn: return QStringLiteral("いまの画面");
        case AnswersColumn: return QStringLiteral("10分の答え");
        case ShareColumn: return QStringLiteral("正答率");
        case StuckColumn: return QStringLiteral("つまずき");
        default: return {};
    }
}

}  // namespace sorelka
