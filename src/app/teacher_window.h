#pragma once

#include <QPointer>
#include <QSqlDatabase>
#include <QWidget>
#include <functional>
#include <memory>

#include "core/app_context.h"
#include "report/report_data.h"

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSortFilterProxyModel;
class QStandardItemModel;
class QTabWidget;
class QTableView;
class QTableWidget;

namespace sorelka {

namespace record {
class LearningRecord;
}

// The weekly percent right of one pupil as lines (WeeklyChart).
class WeeklyChart : public QWidget {
    Q_OBJECT
public:
    explicit WeeklyChart(QWidget* parent);
    void SetWeeks(std::vector<report::WeeklyPercent> weeks, QDate last_week);
    const std::vector<report::WeeklyPercent>& weeks() const { return weeks_; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    std::vector<report::WeeklyPercent> weeks_;
    QDate last_week_;
};

// TeacherWindow: the teacher's view, opened behind the PIN. Three tabs
// (TeacherTabs): the class (ClassTable: one row per pupil and topic, sorted
// by any column, filtered by FromDate/ToDate and TopicFilter), one pupil
// (PupilChoice, WeeklyChart, KindTable, WrongTable) and the roster
// (RosterList, RosterName, AddButton, RenameButton, ArchiveButton,
// DeleteButton). CsvButton and PdfButton write what is on screen.
//
// With a school server configured the class and one-pupil tabs (and the
// exports) show the whole class as the server holds it once it arrives from
// the sync worker; until then, and whenever it cannot be read, this PC's own
// record. ClassServerStatus says which, and why; ClassServerReload reads the
// server again. The roster tab is always this PC's.
namespace sync {
class ClassSync;
class ClassRecord;
struct ClassHistory;
}

class TeacherWindow : public QWidget {
    Q_OBJECT
public:
    TeacherWindow(record::LearningRecord& record, AppContext& ctx, QWidget* parent);
    ~TeacherWindow() override;

    // Where an export goes: a save dialog in the program, a path in tests
    // (empty: the teacher gave up).
    std::function<QString(const QString& suggested)> ask_save_path;

    // The answers the class and the exports cover now.
    report::ReportFilter CurrentFilter() const;

    // Shows what the school's server has of this PC's record (when it was
    // last sent, how many answers wait) and asks `sync` for the class as the
    // server holds it (FetchClass); `sync` null: no server is configured,
    // this PC's record is shown.
    void ShowServerStatus(sync::ClassSync* sync);

    // True while the class shown is the server's.
    bool ShowingServer() const { return class_record_ != nullptr; }

public slots:
    // Asks the sync worker for the class again; the view changes when it arrives.
    void FetchClass();
    // The class as the server sent it (or why it could not be read).
    void ShowClass(const sync::ClassHistory& history);
    void Refresh();
    void RefreshClass();
    void RefreshPupil();
    void RefreshRoster();
    void AddPupil();
    void RenamePupil();
    void ArchivePupil();
    void DeletePupil();
    void ExportCsv();
    void ExportPdf();

private:
    QDate Today() const;
    QString ChosenRosterName() const;
    void Export(bool pdf);
    // The database the class, one-pupil and export read: the server's copy or the file.
    QSqlDatabase ShownDatabase() const;
    bool HasRecord() const;
    void ShowSource();

    record::LearningRecord& record_;
    AppContext& ctx_;
    QTabWidget* tabs_ = nullptr;
    QLabel* server_status_ = nullptr;
    QPushButton* reload_ = nullptr;
    QMetaObject::Connection server_connection_;
    QMetaObject::Connection history_connection_;
    QPointer<sync::ClassSync> sync_;  // null also once the program dropped it
    std::unique_ptr<sync::ClassRecord> class_record_;  // the server's class; null: this PC's
    QString source_;  // the first sentence of ClassServerStatus
    QCheckBox* from_check_ = nullptr;
    QDateEdit* from_ = nullptr;
    QCheckBox* to_check_ = nullptr;
    QDateEdit* to_ = nullptr;
    QComboBox* topic_ = nullptr;
    QStandardItemModel* class_model_ = nullptr;
    QSortFilterProxyModel* class_proxy_ = nullptr;
    QTableView* class_table_ = nullptr;
    QComboBox* pupil_ = nullptr;
    WeeklyChart* chart_ = nullptr;
    QTableWidget* kinds_ = nullptr;
    QTableWidget* wrong_ = nullptr;
    QListWidget* roster_ = nullptr;
    QLineEdit* roster_name_ = nullptr;
    QLabel* roster_message_ = nullptr;
};

}  // namespace sorelka
