#pragma once

#include "app/teacher_tab.h"

class QLabel;
class QLineEdit;
class QListWidget;

namespace sorelka {

struct AppContext;
namespace record {
class LearningRecord;
}

// The roster of this PC's record (RosterList, archived names marked): add a
// name typed in RosterName, rename, archive or bring back, and delete with
// the answers that go with it named first. What happened is said in
// RosterMessage, a name always as typed.
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

private:
    QString ChosenName() const;
    void Say(const QString& message);

    record::LearningRecord& record_;
    AppContext& ctx_;
    QListWidget* roster_ = nullptr;
    QLineEdit* name_ = nullptr;
    QLabel* message_ = nullptr;
};

}  // namespace sorelka
