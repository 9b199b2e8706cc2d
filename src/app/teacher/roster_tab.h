#pragma once

#include <functional>

#include "app/teacher/teacher_tab.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;

namespace sorelka {
class UnmatchedPanel;
}

namespace sorelka {

struct AppContext;
namespace record {
class LearningRecord;
}
namespace sync {
class TeacherSession;
}

// The roster of this PC's record by class: the classes (ClassList; add,
// rename or remove one named in ClassName; ThisPcClass sets the class this
// PC is in, or none for a computer room) and the pupils of the class chosen
// (RosterList, archived names marked): add a name typed in RosterName,
// rename, archive or bring back, move to the class chosen in MoveToClass,
// and delete with the answers that go with it named first. What happened
// is said in RosterMessage, a name always as typed. With a teacher signed
// in to the school's server, adding, renaming, archiving, moving and deleting
// pupils and renaming classes are done there too (for every PC's rows), and
// first but for adding; the pupils PCs sent that the server's list of the
// class does not hold are shown below (UnmatchedPanel) to attach or drop.
class RosterTab : public TeacherTab {
    Q_OBJECT
public:
    RosterTab(record::LearningRecord& record, AppContext& ctx, QWidget* parent);
    QString Title() const override { return QStringLiteral("名簿"); }
    void Show(const ClassView& view) override;

public slots:
    void AddPupil();
    void RenamePupil();
    void ArchivePupil();
    void DeletePupil();
    void MovePupil();
    void AddClass();
    void RenameClass();
    void RemoveClass();
    void SetThisPcClass();

    // Roster changes reach the server through `session` too (null: this PC only).
    void UseServer(sync::TeacherSession* session);

private:
    QString ChosenName() const;
    QString ChosenClass() const;
    void ShowClasses();
    void Say(const QString& message);
    // Runs `change` on the server when signed in; false (with the reason
    // said) when the server refused, so this PC's record stays as it is.
    bool OnServer(const std::function<QString(sync::TeacherSession&)>& change);

    record::LearningRecord& record_;
    AppContext& ctx_;
    sync::TeacherSession* session_ = nullptr;
    QListWidget* classes_ = nullptr;
    QLineEdit* class_name_ = nullptr;
    QComboBox* this_pc_ = nullptr;
    QComboBox* move_to_ = nullptr;
    QListWidget* roster_ = nullptr;
    QLineEdit* name_ = nullptr;
    QLabel* message_ = nullptr;
    UnmatchedPanel* unmatched_ = nullptr;
};

}  // namespace sorelka
