#pragma once

#include <QDialog>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "app/recommended_practice.h"
#include "record/work_given.h"
#include "widgets/practice_guide.h"

class QLabel;
class QListWidget;

namespace sorelka {

struct AppContext;
class RecordedAnswers;
namespace record {
class LearningRecord;
}

// What a piece asks for, as the pupil reads it: "わり算　２けたでわる",
// "わり算　商に ０が たつ わり算", "おすすめ". `menu_text` gives a topic's
// practice menu item (empty when unknown).
QString WorkWhat(const record::WorkPiece& piece, const std::function<QString(Topic, int)>& menu_text);
// "３／１０" in full-width digits.
QString WorkCountText(int answered, int problems);
// One row of WorkList: title, what, due day, count, and "きげんが すぎているよ" past its day.
QString WorkRowText(const record::OpenPiece& open, const QString& what);

// The pieces open for the pupil (WorkList, one row a piece); a click, Return
// or Space chooses one and closes.
class WorkDialog : public QDialog {
    Q_OBJECT
public:
    WorkDialog(const std::vector<record::OpenPiece>& pieces, const std::function<QString(Topic, int)>& menu_text,
               QWidget* parent);
    // The piece chosen; none when the dialog was closed.
    std::optional<record::OpenPiece> chosen() const { return chosen_; }

private:
    std::vector<record::OpenPiece> pieces_;
    std::optional<record::OpenPiece> chosen_;
    QListWidget* list_ = nullptr;
};

// One piece worked on a topic's practice screen: its problems drawn for its
// menu item or skill (or by the screen's recommended practice for
// "おすすめ"), the count WorkCount on the screen, the title on the prompt
// line at the start, "かだい おわり！" at the count.
class WorkGuide final : public PracticeGuide {
public:
    WorkGuide(AppContext& ctx, record::WorkPiece piece, int answered, Topic topic,
              RecommendedPractice::ShowProblem show, RecommendedPractice* recommended, QLabel* count,
              QLabel* prompt);

    void Begin() override;
    bool Next() override;
    void Judged(bool right) override;
    void Left() override;

    // An answer for the piece was recorded; true while the piece still wants more.
    bool Answered();
    // The piece can no longer be worked (withdrawn, the pupil left out): the
    // count goes; problems still come.
    void Stop();
    const record::WorkPiece& piece() const { return piece_; }
    int answered() const { return answered_; }
    bool finished() const { return answered_ >= piece_.problems; }
    // Called when the guide lets go (the pupil's own menu choice, the screen left).
    std::function<void()> on_left;

private:
    void ShowCount();

    AppContext& ctx_;
    record::WorkPiece piece_;
    int answered_;
    Topic topic_;
    RecommendedPractice::ShowProblem show_;
    RecommendedPractice* recommended_;
    QLabel* count_;
    QLabel* prompt_;
    bool told_done_ = false;
    bool stopped_ = false;
};

// The main menu's "かだい": the open list for the chosen pupil, the dialog,
// and the run of a chosen piece on its topic's practice screen.
class WorkRunner : public QObject {
    Q_OBJECT
public:
    WorkRunner(AppContext& ctx, record::LearningRecord& record, RecordedAnswers& answers,
               RecommendedScreens& screens, QObject* parent = nullptr);
    ~WorkRunner() override;

    // The pieces open for the pupil chosen now.
    std::vector<record::OpenPiece> OpenPieces();
    // "かだい": the dialog over `over`, then the chosen piece's run until its screen closes.
    void OpenDialog(QWidget* over);
    // Runs `open` on its topic's practice screen until the screen closes.
    void Run(const record::OpenPiece& open);
    // The list in the file changed (a fetch), or the pupil did: a running
    // piece that is no longer the pupil's ends, and the pupil is told.
    void ListChanged();
    // The piece being worked; none between runs.
    std::optional<qint64> running() const;
    // A practice menu item's text, from the topic's practice screen.
    QString MenuText(Topic topic, int menu_choice) const;

private:
    QLabel* CountLabelOn(ExerciseScreen* screen);
    void EndRun();

    AppContext& ctx_;
    record::LearningRecord& record_;
    RecordedAnswers& answers_;
    RecommendedScreens& screens_;
    std::unique_ptr<WorkGuide> guide_;
    QString run_pupil_;
    QPointer<QLabel> narrowed_focus_;
    QRect focus_place_;
};

// What the pupil is told when the piece being worked was withdrawn or no
// longer names them.
inline constexpr const char* kWorkWithdrawnSentence =
    "この かだいは 先生が とりけしたよ。こたえは のこっているよ。";

}  // namespace sorelka
