#pragma once

#include <QWidget>
#include <functional>

#include "core/app_context.h"
#include "report/report_data.h"

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QListWidget;
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
namespace sync {
class ClassSync;
}

class TeacherWindow : public QWidget {
    Q_OBJECT
public:
    TeacherWindow(record::LearningRecord& record, AppContext& ctx, QWidget* parent);

    // Where an export goes: a save dialog in the program, a path in tests
    // (empty: the teacher gave up).
    std::function<QString(const QString& suggested)> ask_save_path;

    // The answers the class and the exports cover now.
    report::ReportFilter CurrentFilter() const;

    // Shows what the school's server has of this PC's record (when it was
    // last sent, how many answers wait) and that the class shown is this
    // PC's own; `sync` null: no server is configured.
    void ShowServerStatus(sync::ClassSync* sync);

public slots:
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

    record::LearningRecord& record_;
    AppContext& ctx_;
    QTabWidget* tabs_ = nullptr;
    QLabel* server_status_ = nullptr;
    QMetaObject::Connection server_connection_;
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
