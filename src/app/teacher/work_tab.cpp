#include "app/teacher/work_tab.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSpinBox>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

#include "core/app_context.h"
#include "report/export_file.h"
#include "widgets/look.h"

namespace sorelka {

WorkTab::WorkTab(AppContext& ctx, QString record_path, QWidget* parent)
    : TeacherTab(parent), ctx_(ctx), record_path_(std::move(record_path)) {
    pieces_ = new WorkTableModel(this);
    piece_table_ = TeacherTable(QStringLiteral("WorkTable"), QStringLiteral("かだいの表"), pieces_, this);
    // The title takes the room the other columns leave.
    piece_table_->horizontalHeader()->setStretchLastSection(false);
    piece_table_->horizontalHeader()->setSectionResizeMode(WorkTableModel::TitleColumn, QHeaderView::Stretch);

    auto* form_box = new QGroupBox(QStringLiteral("かだいを つくる・なおす"), this);
    auto* form = new QFormLayout(form_box);
    title_ = new QLineEdit(form_box);
    title_->setObjectName(QStringLiteral("WorkTitle"));
    title_->setAccessibleName(QStringLiteral("かだいの名前"));
    title_->setMaxLength(60);
    title_->setPlaceholderText(QStringLiteral("れい：わり算 ふくしゅう"));
    form->addRow(QStringLiteral("名前"), title_);
    what_ = new QComboBox(form_box);
    what_->setObjectName(QStringLiteral("WorkWhat"));
    what_->setAccessibleName(QStringLiteral("れんしゅうすること"));
    for (const WhatChoice& c : WhatChoices()) what_->addItem(c.label);
    form->addRow(QStringLiteral("なにを"), what_);
    problems_ = new QSpinBox(form_box);
    problems_->setObjectName(QStringLiteral("WorkProblems"));
    problems_->setAccessibleName(QStringLiteral("問題の数"));
    problems_->setRange(1, 100);
    problems_->setValue(10);
    problems_->setSuffix(QStringLiteral(" 問"));
    form->addRow(QStringLiteral("問題の数"), problems_);
    due_ = new QDateEdit(form_box);
    due_->setObjectName(QStringLiteral("WorkDue"));
    due_->setAccessibleName(QStringLiteral("きげん"));
    due_->setCalendarPopup(true);
    due_->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    form->addRow(QStringLiteral("きげん"), due_);
    whole_class_ = new QCheckBox(QStringLiteral("クラス全員"), form_box);
    whole_class_->setObjectName(QStringLiteral("WorkWholeClass"));
    whole_class_->setChecked(true);
    pupils_ = new QListWidget(form_box);
    pupils_->setObjectName(QStringLiteral("WorkPupils"));
    pupils_->setAccessibleName(QStringLiteral("かだいを だす子"));
    pupils_->setEnabled(false);
    pupils_->setMaximumHeight(120);
    auto* whom = new QVBoxLayout;
    whom->addWidget(whole_class_);
    whom->addWidget(pupils_);
    form->addRow(QStringLiteral("だれに"), whom);
    auto* make = TeacherButton(QStringLiteral("WorkMakeButton"), QStringLiteral("つくる"), form_box);
    auto* change = TeacherButton(QStringLiteral("WorkChangeButton"), QStringLiteral("なおす"), form_box);
    auto* withdraw = TeacherButton(QStringLiteral("WorkWithdrawButton"), QStringLiteral("とりけす"), form_box);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {make, change, withdraw}) buttons->addWidget(b);
    form->addRow(buttons);
    message_ = new QLabel(form_box);
    message_->setObjectName(QStringLiteral("WorkMessage"));
    message_->setAccessibleName(QStringLiteral("かだいの おしらせ"));
    message_->setTextFormat(Qt::PlainText);  // titles and names as typed
    message_->setWordWrap(true);
    form->addRow(message_);

