#pragma once

#include <QAbstractTableModel>
#include <QDate>
#include <QString>
#include <vector>

#include "app/teacher/teacher_models.h"
#include "app/teacher/work_source.h"

// What the "かだい" and "いまの ようす" tabs show, as text: plain functions
// the tests drive directly, and the tables' models over them.
namespace sorelka {

// One thing a piece can ask to practise, as the form offers it: a topic's
// practice menu item, one skill, or "おすすめ".
struct WhatChoice {
    std::optional<Topic> topic;
    int menu_choice = 0;
    QString skill;
    bool recommended = false;
    QString label;  // "わり算：１けたでわる", "技能：商の途中に0がたつ", "おすすめ"
};
// Every choice: each topic's menu items in the menu's order, then each
// topic's skills, then おすすめ.
const std::vector<WhatChoice>& WhatChoices();
// The index in WhatChoices of what `piece` practises; -1 when none matches
// (a topic or skill this program does not know).
int WhatIndex(const WorkPiece& piece);
// `piece` set to practise `choice` (the rest kept).
void SetWhat(WorkPiece& piece, const WhatChoice& choice);
// What `piece` practises, for the table: the choice's label, or the ids as
// the server has them.
QString WhatText(const WorkPiece& piece);
// Who `piece` is for: "クラス全員" or the names.
QString ForWhomText(const WorkPiece& piece);

// Why the form's piece cannot be made or changed, one Japanese sentence;
// empty when it can. Unless it is for the whole class, it names its
// pupils; a new piece's due day may not be before `today`.
QString WorkFormProblem(const WorkPiece& piece, bool whole_class, bool is_new, QDate today);

// "まだ", "とちゅう（３／１０）", "おわり".
QString ProgressText(int answered, int problems);
// "正答率 80%"; empty without answers.
QString ShareRightText(int answered, int correct);
// The kinds of mistake (ids) as their labels, "、" between: the topic's own
// table first, then any topic's; an unknown id as it is.
QString KindLabelsText(const QStringList& kinds, std::optional<Topic> topic);

// One line of WorkProgress: a piece and one pupil it is for.
struct ProgressLine {
    qint64 work_id = 0;
    QString title;
    QString pupil;
    QString progress;  // ProgressText
    QString share;     // ShareRightText
    QString kinds;     // KindLabelsText
};
// The lines of `rows`, in the pieces' order (newest first) and then the rows'
// order; rows of a piece not listed (withdrawn meanwhile) left out.
std::vector<ProgressLine> ProgressLines(const std::vector<WorkPiece>& pieces,
                                        const std::vector<WorkProgressRow>& rows);
// WorkProgress's lines as a CSV file (UTF-8 with a byte-order mark, CRLF), as
// the other exports; false with a Japanese reason.
bool WriteProgressCsv(const std::vector<ProgressLine>& lines, const QString& path, QString* error);

// The screen a pupil is on now: "—" when not on, "メニュー" for the main
// menu, the topic's name (and "・かだい" for a piece of work) on a topic's
// screen, "ほかの画面" on any other.
QString LiveScreenText(const LivePupil& row);
// "つまずき（３問中２問まちがい）"; empty when not stuck.
QString StuckText(const LivePupil& row);

// The class's pieces (WorkTable).
class WorkTableModel : public RowsModel<WorkPiece> {
public:
    enum Column { TitleColumn, WhatColumn, ProblemsColumn, DueColumn, ForWhomColumn, WithdrawnColumn };
    explicit WorkTableModel(QObject* parent);
    QVariant data(const QModelIndex& index, int role) const override;
};

// Progress per piece and pupil (WorkProgress).
class ProgressTableModel : public RowsModel<ProgressLine> {
public:
    enum Column { TitleColumn, PupilColumn, ProgressColumn, ShareColumn, KindsColumn };
    explicit ProgressTableModel(QObject* parent);
    QVariant data(const QModelIndex& index, int role) const override;
};

// The class now (LiveTable), one row per pupil. Update changes the rows in
// place: a row that changed reports dataChanged, one that did not reports
// nothing, and the model is reset only when the pupils themselves changed.
class LiveTableModel : public QAbstractTableModel {
public:
    enum Column { PupilColumn, ScreenColumn, AnswersColumn, ShareColumn, StuckColumn, kColumns };
    explicit LiveTableModel(QObject* parent) : QAbstractTableModel(parent) {}
    void Update(std::vector<LivePupil> rows);
    const std::vector<LivePupil>& rows() const { return rows_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    std::vector<LivePupil> rows_;
};

}  // namespace sorelka
