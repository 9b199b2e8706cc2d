#pragma once

#include <QDialog>

#include "core/app_context.h"

namespace sorelka {

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

public slots:
    virtual void FormCreate() {}

protected:
    // Panel 0 clicked: the pupil chooses who is answering.
    void ChoosePupil();
    // "目次": closes the screen; the main menu is active again.
    void ReturnToMenu();
    // "終る": asks `question`; unless the answer is No the program ends.
    void AskToQuit(const QString& question);
    void PlayCue(unsigned n) { ctx_.cues.PlayCue(n); }
    // Tab in reading order, the focus on the first widget of it.
    void FocusFirst();

private:
    AppContext& ctx_;
};

}  // namespace sorelka
