#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;

namespace sorelka {

namespace report {
class TeacherPin;
}

// PinDialog: the PIN in front of the teacher's view. On first use (no PIN
// anywhere and no pupil yet) the PIN is set, typed twice (PinEdit,
// PinAgainEdit); after that it is asked once. "ひらく" (PinOkButton)
// accepts the dialog only for the right PIN; why not is told in
// PinMessage. Where only the administrator can set the PIN, the dialog says
// so and takes nothing.
class PinDialog : public QDialog {
    Q_OBJECT
public:
    PinDialog(report::TeacherPin& pin, QWidget* parent);

public slots:
    void Submit();

private:
    void ShowMode();

    report::TeacherPin& pin_;
    QLabel* prompt_ = nullptr;
    QLineEdit* edit_ = nullptr;
    QLabel* again_label_ = nullptr;
    QLineEdit* again_ = nullptr;
    QLabel* message_ = nullptr;
    QWidget* ok_ = nullptr;
};

}  // namespace sorelka
