#include "app/teacher/live_tab.h"

#include <QHeaderView>
#include <QLabel>
#include <QTableView>
#include <QTime>
#include <QTimer>
#include <QVBoxLayout>

namespace sorelka {

LiveTab::LiveTab(const Clock& clock, QWidget* parent) : TeacherTab(parent), clock_(clock) {
    model_ = new LiveTableModel(this);
    table_ = TeacherTable(QStringLiteral("LiveTable"), QStringLiteral("いまの ようすの表"), model_, this);
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    table_->setColumnWidth(LiveTableModel::PupilColumn, 180);
    table_->setColumnWidth(LiveTableModel::ScreenColumn, 220);
    table_->setColumnWidth(LiveTableModel::AnswersColumn, 110);
    table_->setColumnWidth(LiveTableModel::ShareColumn, 130);
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("LiveStatus"));
    status_->setTextFormat(Qt::PlainText);
    status_->setWordWrap(true);
    auto* hint = new QLabel(QStringLiteral("５秒ごとに 読みなおします。名前を ダブルクリックすると「ひとり」で 見られます。"), this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(hint);
    layout->addWidget(table_, 1);
    layout->addWidget(status_);

    timer_ = new QTimer(this);
    timer_->setObjectName(QStringLiteral("LiveTimer"));
    timer_->setInterval(kRefreshMs);
    connect(timer_, &QTimer::timeout, this, &LiveTab::Refresh);
    connect(table_, &QTableView::doubleClicked, this, [this](const QModelIndex& index) {
        if (index.isValid() && index.row() < int(model_->rows().size()))
            emit pupilChosen(model_->rows()[index.row()].pupil);
    });

    reader_ = new QObject;
    reader_->moveToThread(&thread_);
    connect(&thread_, &QThread::finished, reader_, &QObject::deleteLater);
    thread_.setObjectName(QStringLiteral("LiveReader"));
    thread_.start();
}

// A reading under way finishes first (the source's connection has its own
// time limits); its rows are dropped with the tab.
LiveTab::~LiveTab() {
    thread_.quit();
    thread_.wait();
}

// The window read the class again ("サーバーから読みなおす"): so does the
// lesson, when on screen.
void LiveTab::Show(const ClassView&) {
    if (isVisible()) Refresh();
}

void LiveTab::UseServer(std::unique_ptr<LiveSource> source, const QString& class_name) {
    ++generation_;
    source_ = std::move(source);
    class_name_ = class_name;
    reading_ = false;  // a reading of the old source is dropped when it comes
    model_->Update({});
    status_->clear();
    if (source_ && isVisible()) {
        Refresh();
        timer_->start();
    }
    if (!source_) timer_->stop();
}

void LiveTab::showEvent(QShowEvent* event) {
    TeacherTab::showEvent(event);
    if (!source_) return;
    Refresh();
    timer_->start();
}

void LiveTab::hideEvent(QHideEvent* event) {
    TeacherTab::hideEvent(event);
    timer_->stop();
}

void LiveTab::Refresh() {
    if (!source_ || reading_) return;
    reading_ = true;
    // The source and the class go with the reading: the tab may change them
    // (or go) meanwhile, and the thread never touches the tab's members.
    QMetaObject::invokeMethod(
        reader_, [this, source = source_, class_name = class_name_, generation = generation_] {
            sync::Fetched<LivePupil> read = source->Live(class_name);
            // The tab waits for this thread before it goes, so `this` is alive.
            QMetaObject::invokeMethod(
                this, [this, read = std::move(read), generation]() mutable { Take(std::move(read), generation); },
                Qt::QueuedConnection);
        },
        Qt::QueuedConnection);
}

void LiveTab::Take(sync::Fetched<LivePupil> read, int generation) {
    if (generation != generation_) return;
    reading_ = false;
    if (!read.ok()) {
        status_->setText(QStringLiteral("読めませんでした：") + read.problem);
    } else {
        model_->Update(std::move(read.rows));
        const LocalTime now = clock_.Now();
        status_->setText(QStringLiteral("%1 に 読みました").arg(QTime(now.hour, now.minute, now.second).toString(QStringLiteral("H:mm:ss"))));
    }
    emit refreshed();
}

}  // namespace sorelka
