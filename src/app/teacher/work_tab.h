#pragma once

#include <functional>
#include <vector>

#include "app/teacher/teacher_tab.h"
#include "app/teacher/work_models.h"

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QListWidget;
class QSpinBox;
class QTableView;

namespace sorelka {

struct AppContext;

// "かだい": the work given to the class on the school's server. WorkTable
// lists the class's pieces (withdrawn ones greyed); choosing one puts it in
// the form (WorkTitle, WorkWhat, WorkProblems, WorkDue, WorkWholeClass or the
// pupils ticked in WorkPupils). WorkMakeButton makes a new piece of the form,
// WorkChangeButton changes the chosen one, WorkWithdrawButton withdraws it
// after asking; a refusal (the form's or the server's) is said in
// WorkMessage. WorkProgress shows each piece and pupil: "まだ",
// "とちゅう（３／１０）" or "おわり", the share right and the kinds of mistake
// met; WorkCsvButton writes it. Shown only while signed in (UseServer).
class WorkTab : public TeacherTab {
    Q_OBJECT
public:
    WorkTab(AppContext& ctx, QString record_path, QWidget* parent);
    QString Title() const override { return QStringLiteral("かだい"); }
    void Show(const ClassView& view) override;

    // The class's work through `source` (null: none; the tab then shows
    // nothing), read when the tab is shown next.
    void UseServer(WorkSource* source, const QString& class_name);

    // Where the progress file goes (empty: the teacher gave up).
    std::function<QString(const QString& suggested)> ask_save_path;

public slots:
    void MakePiece();
    void ChangePiece();
    void WithdrawPiece();
    void ExportProgress();
    // Reads the class's pieces and progress again.
    void Reload();

private:
    // The piece the form describes (id and made_at of the one chosen).
    WorkPiece FormPiece() const;
    void ShowPiece(const WorkPiece& piece);
    const WorkPiece* ChosenPiece() const;
    void ChoosePiece(qint64 id);
    void ShowPupils(const QStringList& pupils);
    void Say(const QString& message);

    AppContext& ctx_;
    QString record_path_;
    WorkSource* source_ = nullptr;
    QString class_name_;
    QDate today_;
    std::vector<ProgressLine> progress_lines_;
    WorkTableModel* pieces_ = nullptr;
    ProgressTableModel* progress_ = nullptr;
    QTableView* piece_table_ = nullptr;
    QTableView* progress_table_ = nullptr;
    QLineEdit* title_ = nullptr;
    QComboBox* what_ = nullptr;
    QSpinBox* problems_ = nullptr;
    QDateEdit* due_ = nullptr;
    QCheckBox* whole_class_ = nullptr;
    QListWidget* pupils_ = nullptr;
    QLabel* message_ = nullptr;
};

}  // namespace sorelka
