#include "widgets/exercise_screen.h"

#include "widgets/look.h"

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

int ExerciseScreen::ShowModal() {
    FormCreate();
    return exec();
}

void ExerciseScreen::ShowModeless() {
    FormCreate();
    show();
}

void ExerciseScreen::ReturnToMenu() { accept(); }

void ExerciseScreen::AskToQuit(const QString& question) {
    ConfirmQuit(ctx_, question.toStdString());
}

}  // namespace sorelka
