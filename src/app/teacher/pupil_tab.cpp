#include "app/teacher/pupil_tab.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QTableView>
#include <algorithm>

#include "app/teacher/teacher_models.h"
#include "app/teacher/weekly_chart.h"
#include "widgets/look.h"

namespace sorelka {

namespace {

constexpr int kRecentWrong = 30;

QTableView* ReadOnlyTable(const QString& name, const QString& accessible, QAbstractItemModel* model,
                          QWidget* parent) {
    auto* t = new QTableView(parent);
    t->setObjectName(name);
    t->setAccessibleName(accessible);
    t->setModel(model);
    t->setEditTriggers(QAbstractItemView::NoEditTriggers);
    t->verticalHeader()->hide();
    t->horizontalHeader()->setStretchLastSection(true);
    return t;
}

QLabel* Caption(const QString& text, QWidget* parent) {
    auto* l = new QLabel(text, parent);
    SetTextColour(l, kNavyColour);
    return l;
}

}  // namespace

PupilTab::PupilTab(QWidget* parent) : TeacherTab(parent) {
    auto* grid = new QGridLayout(this);
    pupil_ = new QComboBox(this);
    pupil_->setObjectName(QStringLiteral("PupilChoice"));
    pupil_->setAccessibleName(QStringLiteral("見る子"));
    pupil_->setMinimumWidth(240);
    grid->addWidget(pupil_, 0, 0);
    found_ = new QLabel(this);
    found_->setObjectName(QStringLiteral("FoundMistakesLine"));
    grid->addWidget(found_, 0, 1);
    grid->addWidget(Caption(QStringLiteral("週ごとの正答率（８週間）"), this), 1, 0);
    chart_ = new WeeklyChart(this);
    grid->addWidget(chart_, 2, 0);
    grid->addWidget(Caption(QStringLiteral("まちがいの種類"), this), 1, 1);
    kinds_ = new KindTableModel(this);
    kind_table_ = ReadOnlyTable(QStringLiteral("KindTable"), QStringLiteral("まちがいの種類の表"), kinds_, this);
    grid->addWidget(kind_table_, 2, 1);
    grid->addWidget(Caption(QStringLiteral("さいきんのまちがい"), this), 3, 0, 1, 2);
    wrong_ = new WrongTableModel(this);
    wrong_table_ =
        ReadOnlyTable(QStringLiteral("WrongTable"), QStringLiteral("さいきんのまちがいの表"), wrong_, this);
    grid->addWidget(wrong_table_, 4, 0, 1, 2);
    grid->setColumnStretch(0, 3);
    grid->setColumnStretch(1, 2);
    grid->setRowStretch(2, 1);
    grid->setRowStretch(4, 1);
    connect(pupil_, &QComboBox::currentIndexChanged, this, &PupilTab::ShowPupil);
}

void PupilTab::Show(const ClassView& view) {
    data_ = view.data;
    filter_ = view.filter;
    today_ = view.today;
    rows_ = view.rows;
    // Everyone with answers, then the rest of the class; the pupil shown stays.
    const QString shown = pupil_->currentText();
    QStringList names;
    for (const report::ClassRow& r : view.rows)
        if (!names.contains(r.pupil)) names << r.pupil;
    if (data_)
        for (const QString& name : data_->Pupils())
            if (!names.contains(name)) names << name;
    {
        const QSignalBlocker block(pupil_);
        pupil_->clear();
        pupil_->addItems(names);
        pupil_->setCurrentIndex(std::max(0, int(names.indexOf(shown))));
    }
    ShowPupil();
}

report::ReportFilter PupilTab::ExportFilter(report::ReportFilter filter) const {
    if (pupil_->currentIndex() >= 0) filter.pupil = pupil_->currentText();
    return filter;
}

bool PupilTab::ChoosePupil(const QString& name) {
    const int index = pupil_->findText(name);
    if (index < 0) return false;
    pupil_->setCurrentIndex(index);  // shows the pupil when another was shown
    return true;
}

void PupilTab::ShowPupil() {
    if (pupil_->currentIndex() < 0 || !data_ || !data_->Ready()) {
        chart_->SetWeeks({}, report::WeekStart(today_));
        kinds_->SetRows({});
        wrong_->SetRows({});
        found_->clear();
        return;
    }
    const report::ReportFilter f = ExportFilter(filter_);
    // Find-the-mistake examples, apart from the pupil's own work.
    int found = 0, found_correct = 0;
    for (const report::ClassRow& r : rows_)
        if (r.pupil == *f.pupil && (!f.topic || r.topic == *f.topic)) {
            found += r.found_answers;
            found_correct += r.found_correct;
        }
    found_->setText(found ? QStringLiteral("まちがいさがし：%1問中 %2問 見つけた").arg(found).arg(found_correct)
                          : QStringLiteral("まちがいさがし：なし"));
    const QDate last_week = report::ChartLastWeek(f, today_);
    chart_->SetWeeks(data_->Weekly(*f.pupil, last_week, f.topic), last_week);
    kinds_->SetRows(data_->Kinds(f));
    kind_table_->resizeColumnsToContents();
    wrong_->SetRows(data_->RecentWrong(f, kRecentWrong));
    wrong_table_->resizeColumnsToContents();
}

}  // namespace sorelka
