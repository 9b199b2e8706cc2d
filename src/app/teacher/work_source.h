#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <vector>

#include "core/topic.h"

namespace sorelka {

namespace sync {
class TeacherSession;
}

// One piece of work a teacher gives a class (the server's work_pieces row
// with its pupils). What to practise is exactly one of a topic's menu item,
// one skill, or "おすすめ" (each pupil's own weakest skills).
struct WorkPiece {
    qint64 id = 0;  // 0 before the server made it
    QString title;
    std::optional<Topic> topic;  // with menu_choice (1 …)
    int menu_choice = 0;
    QString skill;  // a skill id ("division.zero_in_quotient")
    bool recommended = false;
    int problems = 10;  // 1 … 100
    QDate due;
    QStringList pupils;  // by name in the class; empty: the whole class
    QDateTime made_at;
    bool withdrawn = false;
};

// How far one pupil is with one piece (sorelka_work_progress): answers given
// for it, the right ones, and the kinds of mistake met (ids, most frequent
// first, comma-separated).
struct WorkProgressRow {
    qint64 work_id = 0;
    QString pupil;
    int answered = 0;
    int correct = 0;
    QString kinds;
};

// What one pupil of the class is doing now (sorelka_live): the screen of
// the pupil's newest signal (empty: not on), its topic and item, and the
// answers of the last ten minutes; `stuck` with the server's reason.
struct LiveRow {
    QString pupil;
    QString screen;  // a form's object name ("TForm3"; "TForm1" the menu)
    std::optional<int> topic;
    int menu_choice = 0;
    qint64 work_id = 0;
    int answers = 0;
    int correct = 0;
    bool stuck = false;
    QString stuck_why;
    bool operator==(const LiveRow&) const = default;
};

// The work a teacher gives, as the "かだい" tab reaches it: on the school's
// server through the teacher's session, or a fake in tests. Each change
// returns the server's reason in Japanese, empty when done.
class WorkSource {
public:
    virtual ~WorkSource() = default;
    virtual QString Make(const QString& class_name, const WorkPiece& piece, qint64* id) = 0;
    virtual QString Change(const WorkPiece& piece) = 0;
    virtual QString Withdraw(qint64 id) = 0;
    // The class's pieces, newest first, withdrawn ones included; the reason
    // in `problem` (and nothing) when the server refused.
    virtual std::vector<WorkPiece> List(const QString& class_name, QString* problem) = 0;
    // One row per piece not withdrawn and pupil it is for.
    virtual std::vector<WorkProgressRow> Progress(const QString& class_name, QString* problem) = 0;
};

// The class now, as the "いまの ようす" tab reads it. Read on a thread of
// its own: a source is made for the tab and used only there.
class LiveSource {
public:
    virtual ~LiveSource() = default;
    virtual std::vector<LiveRow> Live(const QString& class_name, QString* problem) = 0;
};

// The real sources on the school's server: the work through the teacher's
// session (`session` outlives the source); the live class through a second
// connection of the same teacher, opened at the first reading, on the
// reading thread, so the window never waits for it.
std::unique_ptr<WorkSource> ServerWork(sync::TeacherSession& session);
std::unique_ptr<LiveSource> ServerLive(const sync::TeacherSession& session);

}  // namespace sorelka
