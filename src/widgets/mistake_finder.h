#pragma once

#include <QObject>
#include <QPushButton>
#include <QRect>
#include <QStringList>
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "core/app_context.h"
#include "core/diagnosis_note.h"
#include "core/learning_recorder.h"
#include "core/worked_example.h"
#include "core/worksheet.h"
#include "widgets/worked_example_player.h"
#include "widgets/worksheet_view.h"

class QLabel;
class QWidget;

namespace sorelka {

class CuteButton;
class DiagnosisPanel;

// The prompt of a find-the-mistake example.
inline constexpr const char* kFindTheMistakePrompt = "どこが ちがうかな？ まちがえた ところを クリックしてね！";

// Where a role of the work stands on `screen` as it shows now: the
// widget's written digits, or the one digit counted from the left; empty
// where it shows nothing. (A digit counted from the decimal point is the
// decimal screens' to find.)
QRect RoleRect(const QWidget* screen, const RoleCell& cell);
// RoleRect, but empty where the role's widget is a label showing no text and
// no picture: a frame on the right work marks only what is written there
// (the rules worksheet clears a calculation once its result is handed on).
QRect WrittenRoleRect(const QWidget* screen, const RoleCell& cell);
// What a role of the work is called on `screen` as it shows now: the
// spoken role of its widget ("さいしょの かけ算"), for one digit with its place
// ("商の 十の位", "答えの 小数第一位").
QString RolePlaceName(const QWidget* screen, const RoleCell& cell);

// A find-the-mistake example as a screen shows it.
struct MistakeShown {
    Worksheet sheet;
    // The places holding work, in writing order, and which of them is the
    // one where the work first goes wrong.
    std::vector<RoleCell> places;
    std::size_t wrong = 0;
    // Every place that finds the mistake (the judge's yes), `wrong` among
    // them: the frame marks them all once the pupil has answered.
    std::vector<std::size_t> accepted;
    std::function<bool(std::size_t)> judge;
    // Where a place stands on the screen once `sheet` shows.
    std::function<QRect(const RoleCell&)> rect;
    // The topic's layout table, for a sheet keyed by role (the places then
    // name roles too); none for a sheet keyed by object name.
    SheetLayout layout;
    // The explanation of the mistake and the label of its kind.
    DiagnosisNote note;
    // The history row, all but the verdict: topic, menu choice, problem,
    // the worked rows and the finding.
    JudgedAnswer answer;
};

// A topic's example as the screen shows it; `cell` is the topic's role table.
template <class Problem, class Input, class Role>
MistakeShown MistakeShownOf(const MistakeExample<Problem, Input, Role>& example,
                            const std::function<RoleCell(const Role&)>& cell) {
    MistakeShown shown;
    shown.sheet = example.sheet();
    for (std::size_t i = 0; i < example.places.size(); ++i) {
        shown.places.push_back(cell(example.places[i]));
        if (example.places[i] == example.wrong) shown.wrong = i;
        if (example.Judge(example.places[i]) || example.places[i] == example.wrong) shown.accepted.push_back(i);
    }
    shown.judge = [example](std::size_t i) {
        return i < example.places.size() && example.Judge(example.places[i]);
    };
    shown.note.finding = example.finding;
    shown.answer.menu_choice = example.menu_choice;
    shown.answer.worked_rows = WorkedRowsOf(example.sheet());
    shown.answer.finding = example.finding;
    return shown;
}

// One place of the work a pupil may point at: a button without a face over
// the cell, column or slot, framed while it has the keyboard's focus or the
// mouse over it; its accessible name says what it is and what it shows.
class MistakePlace : public QPushButton {
    Q_OBJECT
public:
    MistakePlace(std::size_t index, const QString& name, QWidget* parent);
    std::size_t index() const { return index_; }

protected:
    void paintEvent(QPaintEvent*) override;
    // Enter and Return point at the place, as Space does.
    void keyPressEvent(QKeyEvent* event) override;

private:
    std::size_t index_;
};

// "まちがいさがし" on a practice screen: the button FindTheMistake shows an
// example of the chosen menu item fully worked with one mistake, and the
// pupil points at the place where the work first goes wrong (a click, or
// Tab to the place and Enter). Right: "○", the right cue and the
// explanation of the kind; wrong: "×"; either way the frame shows where
// the mistake was (every place of the wrong step). Each example's first
// answer is a history row in mode find_mistake. While an example shows, the
// row markers hide (a finished example has no row being written) and the
// entry lists show no choice (see HeldChoices).
class MistakeFinder : public QObject {
    Q_OBJECT
public:
    // `place`: where the button stands on `screen`; `kept`: the screen's own
    // widgets (prompt, mark, problem line, menu) the example's sheet leaves alone;
    // `go_on`: the prompt once the example is answered.
    MistakeFinder(AppContext& ctx, QWidget* screen, const QRect& place, QLabel* prompt, QLabel* mark,
                  DiagnosisPanel* panel, QStringList kept, std::string go_on);

    // Shows `example`: its worksheet (entry lists as they are), the prompt,
    // the places to point at. Its problem is timed from now.
    void Show(MistakeShown example);
    // Back to ordinary practice: the places go, the mark and the panel hide,
    // the lists show their choices again. The screen then shows its own
    // worksheet again.
    void Leave();

    bool active() const { return active_; }
    // The example has had its answer.
    bool answered() const { return answered_; }
    const std::vector<MistakePlace*>& places() const { return places_; }
    // The example shown last.
    const MistakeShown& example() const { return example_; }
    CuteButton* button() const { return button_; }

public slots:
    // The pupil points at place `index` (of the example's places).
    void Point(std::size_t index);

signals:
    // "まちがいさがし" pressed: the screen answers with Show() (or a prompt
    // to choose from the menu first).
    void requested();

private:
    void ClearPlaces();

    AppContext& ctx_;
    QWidget* screen_;
    QLabel* prompt_;
    QLabel* mark_;
    DiagnosisPanel* panel_;
    QStringList kept_;
    std::string go_on_;
    CuteButton* button_;
    MistakeShown example_;
    std::vector<QString> names_;  // of the example's places, as they show
    std::vector<MistakePlace*> places_;
    ProblemWatch watch_;
    HeldChoices lists_;
    bool active_ = false;
    bool answered_ = false;
};

}  // namespace sorelka
