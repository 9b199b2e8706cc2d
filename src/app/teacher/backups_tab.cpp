#include "app/teacher/backups_tab.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>
#include <cstdio>

#include "app/teacher/teacher_models.h"
#include "core/app_context.h"
#include "record/learning_record.h"
#include "record/private_files.h"
#include "widgets/look.h"

namespace sorelka {

// One copy as the table shows it.
struct ListedCopy {
    record::KeptCopy copy;
    std::optional<record::CopyContents> contents;
};

class KeptCopiesModel : public RowsModel<ListedCopy> {
public:
    enum Column { WhatColumn, ModifiedColumn, PupilsColumn, AnswersColumn, FileColumn };
    explicit KeptCopiesModel(QObject* parent)
        : RowsModel({QStringLiteral("コピー"), QStringLiteral("ファイルの日時"), QStringLiteral("子ども"),
                     QStringLiteral("答え"), QStringLiteral("ファイル")},
                    parent) {}

    QVariant data(const QModelIndex& index, int role) const override {
        const ListedCopy* row = RowAt(index);
        if (!row) return {};
        const bool figure = index.column() == PupilsColumn || index.column() == AnswersColumn;
        if (role == Qt::TextAlignmentRole && figure) return int(Qt::AlignRight | Qt::AlignVCenter);
        if (role == Qt::ToolTipRole) return PlainToolTip(row->copy.path);
        if (role != Qt::DisplayRole) return {};
        const auto& contents = row->contents;
        const QLocale locale;
        switch (index.column()) {
            case WhatColumn: return record::DescribeKeptCopy(row->copy);
            case ModifiedColumn: return row->copy.modified.toString(QStringLiteral("yyyy/MM/dd HH:mm"));
            case PupilsColumn: return contents ? locale.toString(contents->pupils) + QStringLiteral("人") : QStringLiteral("よめません");
            case AnswersColumn: return contents ? locale.toString(contents->answers) + QStringLiteral("問") : QStringLiteral("よめません");
            case FileColumn: return QFileInfo(row->copy.path).fileName();
        }
        return {};
    }
};

namespace {

// A copy the tab may read, put back or remove: a regular file in the
// record's folder (a set-aside file) or in its backups folder, with no link
// on the way that could lead out of it.
bool OwnCopy(const record::KeptCopy& copy, const QString& record_path) {
    const QString folder = QFileInfo(record_path).absolutePath();
    return record::PlainFileWithin(copy.path, copy.kind == record::KeptCopy::Kind::SetAside
                                                  ? folder
                                                  : folder + QStringLiteral("/backups"));
}

}  // namespace

BackupsTab::BackupsTab(record::LearningRecord& record, AppContext& ctx, QWidget* parent)
    : TeacherTab(parent), record_(record), ctx_(ctx) {
    auto* layout = new QVBoxLayout(this);
    auto* about = new QLabel(
        QStringLiteral("記録のファイルの コピーです。えらんだ コピーから 記録を もどせます（いまの記録は けさずに よけておきます）。"),
        this);
    about->setWordWrap(true);
    layout->addWidget(about);
    model_ = new KeptCopiesModel(this);
    table_ = TeacherTable(QStringLiteral("BackupTable"), QStringLiteral("記録のコピーの表"), model_, this);
    layout->addWidget(table_);
    auto* buttons = new QHBoxLayout;
    auto* restore = TeacherButton(QStringLiteral("RestoreButton"), QStringLiteral("このコピーから もどす"), this);
    auto* remove = TeacherButton(QStringLiteral("RemoveCopyButton"), QStringLiteral("このコピーを けす"), this);
    buttons->addWidget(restore);
    buttons->addWidget(remove);
    buttons->addStretch();
    layout->addLayout(buttons);
    message_ = new QLabel(this);
    message_->setObjectName(QStringLiteral("BackupMessage"));
    message_->setAccessibleName(QStringLiteral("バックアップのおしらせ"));
    message_->setTextFormat(Qt::PlainText);  // file names as they are, never as markup
    message_->setWordWrap(true);
    layout->addWidget(message_);
    connect(restore, &QPushButton::clicked, this, &BackupsTab::RestoreChosen);
    connect(remove, &QPushButton::clicked, this, &BackupsTab::RemoveChosen);
}

void BackupsTab::Show(const ClassView&) { ListCopies(); }

std::optional<record::CopyContents> BackupsTab::ContentsOf(const record::KeptCopy& copy) {
    Read& read = read_[copy.path];
    if (read.modified != copy.modified || read.bytes != copy.bytes || read.modified.isNull())
        read = {copy.modified, copy.bytes, record::ReadCopyContents(copy.path)};
    return read.contents;
}

void BackupsTab::ListCopies() {
    const QModelIndex chosen = table_->currentIndex();
    const QString chosen_path = chosen.isValid() ? model_->rows()[chosen.row()].copy.path : QString();
    std::vector<ListedCopy> rows;
    for (record::KeptCopy& copy : record::ListKeptCopies(record_.store().path())) {
        if (!OwnCopy(copy, record_.store().path())) continue;
        auto contents = ContentsOf(copy);
        rows.push_back({std::move(copy), contents});
    }
    model_->SetRows(std::move(rows));
    for (int r = 0; r < int(model_->rows().size()); ++r)
        if (model_->rows()[r].copy.path == chosen_path) table_->selectRow(r);
    table_->resizeColumnsToContents();
}

std::optional<record::KeptCopy> BackupsTab::ChosenCopy(const QString& ask) {
    const QModelIndex chosen = table_->currentIndex();
    if (!chosen.isValid() || !table_->selectionModel()->isRowSelected(chosen.row(), {})) {
        message_->setText(ask);
        return std::nullopt;
    }
    // Looked at again: the file may have been changed since it was listed.
    const record::KeptCopy& copy = model_->rows()[chosen.row()].copy;
    if (!OwnCopy(copy, record_.store().path())) {
        message_->setText(QStringLiteral("この コピーは もう ありません。"));
        ListCopies();
        return std::nullopt;
    }
    return copy;
}

void BackupsTab::Say(const QString& message, const QString& detail, bool ok) {
    if (!detail.isEmpty()) std::fprintf(stderr, "Sorelka: %s\n", qPrintable(detail));
    message_->setText(message);
    if (ok)
        ctx_.dialogs.ShowInformation(message.toStdString());
    else
        ctx_.dialogs.ShowMessage(message.toStdString());
}

void BackupsTab::RestoreChosen() {
    const auto copy = ChosenCopy(QStringLiteral("もどす コピーを えらんでください。"));
    if (!copy) return;
    const QString question =
        QStringLiteral("記録を 「%1」 に もどします。いまの記録のファイルは けさずに よけておきます。よろしいですか？")
            .arg(record::DescribeKeptCopy(*copy));
    if (ctx_.dialogs.AskYesNo(question.toStdString()) != Answer::Yes) return;
    const record::RestoreResult result = record_.store().Restore(copy->path);
    // The chosen pupil stays only if the restored roster has them.
    if (result.ok()) record_.ChoosePupil(record_.current_pupil());
    Say(result.message,
        result.detail.isEmpty() ? QString() : QStringLiteral("restoring %1: %2").arg(copy->path, result.detail),
        result.ok());
    ListCopies();
    if (result.ok()) emit recordChanged();
}

void BackupsTab::RemoveChosen() {
    const auto copy = ChosenCopy(QStringLiteral("けす コピーを えらんでください。"));
    if (!copy) return;
    if (copy->kind == record::KeptCopy::Kind::Backup) {
        // Asked nothing: the answer would not matter.
        message_->setText(record::RemoveKeptCopy(record_.store().path(), copy->path).message);
        return;
    }
    const QString question = QStringLiteral("「%1」を けします。けした コピーからは もう もどせません。よろしいですか？")
                                 .arg(record::DescribeKeptCopy(*copy));
    if (ctx_.dialogs.AskYesNo(question.toStdString()) != Answer::Yes) return;
    const record::RemoveResult result = record::RemoveKeptCopy(record_.store().path(), copy->path);
    Say(result.message,
        result.detail.isEmpty() ? QString() : QStringLiteral("removing %1: %2").arg(copy->path, result.detail),
        result.removed);
    ListCopies();
}

}  // namespace sorelka
