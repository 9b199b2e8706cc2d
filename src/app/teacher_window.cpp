#include "app/teacher_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QVBoxLayout>
#include <cstdio>

#include "record/learning_record.h"
#include "report/csv_export.h"
#include "report/pdf_report.h"
#include "sync/class_record.h"
#include "sync/class_sync.h"
#include "widgets/look.h"

namespace sorelka {

namespace {

constexpr int kSortRole = Qt::UserRole;
constexpr int kTopicRole = Qt::UserRole + 1;
constexpr int kRecentWrong = 30;

QPushButton* Button(const QString& name, const QString& caption, QWidget* parent) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setAccessibleName(caption);
    return b;
}

// A cell of the class: its text, the value it sorts by, and its topic for the filter.
QStandardItem* Item(const QString& text, const QVariant& sort, Topic topic, bool figure = true) {
    auto* item = new QStandardItem(text);
    item->setData(sort, kSortRole);
    item->setData(QString::number(TopicNumber(topic)), kTopicRole);
    item->setEditable(false);
    item->setTextAlignment((figure ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
    return item;
}

void FillTable(QTableWidget* table, const QStringList& header, const std::vector<QStringList>& rows) {
    table->clear();
    table->setColumnCount(int(header.size()));
    table->setHorizontalHeaderLabels(header);
    table->setRowCount(int(rows.size()));
    for (int r = 0; r < int(rows.size()); ++r)
        for (int c = 0; c < int(rows[r].size()); ++c) {
            auto* item = new QTableWidgetItem(rows[r][c]);
            item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
            table->setItem(r, c, item);
        }
    table->resizeColumnsToContents();
}

QTableWidget* ReadOnlyTable(const QString& name, const QString& accessible, QWidget* parent) {
    auto* t = new QTableWidget(parent);
    t->setObjectName(name);
    t->setAccessibleName(accessible);
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

WeeklyChart::WeeklyChart(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("WeeklyChart"));
    setAccessibleName(QStringLiteral("週ごとの正答率のグラフ"));
    setMinimumSize(480, 220);
}

void WeeklyChart::SetWeeks(std::vector<report::WeeklyPercent> weeks, QDate last_week) {
    weeks_ = std::move(weeks);
    last_week_ = last_week;
    update();
}

void WeeklyChart::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(rect(), Qt::white);
    report::DrawWeeklyChart(p, QRectF(rect()).adjusted(4, 4, -4, -4), weeks_, last_week_);
}

TeacherWindow::TeacherWindow(record::LearningRecord& record, AppContext& ctx, QWidget* parent)
    : QWidget(parent, Qt::Window), record_(record), ctx_(ctx) {
    setObjectName(QStringLiteral("TeacherWindow"));
    setWindowTitle(QStringLiteral("先生用"));
    setFont(SchoolFont(15));
    resize(1100, 720);
    ask_save_path = [this](const QString& suggested) {
        return QFileDialog::getSaveFileName(this, QStringLiteral("書き出す"), suggested);
    };

    auto* layout = new QVBoxLayout(this);
    auto* filters = new QHBoxLayout;
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
    topic_ = new QComboBox(this);
    topic_->setObjectName(QStringLiteral("TopicFilter"));
    topic_->setAccessibleName(QStringLiteral("単元"));
    topic_->addItem(QStringLiteral("すべての単元"), 0);
    for (Topic t : kAllTopics) topic_->addItem(report::TopicName(t), TopicNumber(t));
    filters->addWidget(from_check_);
    filters->addWidget(from_);
    filters->addWidget(to_check_);
    filters->addWidget(to_);
    filters->addWidget(topic_);
    filters->addStretch();
    auto* csv = Button(QStringLiteral("CsvButton"), QStringLiteral("CSVに書き出す"), this);
    auto* pdf = Button(QStringLiteral("PdfButton"), QStringLiteral("PDFに書き出す"), this);
    filters->addWidget(csv);
    filters->addWidget(pdf);
    layout->addLayout(filters);

    tabs_ = new QTabWidget(this);
    tabs_->setObjectName(QStringLiteral("TeacherTabs"));
    tabs_->setAccessibleName(QStringLiteral("先生用のページ"));
    layout->addWidget(tabs_);
    auto* source = new QHBoxLayout;
    server_status_ = new QLabel(this);
    server_status_->setObjectName(QStringLiteral("ClassServerStatus"));
    server_status_->setWordWrap(true);
    source->addWidget(server_status_, 1);
    reload_ = Button(QStringLiteral("ClassServerReload"), QStringLiteral("サーバーから読みなおす"), this);
    reload_->hide();
    source->addWidget(reload_);
    layout->addLayout(source);
    ShowServerStatus(nullptr);

    // The class.
    class_model_ = new QStandardItemModel(this);
    class_model_->setObjectName(QStringLiteral("ClassModel"));
    class_proxy_ = new QSortFilterProxyModel(this);
    class_proxy_->setSourceModel(class_model_);
    class_proxy_->setSortRole(kSortRole);
    class_proxy_->setFilterRole(kTopicRole);
    class_proxy_->setFilterKeyColumn(1);
    class_table_ = new QTableView(tabs_);
    class_table_->setObjectName(QStringLiteral("ClassTable"));
    class_table_->setAccessibleName(QStringLiteral("クラスの表"));
    class_table_->setModel(class_proxy_);
    class_table_->setSortingEnabled(true);
    class_table_->sortByColumn(-1, Qt::AscendingOrder);
    class_table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    class_table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    class_table_->verticalHeader()->hide();
    class_table_->horizontalHeader()->setStretchLastSection(true);
    tabs_->addTab(class_table_, QStringLiteral("クラス"));

    // One pupil.
    auto* one = new QWidget(tabs_);
    auto* grid = new QGridLayout(one);
    pupil_ = new QComboBox(one);
    pupil_->setObjectName(QStringLiteral("PupilChoice"));
    pupil_->setAccessibleName(QStringLiteral("見る子"));
    pupil_->setMinimumWidth(240);
    grid->addWidget(pupil_, 0, 0);
    grid->addWidget(Caption(QStringLiteral("週ごとの正答率（８週間）"), one), 1, 0);
    chart_ = new WeeklyChart(one);
    grid->addWidget(chart_, 2, 0);
    grid->addWidget(Caption(QStringLiteral("まちがいの種類"), one), 1, 1);
    kinds_ = ReadOnlyTable(QStringLiteral("KindTable"), QStringLiteral("まちがいの種類の表"), one);
    grid->addWidget(kinds_, 2, 1);
    grid->addWidget(Caption(QStringLiteral("さいきんのまちがい"), one), 3, 0, 1, 2);
    wrong_ = ReadOnlyTable(QStringLiteral("WrongTable"), QStringLiteral("さいきんのまちがいの表"), one);
    grid->addWidget(wrong_, 4, 0, 1, 2);
    grid->setColumnStretch(0, 3);
    grid->setColumnStretch(1, 2);
    grid->setRowStretch(2, 1);
    grid->setRowStretch(4, 1);
    tabs_->addTab(one, QStringLiteral("ひとり"));

    // The roster.
    auto* roster = new QWidget(tabs_);
    auto* rl = new QVBoxLayout(roster);
    roster_ = new QListWidget(roster);
    roster_->setObjectName(QStringLiteral("RosterList"));
    roster_->setAccessibleName(QStringLiteral("名簿"));
    rl->addWidget(roster_);
    auto* row = new QHBoxLayout;
    roster_name_ = new QLineEdit(roster);
    roster_name_->setObjectName(QStringLiteral("RosterName"));
    roster_name_->setAccessibleName(QStringLiteral("名前"));
    roster_name_->setPlaceholderText(QStringLiteral("名前"));
    row->addWidget(roster_name_);
    auto* add = Button(QStringLiteral("AddButton"), QStringLiteral("ふやす"), roster);
    auto* rename = Button(QStringLiteral("RenameButton"), QStringLiteral("名前をかえる"), roster);
    auto* archive = Button(QStringLiteral("ArchiveButton"), QStringLiteral("おやすみ／もどす"), roster);
    auto* remove = Button(QStringLiteral("DeleteButton"), QStringLiteral("けす"), roster);
    for (QPushButton* b : {add, rename, archive, remove}) row->addWidget(b);
    rl->addLayout(row);
    roster_message_ = new QLabel(roster);
    roster_message_->setObjectName(QStringLiteral("RosterMessage"));
    roster_message_->setAccessibleName(QStringLiteral("名簿のおしらせ"));
    rl->addWidget(roster_message_);
    tabs_->addTab(roster, QStringLiteral("名簿"));

    connect(from_check_, &QCheckBox::toggled, this, &TeacherWindow::Refresh);
    connect(to_check_, &QCheckBox::toggled, this, &TeacherWindow::Refresh);
    connect(from_, &QDateEdit::dateChanged, this, [this] {
        if (from_check_->isChecked()) Refresh();
    });
    connect(to_, &QDateEdit::dateChanged, this, [this] {
        if (to_check_->isChecked()) Refresh();
    });
    connect(topic_, &QComboBox::currentIndexChanged, this, [this] {
        const int t = topic_->currentData().toInt();
        class_proxy_->setFilterRegularExpression(t ? QStringLiteral("^%1$").arg(t) : QString());
        RefreshPupil();
    });
    connect(pupil_, &QComboBox::currentIndexChanged, this, &TeacherWindow::RefreshPupil);
    connect(roster_, &QListWidget::currentRowChanged, this, [this] {
        roster_name_->setText(ChosenRosterName());
    });
    connect(add, &QPushButton::clicked, this, &TeacherWindow::AddPupil);
    connect(rename, &QPushButton::clicked, this, &TeacherWindow::RenamePupil);
    connect(archive, &QPushButton::clicked, this, &TeacherWindow::ArchivePupil);
    connect(remove, &QPushButton::clicked, this, &TeacherWindow::DeletePupil);
    connect(csv, &QPushButton::clicked, this, &TeacherWindow::ExportCsv);
    connect(pdf, &QPushButton::clicked, this, &TeacherWindow::ExportPdf);
    connect(reload_, &QPushButton::clicked, this, &TeacherWindow::FetchClass);
    Refresh();
}

TeacherWindow::~TeacherWindow() = default;

QSqlDatabase TeacherWindow::ShownDatabase() const {
    return class_record_ ? class_record_->database() : record_.store().database();
}

bool TeacherWindow::HasRecord() const { return class_record_ || record_.store().Ready(); }

QDate TeacherWindow::Today() const {
    const LocalTime now = ctx_.clock.Now();
    return QDate(now.year, now.month, now.day);
}

report::ReportFilter TeacherWindow::CurrentFilter() const {
    report::ReportFilter f;
    if (from_check_->isChecked()) f.from = from_->date();
    if (to_check_->isChecked()) f.to = to_->date();
    f.topic = TopicFromNumber(topic_->currentData().toInt());
    // On the page of one pupil, that pupil's answers.
    if (tabs_->currentIndex() == 1 && pupil_->currentIndex() >= 0) f.pupil = pupil_->currentText();
    return f;
}

void TeacherWindow::Refresh() {
    RefreshClass();
    RefreshRoster();
    RefreshPupil();
}

void TeacherWindow::RefreshClass() {
    report::ReportFilter f = CurrentFilter();
    f.pupil.reset();
    f.topic.reset();  // the topic is the proxy's filter
    const std::vector<report::ClassRow> rows =
        HasRecord() ? report::ClassSummary(ShownDatabase(), f) : std::vector<report::ClassRow>();
    class_model_->clear();
    class_model_->setHorizontalHeaderLabels(
        {QStringLiteral("なまえ"), QStringLiteral("単元"), QStringLiteral("問題数"), QStringLiteral("正答率"),
         QStringLiteral("1問の時間（中央値）"), QStringLiteral("最後の日"), QStringLiteral("よくあるまちがい"),
         QStringLiteral("ドリル"), QStringLiteral("最高点")});
    int order = 0;
    for (const report::ClassRow& r : rows) {
        class_model_->appendRow(
            {Item(r.pupil, order++, r.topic, false), Item(report::TopicName(r.topic), TopicNumber(r.topic), r.topic, false),
             Item(QString::number(r.answers), r.answers, r.topic),
             Item(QStringLiteral("%1 %").arg(r.percent()), r.percent(), r.topic),
             Item(QStringLiteral("%1 秒").arg(r.median_seconds, 0, 'f', 1), r.median_seconds, r.topic),
             Item(r.last_day, r.last_day, r.topic, false),
             Item(report::KindLabel(r.topic, r.habit), report::KindLabel(r.topic, r.habit), r.topic, false),
             Item(QString::number(r.drills), r.drills, r.topic),
             Item(r.drills ? QString::number(r.best_points) : QString(), r.best_points, r.topic)});
    }
    class_table_->resizeColumnsToContents();

    // The pupils to look at one by one: everyone with answers, then the rest of the roster.
    const QString shown = pupil_->currentText();
    QStringList names;
    for (const report::ClassRow& r : rows)
        if (!names.contains(r.pupil)) names << r.pupil;
    if (class_record_) {
        for (const QString& name : class_record_->pupils())
            if (!names.contains(name)) names << name;
    } else {
        for (const auto& entry : record_.Roster())
            if (!names.contains(entry.name)) names << entry.name;
    }
    const QSignalBlocker block(pupil_);
    pupil_->clear();
    pupil_->addItems(names);
    pupil_->setCurrentIndex(std::max(0, int(names.indexOf(shown))));
}

void TeacherWindow::RefreshPupil() {
    if (pupil_->currentIndex() < 0 || !HasRecord()) {
        chart_->SetWeeks({}, report::WeekStart(Today()));
        kinds_->clear();
        wrong_->clear();
        return;
    }
    report::ReportFilter f = CurrentFilter();
    f.pupil = pupil_->currentText();
    const QSqlDatabase db = ShownDatabase();
    const QDate last_week = report::WeekStart(f.to ? *f.to : Today());
    chart_->SetWeeks(report::WeeklyPercents(db, *f.pupil, last_week, f.topic), last_week);
    std::vector<QStringList> kinds;
    for (const report::KindCount& k : report::KindCounts(db, f))
        kinds.push_back({report::TopicName(k.topic), report::KindLabel(k.topic, k.kind), QString::number(k.count)});
    FillTable(kinds_, {QStringLiteral("単元"), QStringLiteral("まちがいの種類"), QStringLiteral("回数")}, kinds);
    std::vector<QStringList> wrong;
    for (const report::WrongAnswer& w : report::RecentWrong(db, f, kRecentWrong))
        wrong.push_back({w.problem, w.entered, w.right, report::KindLabel(w.topic, w.kind),
                         w.answered_at.left(10)});
    FillTable(wrong_, {QStringLiteral("問題"), QStringLiteral("答え"), QStringLiteral("正しい答え"),
                       QStringLiteral("まちがいの種類"), QStringLiteral("日")},
              wrong);
}

void TeacherWindow::RefreshRoster() {
    const QString chosen = ChosenRosterName();
    roster_->clear();
    for (const auto& entry : record_.Roster()) {
        auto* item = new QListWidgetItem(
            entry.archived ? entry.name + QStringLiteral("（おやすみ）") : entry.name, roster_);
        item->setData(Qt::UserRole, entry.name);
        if (entry.name == chosen) roster_->setCurrentItem(item);
    }
}

QString TeacherWindow::ChosenRosterName() const {
    const QListWidgetItem* item = roster_ ? roster_->currentItem() : nullptr;
    return item ? item->data(Qt::UserRole).toString() : QString();
}

void TeacherWindow::AddPupil() {
    const record::NameCheck check = record_.AddPupil(roster_name_->text());
    roster_message_->setText(check.ok() ? QStringLiteral("「%1」をふやしました。").arg(check.name) : check.refusal);
    Refresh();
}

void TeacherWindow::RenamePupil() {
    const QString name = ChosenRosterName();
    if (name.isEmpty()) {
        roster_message_->setText(QStringLiteral("名前をかえる子をえらんでください。"));
        return;
    }
    const record::NameCheck check = record_.RenamePupil(name, roster_name_->text());
    roster_message_->setText(check.ok() ? QStringLiteral("「%1」を「%2」にしました。").arg(name, check.name)
                                        : check.refusal);
    Refresh();
}

void TeacherWindow::ArchivePupil() {
    const QString name = ChosenRosterName();
    if (name.isEmpty()) return;
    bool archived = false;
    for (const auto& entry : record_.Roster())
        if (entry.name == name) archived = entry.archived;
    record_.SetArchived(name, !archived);
    roster_message_->setText(!archived ? QStringLiteral("「%1」をおやすみにしました（きろくは のこります）。").arg(name)
                                       : QStringLiteral("「%1」をもどしました。").arg(name));
    Refresh();
}

void TeacherWindow::DeletePupil() {
    const QString name = ChosenRosterName();
    if (name.isEmpty()) return;
    const int answers = record_.AnswerCount(name);
    const QString question =
        QStringLiteral("「%1」を名簿からけします。答え %2 問のきろくもいっしょにけします。よろしいですか？")
            .arg(name)
            .arg(answers);
    if (ctx_.dialogs.AskYesNo(question.toStdString()) != Answer::Yes) return;
    record_.DeletePupil(name);
    roster_message_->setText(QStringLiteral("「%1」をけしました。").arg(name));
    Refresh();
}

void TeacherWindow::ExportCsv() { Export(false); }
void TeacherWindow::ExportPdf() { Export(true); }

void TeacherWindow::Export(bool pdf) {
    const QString suggested = QStringLiteral("kiroku-%1.%2")
                                  .arg(Today().toString(QStringLiteral("yyyyMMdd")),
                                       pdf ? QStringLiteral("pdf") : QStringLiteral("csv"));
    const QString path = ask_save_path ? ask_save_path(suggested) : QString();
    if (path.isEmpty()) return;
    QString error;
    const QSqlDatabase db = ShownDatabase();
    const bool ok = pdf ? report::ExportPdf(db, CurrentFilter(), Today(), path, &error)
                        : report::ExportCsv(db, CurrentFilter(), path, &error);
    if (ok)
        ctx_.dialogs.ShowInformation(QStringLiteral("「%1」に書き出しました。").arg(path).toStdString());
    else
        ctx_.dialogs.ShowMessage(error.toStdString());
}

void TeacherWindow::ShowServerStatus(sync::ClassSync* sync) {
    disconnect(server_connection_);
    disconnect(history_connection_);
    sync_ = sync;
    reload_->setVisible(sync != nullptr);
    source_ = QStringLiteral("表示しているのは このPCの記録です。");
    if (sync) {
        server_connection_ = connect(sync, &sync::ClassSync::statusChanged, this, &TeacherWindow::ShowSource);
        history_connection_ = connect(sync, &sync::ClassSync::classHistory, this, &TeacherWindow::ShowClass);
        FetchClass();
    } else if (class_record_) {
        class_record_.reset();
        Refresh();
    }
    ShowSource();
}

void TeacherWindow::FetchClass() {
    if (!sync_) return;
    if (!class_record_)
        source_ = QStringLiteral("表示しているのは このPCの記録です（学校のサーバーの記録を読んでいます）。");
    ShowSource();
    sync_->RequestClassHistory();
}

void TeacherWindow::ShowClass(const sync::ClassHistory& history) {
    QString problem;
    std::unique_ptr<sync::ClassRecord> loaded = sync::ClassRecord::Open(history, &problem);
    if (loaded) {
        source_ = QStringLiteral("表示しているのは 学校のサーバーの記録です（PC %1台）。").arg(loaded->pcs());
    } else {
        source_ = history.reached || history.from_server
                      ? QStringLiteral("サーバーの記録を読めなかったため、このPCの記録を表示しています。")
                      : QStringLiteral("サーバーに つながらないため、このPCの記録を表示しています。");
    }
    // The technical detail for the administrator, beside the plain sentence.
    server_status_->setToolTip(problem);
    if (!problem.isEmpty()) std::fprintf(stderr, "Sorelka: %s\n", qPrintable(problem));
    class_record_ = std::move(loaded);
    ShowSource();
    RefreshClass();
    RefreshPupil();
}

void TeacherWindow::ShowSource() {
    const sync::SyncStatus status = sync_ ? sync_->status() : sync::SyncStatus{};
    const QString text = source_ + sync::StatusLines(status).join(QStringLiteral("　"));
    server_status_->setText(text);
    server_status_->setAccessibleName(text);
}

}  // namespace sorelka
