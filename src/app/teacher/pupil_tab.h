#pragma once

#include "app/teacher/teacher_tab.h"

class QComboBox;
class QLabel;
class QTableView;

namespace sorelka {

class KindTableModel;
class WeeklyChart;
class WrongTableModel;

// One pupil (PupilChoice: everyone with answers in the filter's days, then
// the rest of the class): the weekly chart (WeeklyChart), wrong answers by
// kind (KindTable) and the most recent wrong answers (WrongTable), within
// the filter, and the line of their find-the-mistake examples
// (FoundMistakesLine). The exports write that pupil's answers.
class PupilTab : public TeacherTab {
    Q_OBJECT
public:
    explicit PupilTab(QWidget* parent);
    QString Title() const override { return QStringLiteral("ひとり"); }
    void Show(const ClassView& view) override;
    report::ReportFilter ExportFilter(report::ReportFilter filter) const override;

public slots:
    // Shows the pupil chosen now.
    void ShowPupil();
    // Chooses and shows the pupil `name`; false when the class has no such pupil.
    bool ChoosePupil(const QString& name);

private:
    const ClassData* data_ = nullptr;
    report::ReportFilter filter_;
    QDate today_;
    std::vector<report::ClassRow> rows_;
    QComboBox* pupil_ = nullptr;
    QLabel* found_ = nullptr;
    WeeklyChart* chart_ = nullptr;
    KindTableModel* kinds_ = nullptr;
    WrongTableModel* wrong_ = nullptr;
    QTableView* kind_table_ = nullptr;
    QTableView* wrong_table_ = nullptr;
};

}  // namespace sorelka
