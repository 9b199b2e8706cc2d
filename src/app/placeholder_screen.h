#pragma once

#include "widgets/exercise_screen.h"

class QLabel;

namespace sorelka {

// A screen whose exercise is not built yet: its title, a note, a working
// "目次" and "終る".
class PlaceholderScreen : public ExerciseScreen {
    Q_OBJECT
public:
    PlaceholderScreen(AppContext& ctx, const QString& name, const QString& caption,
                      const QString& title, QWidget* parent);

    void FormCreate() override;
    int times_shown() const { return times_shown_; }

public slots:
    void QuitPressed();
    void BackToMenuPressed();

private:
    QLabel* prompt_;
    int times_shown_ = 0;
};

}  // namespace sorelka
