#include "app/teacher/teacher_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTextDocument>
#include <QTabWidget>
#include <QVBoxLayout>
#include <cstdio>

#include "app/teacher/backups_tab.h"
#include "app/teacher/class_tab.h"
#include "app/teacher/live_tab.h"
#include "app/teacher/mastery_tab.h"
#include "app/teacher/pupil_tab.h"
#include "app/teacher/roster_tab.h"
#include "app/teacher/work_tab.h"
#include "record/learning_record.h"
#include "report/export_file.h"
#include "sync/class_sync.h"
#include "sync/teacher_session.h"
#include "topics/topic_table.h"
#include "widgets/look.h"

namespace sorelka {

TeacherWindow::TeacherWindow(record::LearningRecord& record, AppContext& ctx, QWidget* parent)
    : QWidget(parent, Qt::Window), record_(record), ctx_(ctx), data_(ClassData::ThisPc(record)) {
    setObjectName(QStringLiteral("TeacherWindow"));
    setWindowTitle(QStringLiteral("先生用"));
    setFont(SchoolFont(15));
    resize(1100, 720);
    ask_save_path = [this](const QString& suggested) {
        return QFileDialog::getSaveFileName(this, QStringLiteral("書き出す"), suggested);
    };

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(BuildFilterBar());
    tabs_ = new QTabWidget(this);
    tabs_->setObjectName(QStringLiteral("TeacherTabs"));
    tabs_->setAccessibleName(QStringLiteral("先生用のページ"));
    layout->addWidget(tabs_);
    layout->addLayout(BuildSourceLine());
    ShowServerStatus(nullptr);

    // The pages, in the order they stand.
    AddTab(new ClassTab(tabs_));
    AddTab(pupil_tab_ = new PupilTab(tabs_));
    AddTab(roster_ = new RosterTab(record_, ctx_, tabs_));
    AddTab(new MasteryTab(tabs_));
    // Signed in only (ShowClassWork): the class's work and the lesson now.
    AddTab(work_ = new WorkTab(ctx_, record_.store().path(), tabs_));
    AddTab(live_ = new LiveTab(ctx_.clock, tabs_));
    AddTab(new BackupsTab(record_, ctx_, tabs_));
    work_->ask_save_path = [this](const QString& suggested) {
        return ask_save_path ? ask_save_path(suggested) : QString();
    };
    connect(live_, &LiveTab::pupilChosen, this, &TeacherWindow::OpenPupil);
    UseClassWork(nullptr, nullptr, QString());
    Refresh();
}

// The tabs hold the session's data: they go before it. The lesson's
// reading has a session of its own.
TeacherWindow::~TeacherWindow() {
    UseClassWork(nullptr, nullptr, QString());
    data_.reset();
}

namespace {
// School years the year choice lists, this one included.
constexpr int kYearsListed = 10;
}  // namespace

QLayout* TeacherWindow::BuildFilterBar() {
    auto* bar = new QHBoxLayout;
    from_check_ = new QCheckBox(QStringLiteral("この日から"), this);
    from_check_->setObjectName(QStringLiteral("FromCheck"));
    from_check_->setAccessibleName(QStringLiteral("はじめの日を決める"));
    from_ = new QDateEdit(Today().addDays(-27), this);
    from_->setObjectName(QStringLiteral("FromDate"));
    from_->setAccessibleName(QStringLiteral("はじめの日"));
    to_check_ = new QCheckBox(QStringLiteral("この日まで"), this);
    to_check_->setObjectName(QStringLiteral("ToCheck"));
    to_check_->setAccessibleName(QStringLiteral("おわりの日を決める"));
    to_ = new QDateEdit(Today(), this);
    to_->setObjectName(QStringLiteral("ToDate"));
    to_->setAccessibleName(QStringLiteral("おわりの日"));
    for (QDateEdit* d : {from_, to_}) {
        d->setCalendarPopup(true);
        d->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    }
    // The school year (April to March) bounds what is shown, this one first;
    // the days narrow it further or reach across years.
    year_ = new QComboBox(this);
    year_->setObjectName(QStringLiteral("YearChoice"));
    year_->setAccessibleName(QStringLiteral("年度"));
    const int this_year = report::SchoolYearOf(Today());
    for (int year = this_year; year > this_year - kYearsListed; --year)
        year_->addItem(QStringLiteral("%1年度").arg(year), year);
    year_->addItem(QStringLiteral("すべての年度"), 0);
    class_choice_ = new QComboBox(this);
    class_choice_->setObjectName(QStringLiteral("ClassChoice"));
    class_choice_->setAccessibleName(QStringLiteral("クラス"));
    class_choice_->hide();  // shown once a teacher signed in to the server
    topic_ = new QComboBox(this);
    topic_->setObjectName(QStringLiteral("TopicFilter"));
    topic_->setAccessibleName(QStringLiteral("単元"));
    topic_->addItem(QStringLiteral("すべての単元"));  // no topic: every topic
    for (const TopicInfo& info : TopicTable())
        topic_->addItem(QString::fromStdString(info.name), TopicNumber(info.topic));
    auto* csv = TeacherButton(QStringLiteral("CsvButton"), QStringLiteral("CSVに書き出す"), this);
    auto* pdf = TeacherButton(QStringLiteral("PdfButton"), QStringLiteral("PDFに書き出す"), this);
    for (QWidget* w : std::initializer_list<QWidget*>{class_choice_, year_, from_check_, from_, to_check_, to_, topic_})
        bar->addWidget(w);
    bar->addStretch();
    bar->addWidget(csv);
    bar->addWidget(pdf);

    connect(from_check_, &QCheckBox::toggled, this, &TeacherWindow::Refresh);
    connect(to_check_, &QCheckBox::toggled, this, &TeacherWindow::Refresh);
    connect(from_, &QDateEdit::dateChanged, this, [this] {
        if (from_check_->isChecked()) Refresh();
    });
    connect(to_, &QDateEdit::dateChanged, this, [this] {
        if (to_check_->isChecked()) Refresh();
    });
    connect(topic_, &QComboBox::currentIndexChanged, this, &TeacherWindow::ShowTopic);
    connect(year_, &QComboBox::currentIndexChanged, this, &TeacherWindow::Refresh);
    connect(class_choice_, &QComboBox::currentIndexChanged, this, &TeacherWindow::ShowChosenClass);
    connect(csv, &QPushButton::clicked, this, &TeacherWindow::ExportCsv);
    connect(pdf, &QPushButton::clicked, this, &TeacherWindow::ExportPdf);
    return bar;
}

QLayout* TeacherWindow::BuildSourceLine() {
    auto* line = new QHBoxLayout;
    server_status_ = new QLabel(this);
    server_status_->setObjectName(QStringLiteral("ClassServerStatus"));
    server_status_->setWordWrap(true);
    server_status_->setTextFormat(Qt::PlainText);  // the server's names and messages, as they are
    line->addWidget(server_status_, 1);
    reload_ = TeacherButton(QStringLiteral("ClassServerReload"), QStringLiteral("サーバーから読みなおす"), this);
    reload_->hide();
    line->addWidget(reload_);
    connect(reload_, &QPushButton::clicked, this, &TeacherWindow::Refresh);
    return line;
}

void TeacherWindow::AddTab(TeacherTab* tab) {
    tab_list_.push_back(tab);
    tabs_->addTab(tab, tab->Title());
    connect(tab, &TeacherTab::recordChanged, this, &TeacherWindow::Refresh);
}

QDate TeacherWindow::Today() const {
    const LocalTime now = ctx_.clock.Now();
    return QDate(now.year, now.month, now.day);
}

report::ReportFilter TeacherWindow::CurrentFilter() const {
    const auto* tab = qobject_cast<const TeacherTab*>(tabs_->currentWidget());
    return tab ? tab->ExportFilter(view_.filter) : view_.filter;
}

void TeacherWindow::Refresh() {
    view_.data = data_.get();
    view_.today = Today();
    view_.filter = {};
    if (const int year = year_->currentData().toInt(); year > 0) {
        view_.filter.from = report::SchoolYearStart(year);
        view_.filter.to = report::SchoolYearEnd(year);
    }
    if (from_check_->isChecked()) view_.filter.from = from_->date();
    if (to_check_->isChecked()) view_.filter.to = to_->date();
    view_.rows = data_->Summary(view_.filter);  // every topic: the topic only narrows what is shown
    view_.filter.topic = TopicFromNumber(topic_->currentData().toInt());
    ShowTabs();
}

void TeacherWindow::ShowTopic() {
    view_.filter.topic = TopicFromNumber(topic_->currentData().toInt());
    ShowTabs();
}

void TeacherWindow::ShowTabs() {
    for (TeacherTab* tab : tab_list_) tab->Show(view_);
}

void TeacherWindow::ExportCsv() { Export(ExportFormat::Csv); }
void TeacherWindow::ExportPdf() { Export(ExportFormat::Pdf); }

void TeacherWindow::Export(ExportFormat format) {
    const bool pdf = format == ExportFormat::Pdf;
    const QString suggested = QStringLiteral("kiroku-%1.%2")
                                  .arg(Today().toString(QStringLiteral("yyyyMMdd")),
                                       pdf ? QStringLiteral("pdf") : QStringLiteral("csv"));
    const QString path = ask_save_path ? ask_save_path(suggested) : QString();
    if (path.isEmpty()) return;
    // Never over the record, nor through a link that could lead to it.
    QString error = report::ExportTargetsProblem(path, !pdf, record_.store().path());
    if (!error.isEmpty()) {
        ctx_.dialogs.ShowMessage(error.toStdString());
        return;
    }
    if (data_->Export(format, CurrentFilter(), Today(), path, &error))
        ctx_.dialogs.ShowInformation(QStringLiteral("「%1」に書き出しました。").arg(path).toStdString());
    else
        ctx_.dialogs.ShowMessage(error.toStdString());
}

void TeacherWindow::UseSource(ClassSource source, std::unique_ptr<ClassData> data) {
    source_ = source;
    if (data) {
        data_ = std::move(data);
        if (!tab_list_.empty()) Refresh();
    }
    ShowSource();
}

void TeacherWindow::ShowServerStatus(sync::ClassSync* sync) {
    disconnect(server_connection_);
    sync_ = sync;
    if (sync) server_connection_ = connect(sync, &sync::ClassSync::statusChanged, this, &TeacherWindow::ShowSource);
    ShowSource();
}

void TeacherWindow::SignIn(std::unique_ptr<sync::TeacherSession> session) {
    session_ = std::move(session);
    roster_->UseServer(session_.get());
    reload_->setText(QStringLiteral("サーバーから読みなおす"));
    reload_->show();
    const QSignalBlocker block(class_choice_);
    class_choice_->clear();
    class_choice_->addItems(session_->Classes());
    class_choice_->setVisible(true);
    ShowChosenClass();
}

void TeacherWindow::ShowChosenClass() {
    if (!session_) return;
    const QString chosen = class_choice_->currentText();
    if (chosen.isEmpty()) {
        UseClassWork(nullptr, nullptr, QString());
        UseSource(ClassSource::NoClass, ClassData::ThisPc(record_));
    } else {
        UseClassWork(ServerWork(*session_), ServerLive(*session_), chosen);
        UseSource(ClassSource::SignedIn, ClassData::OnServer(*session_, chosen));
    }
}

void TeacherWindow::ShowClassWork(std::unique_ptr<WorkSource> work, std::unique_ptr<LiveSource> live,
                                  const QString& class_name) {
    UseClassWork(std::move(work), std::move(live), class_name);
    Refresh();
}

void TeacherWindow::UseClassWork(std::unique_ptr<WorkSource> work, std::unique_ptr<LiveSource> live,
                                 const QString& class_name) {
    const bool shown = work != nullptr;
    work_->UseServer(work.get(), class_name);
    work_source_ = std::move(work);
    live_->UseServer(std::move(live), class_name);
    tabs_->setTabVisible(tabs_->indexOf(work_), shown);
    tabs_->setTabVisible(tabs_->indexOf(live_), shown);
}

void TeacherWindow::OpenPupil(const QString& name) {
    tabs_->setCurrentWidget(pupil_tab_);
    pupil_tab_->ChoosePupil(name);
}

void TeacherWindow::ShowSource() {
    const sync::SyncStatus status = sync_ ? sync_->status() : sync::SyncStatus{};
    const QString text = SourceSentence(source_, class_choice_->currentText(), session_ ? session_->teacher() : QString()) +
                         sync::StatusLines(status).join(QStringLiteral("　"));
    server_status_->setText(text);
    server_status_->setAccessibleName(text);
}

}  // namespace sorelka
