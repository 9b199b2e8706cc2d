#include "app/roster_tab.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/app_context.h"
#include "record/learning_record.h"

namespace sorelka {

RosterTab::RosterTab(record::LearningRecord& record, AppContext& ctx, QWidget* parent)
    : TeacherTab(parent), record_(record), ctx_(ctx) {
    auto* layout = new QVBoxLayout(this);
    roster_ = new QListWidget(this);
    roster_->setObjectName(QStringLiteral("RosterList"));
    roster_->setAccessibleName(QStringLiteral("名簿"));
    layout->addWidget(roster_);
    auto* row = new QHBoxLayout;
    name_ = new QLineEdit(this);
    name_->setObjectName(QStringLiteral("RosterName"));
    name_->setAccessibleName(QStringLiteral("名前"));
    name_->setPlaceholderText(QStringLiteral("名前"));
    row->addWidget(name_);
    auto* add = TeacherButton(QStringLiteral("AddButton"), QStringLiteral("ふやす"), this);
    auto* rename = TeacherButton(QStringLiteral("RenameButton"), QStringLiteral("名前をかえる"), this);
    auto* archive = TeacherButton(QStringLiteral("ArchiveButton"), QStringLiteral("おやすみ／もどす"), this);
    auto* remove = TeacherButton(QStringLiteral("DeleteButton"), QStringLiteral("けす"), this);
    for (QPushButton* b : {add, rename, archive, remove}) row->addWidget(b);
    layout->addLayout(row);
    message_ = new QLabel(this);
    message_->setObjectName(QStringLiteral("RosterMessage"));
    message_->setAccessibleName(QStringLiteral("名簿のおしらせ"));
    message_->setTextFormat(Qt::PlainText);  // names are shown as typed, never as markup
    layout->addWidget(message_);

    connect(roster_, &QListWidget::currentRowChanged, this, [this] { name_->setText(ChosenName()); });
    connect(add, &QPushButton::clicked, this, &RosterTab::AddPupil);
    connect(rename, &QPushButton::clicked, this, &RosterTab::RenamePupil);
    connect(archive, &QPushButton::clicked, this, &RosterTab::ArchivePupil);
    connect(remove, &QPushButton::clicked, this, &RosterTab::DeletePupil);
}

void RosterTab::Show(const ClassView&) {
    const QString chosen = ChosenName();
    roster_->clear();
    for (const auto& entry : record_.Roster()) {
        auto* item = new QListWidgetItem(
            entry.archived ? entry.name + QStringLiteral("（おやすみ）") : entry.name, roster_);
        item->setData(Qt::UserRole, entry.name);
        if (entry.name == chosen) roster_->setCurrentItem(item);
    }
}

QString RosterTab::ChosenName() const {
    const QListWidgetItem* item = roster_ ? roster_->currentItem() : nullptr;
    return item ? item->data(Qt::UserRole).toString() : QString();
}

void RosterTab::Say(const QString& message) {
    message_->setText(message);
    emit recordChanged();
}

void RosterTab::AddPupil() {
    const record::NameCheck check = record_.AddPupil(name_->text());
    Say(check.ok() ? QStringLiteral("「%1」をふやしました。").arg(check.name) : check.refusal);
}

void RosterTab::RenamePupil() {
    const QString name = ChosenName();
    if (name.isEmpty()) {
        message_->setText(QStringLiteral("名前をかえる子をえらんでください。"));
        return;
    }
    const record::NameCheck check = record_.RenamePupil(name, name_->text());
    Say(check.ok() ? QStringLiteral("「%1」を「%2」にしました。").arg(name, check.name) : check.refusal);
}

void RosterTab::ArchivePupil() {
    const QString name = ChosenName();
    if (name.isEmpty()) return;
    bool archived = false;
    for (const auto& entry : record_.Roster())
        if (entry.name == name) archived = entry.archived;
    record_.SetArchived(name, !archived);
    Say(!archived ? QStringLiteral("「%1」をおやすみにしました（きろくは のこります）。").arg(name)
                  : QStringLiteral("「%1」をもどしました。").arg(name));
}

void RosterTab::DeletePupil() {
    const QString name = ChosenName();
    if (name.isEmpty()) return;
    const int answers = record_.AnswerCount(name);
    const QString question =
        QStringLiteral("「%1」を名簿からけします。答え %2 問のきろくもいっしょにけします。よろしいですか？")
            .arg(name, QString::number(answers));  // one call: a "%1" in a name stays as typed
    if (ctx_.dialogs.AskYesNo(question.toStdString()) != Answer::Yes) return;
    record_.DeletePupil(name);
    Say(QStringLiteral("「%1」をけしました。").arg(name));
}

}  // namespace sorelka
