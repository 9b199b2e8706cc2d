#pragma once

#include <QMetaObject>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

#include "app/teacher/class_data.h"
#include "app/teacher/teacher_tab.h"
#include "app/teacher/weekly_chart.h"
#include "app/teacher/work_source.h"
#include "core/app_context.h"
#include "report/report_data.h"

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QPushButton;
class QTabWidget;

namespace sorelka {

namespace record {
class LearningRecord;
}
namespace sync {
class ClassSync;
class TeacherSession;
}
class LiveTab;
class PupilTab;
class RosterTab;
class WorkTab;

// TeacherWindow: the teacher's view. A filter bar (ClassChoice once signed
// in, FromCheck/FromDate, ToCheck/ToDate, TopicFilter; CsvButton and
// PdfButton write what is on screen), the tabs (TeacherTabs: ClassTab,
// PupilTab, RosterTab, MasteryTab, BackupsTab, and while signed in WorkTab
// and LiveTab, each a TeacherTab) and the source line
// (ClassServerStatus, ClassServerReload).
//
// Opened behind the PIN it shows this PC's own record. Signed in to the
// school's server (SignIn) it shows one class granted to the teacher,
// chosen in ClassChoice, counted on the server: the class and one-pupil
// tabs and the exports read only what they show, and the roster's renames,
// moves and deletions reach the server too. ClassServerStatus says which,
// with this PC's sync status when a server is configured.
class TeacherWindow : public QWidget {
    Q_OBJECT
public:
    TeacherWindow(record::LearningRecord& record, AppContext& ctx, QWidget* parent);
    ~TeacherWindow() override;

    // Where an export goes: a save dialog in the program, a path in tests
    // (empty: the teacher gave up).
    std::function<QString(const QString& suggested)> ask_save_path;

    // The answers the exports cover now: the filter bar's, narrowed by the
    // tab on screen (the one-pupil tab: that pupil).
    report::ReportFilter CurrentFilter() const;

    // Shows what the school's server has of this PC's record (when it was
    // last sent, how many answers wait); `sync` null: no server is configured.
    void ShowServerStatus(sync::ClassSync* sync);

    // Shows the classes granted to the teacher signed in as `session`.
    void SignIn(std::unique_ptr<sync::TeacherSession> session);

    // The chosen class's work and lesson now through `work` and `live`: the
    // "かだい" and "いまの ようす" tabs are shown with them and hidden
    // without (null). SignIn gives the server's; tests give fakes.
    void ShowClassWork(std::unique_ptr<WorkSource> work, std::unique_ptr<LiveSource> live,
                       const QString& class_name);

    // True while the class shown is one on the server.
    bool ShowingServer() const { return source_ == ClassSource::SignedIn; }

public slots:
    // Reads the class again and shows it on every tab.
    void Refresh();
    void ExportCsv();
    void ExportPdf();

private:
    QLayout* BuildFilterBar();
    QLayout* BuildSourceLine();
    void AddTab(TeacherTab* tab);
    // Every tab shows `view_` (the class already read).
    void ShowTabs();
    void ShowTopic();
    void ShowChosenClass();
    // The one place the class's source changes.
    void UseSource(ClassSource source, std::unique_ptr<ClassData> data);
    void ShowSource();
    void UseClassWork(std::unique_ptr<WorkSource> work, std::unique_ptr<LiveSource> live,
                      const QString& class_name);
    void OpenPupil(const QString& name);
    void Export(ExportFormat format);
    QDate Today() const;

    record::LearningRecord& record_;
    AppContext& ctx_;
    std::unique_ptr<ClassData> data_;
    ClassSource source_ = ClassSource::ThisPc;
    ClassView view_;
    QPointer<sync::ClassSync> sync_;  // null also once the program dropped it
    QMetaObject::Connection server_connection_;
    std::unique_ptr<sync::TeacherSession> session_;
    std::unique_ptr<WorkSource> work_source_;  // used by work_; before session_ goes
    PupilTab* pupil_tab_ = nullptr;
    RosterTab* roster_ = nullptr;
    WorkTab* work_ = nullptr;
    LiveTab* live_ = nullptr;
    QComboBox* class_choice_ = nullptr;
    QComboBox* year_ = nullptr;  // the school year shown (0: every year)
    QCheckBox* from_check_ = nullptr;
    QDateEdit* from_ = nullptr;
    QCheckBox* to_check_ = nullptr;
    QDateEdit* to_ = nullptr;
    QComboBox* topic_ = nullptr;
    QTabWidget* tabs_ = nullptr;
    std::vector<TeacherTab*> tab_list_;
    QLabel* server_status_ = nullptr;
    QPushButton* reload_ = nullptr;
};

}  // namespace sorelka
