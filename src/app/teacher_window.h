#pragma once

#include <QMetaObject>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

#include "app/class_data.h"
#include "app/teacher_tab.h"
#include "app/weekly_chart.h"
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
struct ClassHistory;
}

// TeacherWindow: the teacher's view, opened behind the PIN. A filter bar
// (FromCheck/FromDate, ToCheck/ToDate, TopicFilter; CsvButton and PdfButton
// write what is on screen), the tabs (TeacherTabs: ClassTab, PupilTab,
// RosterTab, each a TeacherTab) and the source line (ClassServerStatus,
// ClassServerReload).
//
// With a school server configured the class and one-pupil tabs (and the
// exports) show the whole class as the server holds it once it arrives from
// the sync worker; until then, and whenever it cannot be read, this PC's own
// record. ClassServerStatus says which, and why; ClassServerReload reads the
// server again. The roster tab is always this PC's.
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
    // last sent, how many answers wait) and asks `sync` for the class as the
    // server holds it (FetchClass); `sync` null: no server is configured,
    // this PC's record is shown.
    void ShowServerStatus(sync::ClassSync* sync);

    // True while the class shown is the server's.
    bool ShowingServer() const { return source_ == ClassSource::Server; }

public slots:
    // Asks the sync worker for the class again; the view changes when it arrives.
    void FetchClass();
    // The class as the server sent it (or why it could not be read).
    void ShowClass(const sync::ClassHistory& history);
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
    // The one place the class's source changes.
    void UseSource(ClassSource source, std::unique_ptr<ClassData> data);
    void ShowSource();
    void Export(ExportFormat format);
    QDate Today() const;

    record::LearningRecord& record_;
    AppContext& ctx_;
    std::unique_ptr<ClassData> data_;
    ClassSource source_ = ClassSource::ThisPc;
    ClassView view_;
    QPointer<sync::ClassSync> sync_;  // null also once the program dropped it
    QMetaObject::Connection server_connection_;
    QMetaObject::Connection history_connection_;
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
