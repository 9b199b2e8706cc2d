#pragma once

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QStringList>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/worked_example.h"
#include "core/worksheet.h"
#include "widgets/worksheet_view.h"

class QLabel;
class QTimer;
class QWidget;

namespace sorelka {

class ChoiceList;
class CuteButton;
class DiagnosisPanel;

// The right work of a practice screen's problem, as the screen replays it:
// the worksheets its topic's step machine left after each step, and what
// each step does in the pupil's words.
struct Replay {
    struct Step {
        Worksheet sheet;
        std::string line;
    };
    Worksheet start;
    std::string opening;
    std::vector<Step> steps;
    // The step that writes the cell where the pupil's own work first went
    // wrong; none when nothing is to be marked.
    std::optional<std::size_t> wrong_step;
    // Where that cell stands on the screen as it shows now; an empty
    // rectangle where it shows nothing.
    std::function<QRect()> wrong_cell;
    // The topic's layout table, for sheets keyed by role; none for sheets
    // keyed by object name.
    SheetLayout layout;
};

// A topic's worked example as a Replay: `wrong_step` from the topic's
// FirstWrongStep, and `rect` where a role stands on the screen.
template <class Input, class Role>
Replay ReplayOf(const WorkedExample<Input, Role>& example, std::optional<std::size_t> wrong_step,
                std::function<QRect(const Role&)> rect) {
    Replay replay{.start = example.start, .opening = example.opening};
    for (const auto& step : example.steps) replay.steps.push_back({step.sheet, step.line});
    if (wrong_step && *wrong_step < example.steps.size())
        if (const std::optional<Role>& role = example.steps[*wrong_step].role) {
            replay.wrong_step = wrong_step;
            replay.wrong_cell = [rect = std::move(rect), role = *role] { return rect(role); };
        }
    return replay;
}

// `text` as `label` shows it: on one line where it fits, else broken at its
// spaces (never inside a word) into as few lines as fit.
QString FittedText(const QLabel* label, const QString& text);

// Copies the cells of `sheet` onto the children of `root` as ApplyWorksheet
// does (through `layout` where the sheet is keyed by role), leaving alone the
// widgets named in `kept` and, unless `with_lists`, every entry list.
void ApplyWorksheetExcept(QWidget* root, const Worksheet& sheet, const QStringList& kept, bool with_lists,
                          const SheetLayout& layout = {});

// The choices of a screen's entry lists while an example shows: no choice of
// the pupil's own work may stand beside the example's. Hold() clears every
// list on `screen` but those named in `kept` (the screen's own, such as its
// menu), each showing its heading, without reporting anything; GiveBack()
// shows each list's choice again, unless the pupil chose on it meanwhile.
class HeldChoices {
public:
    void Hold(QWidget* screen, const QStringList& kept);
    void GiveBack();

private:
    bool holding_ = false;
    std::vector<std::pair<QPointer<ChoiceList>, int>> held_;
};

// "お手本" on a practice screen: after "×" the button WorkedExample; pressed,
// it replays the right work of the problem on the screen's worksheet, one
// step at a time, each step's line on the prompt line and announced. The
// steps go on by themselves every 1.5 s (the timer WorkedExampleTimer) until
// the pupil presses "つぎ" (WorkedExampleNext, where "お手本" stands); from
// then on only "つぎ" moves. From the step where the pupil's own work first
// went wrong, that cell is framed (DiagnosisMarker) with "ここが ちがったよ"
// in the diagnosis panel. The replay shows worksheets only: the pupil's own
// model is untouched, so nothing is recorded or counted, and the screen
// shows its model again when the replay stops. While it shows, the pupil's
// own "×" and list choices give way to the right work (see HeldChoices).
class WorkedExamplePlayer : public QObject {
    Q_OBJECT
public:
    static constexpr int kStepMilliseconds = 1500;

    // `place`: where both buttons stand on `screen`. `kept`: the screen's
    // own widgets (prompt, mark, problem line, menu) the replayed sheets
    // leave alone; of them the verdict cell (SetVerdictCell) is the mark.
    WorkedExamplePlayer(QWidget* screen, const QRect& place, QLabel* prompt, DiagnosisPanel* panel,
                        QStringList kept);

    // "お手本" is offered (after "×") or not; withdrawn, a replay stops.
    void Offer(bool offered);
    // Shows `replay` from its start; the steps follow by the timer.
    void Play(Replay replay);
    // Leaves the replay: the timer stops, "つぎ" and the frame hide, the
    // pupil's "×" and list choices show again. The screen then shows its
    // own worksheet again.
    void Stop();

    // A replay is on the worksheet (running or at its end).
    bool showing() const { return showing_; }
    // Steps shown so far (0: the start).
    std::size_t shown_steps() const { return shown_; }
    bool at_end() const { return showing_ && shown_ == replay_.steps.size(); }
    QTimer* timer() const { return timer_; }

public slots:
    // "つぎ": one step; the timer stops for good.
    void Next();
    // The timer: one step.
    void Tick();

signals:
    // "お手本" pressed: the screen answers with Play().
    void requested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Advance();
    void ShowMark();
    // Which button shows: お手本 while offered and not mid-replay, つぎ mid-replay.
    void ShowButtons();

    QWidget* screen_;
    QLabel* prompt_;
    DiagnosisPanel* panel_;
    QStringList kept_;
    CuteButton* example_;
    CuteButton* next_;
    QTimer* timer_;
    Replay replay_;
    QLabel* mark_ = nullptr;  // the screen's "○"/"×"
    QString saved_prompt_;    // what the prompt said before the replay
    QString saved_mark_;      // and the mark
    HeldChoices lists_;
    bool offered_ = false;
    bool showing_ = false;
    std::size_t shown_ = 0;
};

}  // namespace sorelka
