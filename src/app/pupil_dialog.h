#pragma once

#include <QDialog>

class QGridLayout;
class QLabel;
class QLineEdit;
class QWidget;

namespace sorelka {

namespace record {
class LearningRecord;
}

// PupilDialog: who is answering. One large button per name of the roster
// (PupilButton1, PupilButton2, … in roster order) and "ゲスト" (GuestButton);
// a click chooses and closes. Below them a name can be added (NewPupilName,
// AddPupilButton); a refused name is explained in PupilMessage.
class PupilDialog : public QDialog {
    Q_OBJECT
public:
    PupilDialog(record::LearningRecord& record, QWidget* parent);

public slots:
    void AddPupil();
    void Choose(const QString& name);

private:
    void BuildNameButtons();

    record::LearningRecord& record_;
    QWidget* names_ = nullptr;
    QGridLayout* grid_ = nullptr;
    QLineEdit* new_name_ = nullptr;
    QWidget* add_ = nullptr;
    QLabel* message_ = nullptr;
};

}  // namespace sorelka
