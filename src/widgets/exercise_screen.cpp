#include "widgets/exercise_screen.h"

#include <QTimer>
#include <utility>

#include "widgets/accessibility.h"
#include "widgets/look.h"
#include "widgets/status_clock.h"

namespace sorelka {

ExerciseScreen::ExerciseScreen(AppContext& ctx, const QString& name, const QString& caption,
                               QWidget* parent, QSize size)
    : QDialog(parent), ctx_(ctx) {
    setObjectName(name);
    setWindowTitle(caption);
    setFixedSize(size);
    setModal(true);
    setFont(SchoolFont(16));
    SetBackground(this, kMenuBackground);
}

void ExerciseScreen::AddStatusBar(int height) {
    status_ = new StatusClockBar(this);
    status_->setGeometry(0, this->height() - height, width(), height);
    auto* clock = new QTimer(this);
    clock->setObjectName(QStringLiteral("Timer1"));
    clock->setInterval(1000);
    connect(clock, &QTimer::timeout, this, &ExerciseScreen::ShowClock);
    clock->start();
}

void ExerciseScreen::ShowClock() {
    if (status_) status_->ShowClock(ctx_.clock);
}

QString PupilShown(const AppContext& ctx) {
    return ctx.recorder ? QString::fromStdString(ctx.recorder->PupilName()) : QStringLiteral("ゲスト");
}

void ExerciseScreen::ShowPupil() {
    for (StatusClockBar* bar : findChildren<StatusClockBar*>()) {
        connect(bar, &StatusClockBar::pupilPanelClicked, this, &ExerciseScreen::ChoosePupil,
                Qt::UniqueConnection);
        bar->ShowPupil(PupilShown(ctx_));
    }
}

void ExerciseScreen::ChoosePupil() {
    if (ctx_.choose_pupil) ctx_.choose_pupil();
    ShowPupil();
}

int ExerciseScreen::ShowModal() {
    FormCreate();
    ShowPupil();
    FocusFirst();
    if (guide_) guide_->Begin();
    return exec();
}

void ExerciseScreen::ShowModeless() {
    FormCreate();
    ShowPupil();
    FocusFirst();
    if (guide_) guide_->Begin();
    show();
}

void ExerciseScreen::LeaveGuide() {
    if (PracticeGuide* left = std::exchange(guide_, nullptr)) left->Left();
}

void ExerciseScreen::FocusFirst() {
    // Every visit starts from the top of the screen, whatever had the focus
    // when it was left.
    if (QWidget* first = SetReadingTabOrder(this)) first->setFocus(Qt::ActiveWindowFocusReason);
}

void ExerciseScreen::ReturnToMenu() { accept(); }

void ExerciseScreen::AskToQuit(const QString& question) {
    ConfirmQuit(ctx_, question.toStdString());
}

}  // namespace sorelka
