#include "app/teacher/unmatched_panel.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/teacher/teacher_tab.h"

namespace sorelka {

UnmatchedPanel::UnmatchedPanel(QWidget* parent) : QGroupBox(QStringLiteral("名簿にない名前（PCから）"), parent) {
    setObjectName(QStringLiteral("UnmatchedPanel"));
    auto* layout = new QVBoxLayout(this);
    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("UnmatchedList"));
    list_->setAccessibleName(QStringLiteral("名簿にない名前"));
    layout->addWidget(list_);
    auto* row = new QHBoxLayout;
    attach_to_ = new QComboBox(this);
    attach_to_->setObjectName(QStringLiteral("AttachTo"));
    attach_to_->setAccessibleName(QStringLiteral("つなぐ先の人"));
    row->addWidget(attach_to_, 1);
    auto* attach = TeacherButton(QStringLiteral("AttachButton"), QStringLiteral("つなぐ"), this);
    auto* drop = TeacherButton(QStringLiteral("DropButton"), QStringLiteral("すてる"), this);
    row->addWidget(attach);
    row->addWidget(drop);
    layout->addLayout(row);
    message_ = new QLabel(this);
    message_->setObjectName(QStringLiteral("UnmatchedMessage"));
    message_->setTextFormat(Qt::PlainText);  // names as sent, never as markup
    message_->setWordWrap(true);
    layout->addWidget(message_);
    connect(attach, &QPushButton::clicked, this, &UnmatchedPanel::Attach);
    connect(drop, &QPushButton::clicked, this, &UnmatchedPanel::Drop);
    setVisible(false);
}

void UnmatchedPanel::UseServer(sync::TeacherSession* session) {
    session_ = session;
    setVisible(session_ != nullptr);
}

void UnmatchedPanel::ShowClass(const QString& class_name) {
    class_ = class_name;
    list_->clear();
    attach_to_->clear();
    rows_.clear();
    if (!session_ || class_.isEmpty()) return;
    QString problem;
    rows_ = session_->Unmatched(class_, &problem);
    for (const sync::UnmatchedPupil& row : rows_) {
        const QString days = row.answers > 0 ? QStringLiteral("、%1〜%2").arg(row.first_day, row.last_day) : QString();
        list_->addItem(QStringLiteral("%1（%2、答え %3 問%4）")
                           .arg(row.name, row.pc.isEmpty() ? row.pc_id.left(8) : row.pc,
                                QString::number(row.answers), days));
    }
    if (!rows_.empty()) list_->setCurrentRow(0);
    const sync::PgResult listed =
        session_->Exec(QStringLiteral("select pupil from sorelka_pupils($1)"), {sync::Bound(class_)});
    for (int i = 0; listed.ok() && i < listed.rows(); ++i) attach_to_->addItem(listed.text(i, 0));
    if (!problem.isEmpty()) message_->setText(problem);
}

const sync::UnmatchedPupil* UnmatchedPanel::Chosen() const {
    const int row = list_->currentRow();
    return row >= 0 && row < int(rows_.size()) ? &rows_[std::size_t(row)] : nullptr;
}

void UnmatchedPanel::Done(const QString& refusal, const QString& said) {
    message_->setText(refusal.isEmpty() ? said : refusal);
    if (!refusal.isEmpty()) return;
    ShowClass(class_);
    emit changed();
}

void UnmatchedPanel::Attach() {
    const sync::UnmatchedPupil* row = Chosen();
    const QString to = attach_to_->currentText();
    if (!session_ || !row) return;
    if (to.isEmpty()) {
        message_->setText(QStringLiteral("つなぐ先の人を えらんでください。"));
        return;
    }
    const QString name = row->name;
    Done(session_->AttachPupil(*row, class_, to), QStringLiteral("「%1」の答えを「%2」につなぎました。").arg(name, to));
}

void UnmatchedPanel::Drop() {
    const sync::UnmatchedPupil* row = Chosen();
    if (!session_ || !row) return;
    const QString name = row->name;
    Done(session_->DropPupil(*row), QStringLiteral("「%1」の答えを すてました（数えません）。").arg(name));
}

}  // namespace sorelka