    progress_ = new ProgressTableModel(this);
    progress_table_ = TeacherTable(QStringLiteral("WorkProgress"), QStringLiteral("かだいの すすみぐあい"), progress_, this);
    auto* csv = TeacherButton(QStringLiteral("WorkCsvButton"), QStringLiteral("すすみぐあいを CSVに"), this);
    auto* progress_line = new QHBoxLayout;
    auto* caption = new QLabel(QStringLiteral("すすみぐあい"), this);
    SetTextColour(caption, kNavyColour);
    progress_line->addWidget(caption);
    progress_line->addStretch();
    progress_line->addWidget(csv);

    auto* top = new QHBoxLayout;
    top->addWidget(piece_table_, 1);
    form_box->setMaximumWidth(400);
    top->addWidget(form_box);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(top, 1);
    layout->addLayout(progress_line);
    layout->addWidget(progress_table_, 1);

    connect(whole_class_, &QCheckBox::toggled, pupils_, [this](bool whole) { pupils_->setEnabled(!whole); });
    connect(make, &QPushButton::clicked, this, &WorkTab::MakePiece);
    connect(change, &QPushButton::clicked, this, &WorkTab::ChangePiece);
    connect(withdraw, &QPushButton::clicked, this, &WorkTab::WithdrawPiece);
    connect(csv, &QPushButton::clicked, this, &WorkTab::ExportProgress);
    connect(piece_table_->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this] {
        if (const WorkPiece* p = ChosenPiece()) ShowPiece(*p);
    });
}

void WorkTab::UseServer(WorkSource* source, const QString& class_name) {
    source_ = source;
    class_name_ = class_name;
}

void WorkTab::Show(const ClassView& view) {
    if (view.today.isValid() && view.today != today_) {
        today_ = view.today;
        if (!ChosenPiece()) due_->setDate(today_.addDays(7));
    }
    // Work goes to the pupils at work, not to those resting.
    ShowPupils(view.data && view.data->Ready() ? view.data->Pupils(false) : QStringList());
    Reload();
}

void WorkTab::ShowPupils(const QStringList& pupils) {
    QStringList ticked;
    for (int i = 0; i < pupils_->count(); ++i)
        if (pupils_->item(i)->checkState() == Qt::Checked) ticked << pupils_->item(i)->text();
    pupils_->clear();
    for (const QString& name : pupils) {
        auto* item = new QListWidgetItem(name, pupils_);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        item->setCheckState(ticked.contains(name) ? Qt::Checked : Qt::Unchecked);
    }
}

void WorkTab::Reload() {
    const qint64 chosen = ChosenPiece() ? ChosenPiece()->id : 0;
    sync::Fetched<WorkPiece> pieces;
    sync::Fetched<WorkProgressRow> progress;
    if (source_ && !class_name_.isEmpty()) {
        pieces = source_->List(class_name_);
        if (pieces.ok()) progress = source_->Progress(class_name_);
    }
    const QString problem = !pieces.ok() ? pieces.problem : progress.problem;
    pieces_->SetRows(std::move(pieces.rows));
    progress_lines_ = ProgressLines(pieces_->rows(), progress.rows);
    progress_->SetRows(progress_lines_);
    piece_table_->resizeColumnsToContents();
    // The table stays within its half: long titles and skills are cut short.
    for (int column : {WorkTableModel::WhatColumn, WorkTableModel::ForWhomColumn})
        piece_table_->setColumnWidth(column, std::min(piece_table_->columnWidth(column), 150));
    progress_table_->resizeColumnsToContents();
    if (chosen) {
        // The same piece stays chosen; the form keeps what the teacher typed.
        const QSignalBlocker keep_form(piece_table_->selectionModel());
        ChoosePiece(chosen);
        piece_table_->viewport()->update();
    }
    if (!problem.isEmpty()) message_->setText(problem);
}

const WorkPiece* WorkTab::ChosenPiece() const {
    const QModelIndex current = piece_table_->selectionModel()->currentIndex();
    const auto& rows = pieces_->rows();
    return current.isValid() && current.row() < int(rows.size()) ? &rows[current.row()] : nullptr;
}

