#pragma once

#include <QGroupBox>
#include <vector>

#include "sync/teacher_session.h"

class QComboBox;
class QLabel;
class QListWidget;

namespace sorelka {

// The pupils PCs sent for a class that the school's list does not hold
// (UnmatchedList: the name, which PC, how many answers, first and last day).
// The teacher attaches the one chosen to a listed pupil chosen in AttachTo
// ("つなぐ", AttachButton), so its answers count for them, or drops it
// ("すてる", DropButton), so they count for nobody. Said in
// UnmatchedMessage. Shown only while signed in to the server.
class UnmatchedPanel : public QGroupBox {
    Q_OBJECT
public:
    explicit UnmatchedPanel(QWidget* parent);
    void UseServer(sync::TeacherSession* session);
    // Reads the class's unmatched pupils and listed pupils from the server.
    void ShowClass(const QString& class_name);

signals:
    // Answers now count differently: the view reads the class again.
    void changed();

private:
    void Attach();
    void Drop();
    const sync::UnmatchedPupil* Chosen() const;
    void Done(const QString& refusal, const QString& said);

    sync::TeacherSession* session_ = nullptr;
    QString class_;
    std::vector<sync::UnmatchedPupil> rows_;
    QListWidget* list_ = nullptr;
    QComboBox* attach_to_ = nullptr;
    QLabel* message_ = nullptr;
};

}  // namespace sorelka
