#pragma once

#include <QDialog>

#include "core/app_context.h"
#include "widgets/practice_guide.h"

namespace sorelka {

class StatusClockBar;

// The name panel 0 shows: the recorder's pupil, or "ゲスト" without a record.
QString PupilShown(const AppContext& ctx);

// Base of the ten exercise screens: a fixed-size dialog that the main menu
// shows modally. FormCreate() is the show handler; it runs every time the
// screen is shown, so each visit starts afresh while ctx().state keeps the
// program-wide values.
class ExerciseScreen : public QDialog {
    Q_OBJECT
public:
    ExerciseScreen(AppContext& ctx, const QString& name, const QString& caption, QWidget* parent,
                   QSize size = QSize(955, 716));

    // Runs the show handler, then shows the screen modally until it closes.
    int ShowModal();
    // Runs the show handler and shows the screen without blocking (tests).
    void ShowModeless();

    AppContext& ctx() { return ctx_; }
    // Writes the current pupil into panel 0 of the screen's status bar.
    void ShowPupil();
    const AppContext& ctx() const { return ctx_; }

    // Recommended practice: `guide` picks the problems from the next showing
    // on, until the pupil chooses from the menu or SetGuide(nullptr).
    void SetGuide(PracticeGuide* guide) { guide_ = guide; }
    PracticeGuide* guide() const { return guide_; }

public slots:
    virtual void FormCreate() {}
    // Timer1: the time into the status bar.
    void ShowClock();

protected:
    // The status bar along the bottom, `height` pixels high (panel 0 the
    // pupil, panel 1 the clock), and the clock Timer1 ticking every second.
    void AddStatusBar(int height);
    // Panel 0 clicked: the pupil chooses who is answering.
    void ChoosePupil();
    // "目次": closes the screen; the main menu is active again.
    void ReturnToMenu();
    // "終る": asks `question`; unless the answer is No the program ends.
    void AskToQuit(const QString& question);
    void PlayCue(Cue cue) { ctx_.cues.PlayCue(cue); }
    // Tab in reading order, the focus on the first widget of it.
    void FocusFirst();
    // The guide's part in the screen's events; nothing without a guide.
    bool GuideNext() { return guide_ && guide_->Next(); }
    void GuideJudged(bool right) {
        if (guide_) guide_->Judged(right);
    }
    // The pupil's own menu choice: the screen works on its own again.
    void LeaveGuide();

private:
    AppContext& ctx_;
    PracticeGuide* guide_ = nullptr;
    StatusClockBar* status_ = nullptr;
};

}  // namespace sorelka