void WorkTab::ChoosePiece(qint64 id) {
    const auto& rows = pieces_->rows();
    for (std::size_t i = 0; i < rows.size(); ++i)
        if (rows[i].id == id) {
            piece_table_->selectionModel()->setCurrentIndex(
                pieces_->index(int(i), 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
            return;
        }
}

WorkPiece WorkTab::FormPiece() const {
    WorkPiece piece;
    if (const WorkPiece* chosen = ChosenPiece()) piece = *chosen;
    piece.title = title_->text().trimmed();
    const int what = what_->currentIndex();
    if (what >= 0 && what < int(WhatChoices().size())) SetWhat(piece, WhatChoices()[what]);
    piece.problems = problems_->value();
    piece.due_day = due_->date();
    piece.pupils.clear();
    if (!whole_class_->isChecked())
        for (int i = 0; i < pupils_->count(); ++i)
            if (pupils_->item(i)->checkState() == Qt::Checked) piece.pupils << pupils_->item(i)->text();
    return piece;
}

void WorkTab::ShowPiece(const WorkPiece& piece) {
    title_->setText(piece.title);
    what_->setCurrentIndex(WhatIndex(piece));
    problems_->setValue(piece.problems);
    if (piece.due_day.isValid()) due_->setDate(piece.due_day);
    whole_class_->setChecked(piece.pupils.isEmpty());
    for (int i = 0; i < pupils_->count(); ++i)
        pupils_->item(i)->setCheckState(piece.pupils.contains(pupils_->item(i)->text()) ? Qt::Checked
                                                                                        : Qt::Unchecked);
}

void WorkTab::Say(const QString& message) { message_->setText(message); }

void WorkTab::MakePiece() {
    if (!source_) return;
    WorkPiece piece = FormPiece();
    if (const QString problem = WorkFormProblem(piece, whole_class_->isChecked(), true, today_); !problem.isEmpty())
        return Say(problem);
    const sync::MadeWork made = source_->Make(class_name_, piece);
    if (!made.problem.isEmpty()) return Say(made.problem);
    Reload();
    ChoosePiece(made.id);
    Say(QStringLiteral("「%1」を つくりました。").arg(piece.title));
}

void WorkTab::ChangePiece() {
    if (!source_) return;
    const WorkPiece* chosen = ChosenPiece();
    if (!chosen) return Say(QStringLiteral("なおす かだいを 表から えらんでください。"));
    if (chosen->withdrawn()) return Say(QStringLiteral("とりけした かだいは なおせません。"));
    const WorkPiece piece = FormPiece();
    if (const QString problem = WorkFormProblem(piece, whole_class_->isChecked(), false, today_); !problem.isEmpty())
        return Say(problem);
    if (const QString refused = source_->Change(piece); !refused.isEmpty()) return Say(refused);
    Reload();
    Say(QStringLiteral("「%1」を なおしました。").arg(piece.title));
}

void WorkTab::WithdrawPiece() {
    if (!source_) return;
    const WorkPiece* chosen = ChosenPiece();
    if (!chosen) return Say(QStringLiteral("とりけす かだいを 表から えらんでください。"));
    if (chosen->withdrawn()) return Say(QStringLiteral("その かだいは もう とりけしてあります。"));
    const WorkPiece piece = *chosen;
    const QString question =
        QStringLiteral("「%1」を とりけしますか？\n子どもの かだいから 消えます。こたえは のこります。").arg(piece.title);
    if (ctx_.dialogs.AskYesNo(question.toStdString()) != Answer::Yes) return;
    if (const QString refused = source_->Withdraw(piece.id); !refused.isEmpty()) return Say(refused);
    Reload();
    Say(QStringLiteral("「%1」を とりけしました。").arg(piece.title));
}

void WorkTab::ExportProgress() {
    const QString suggested = QStringLiteral("kadai-%1.csv").arg(today_.toString(QStringLiteral("yyyyMMdd")));
    const QString path = ask_save_path ? ask_save_path(suggested) : QString();
    if (path.isEmpty()) return;
    QString error = report::ExportTargetProblem(path, record_path_);
    if (error.isEmpty() && WriteProgressCsv(progress_lines_, path, &error))
        ctx_.dialogs.ShowInformation(QStringLiteral("「%1」に書き出しました。").arg(path).toStdString());
    else
        ctx_.dialogs.ShowMessage(error.toStdString());
}

}  // namespace sorelka
