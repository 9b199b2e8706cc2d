#include "app/teacher/sign_in_dialog.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "sync/teacher_session.h"
#include "widgets/look.h"

namespace sorelka {

SignInDialog::SignInDialog(const sync::ServerConfig& pc_config, QWidget* parent)
    : QDialog(parent), pc_config_(pc_config) {
    setObjectName(QStringLiteral("SignInDialog"));
    setWindowTitle(QStringLiteral("先生用"));
    setFont(SchoolFont(16));
    SetBackground(this, kMenuBackground);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(28, 20, 28, 20);
    auto* prompt = new QLabel(QStringLiteral("学校のサーバーの アカウントで サインインしてください。"), this);
    SetTextColour(prompt, kNavyColour);
    prompt->setWordWrap(true);
    layout->addWidget(prompt);

    auto* form = new QFormLayout;
    user_ = new QLineEdit(this);
    user_->setObjectName(QStringLiteral("TeacherUserEdit"));
    user_->setAccessibleName(QStringLiteral("ユーザー名"));
    form->addRow(QStringLiteral("ユーザー名"), user_);
    password_ = new QLineEdit(this);
    password_->setObjectName(QStringLiteral("TeacherPasswordEdit"));
    password_->setAccessibleName(QStringLiteral("パスワード"));
    password_->setEchoMode(QLineEdit::Password);
    form->addRow(QStringLiteral("パスワード"), password_);
    layout->addLayout(form);

    message_ = new QLabel(this);
    message_->setObjectName(QStringLiteral("SignInMessage"));
    message_->setAccessibleName(QStringLiteral("サインインのおしらせ"));
    message_->setTextFormat(Qt::PlainText);
    SetTextColour(message_, QColor(0xC0, 0x00, 0x00));
    message_->setWordWrap(true);
    message_->setMinimumHeight(52);
    layout->addWidget(message_);

    auto* buttons = new QHBoxLayout;
    auto* this_pc = new QPushButton(QStringLiteral("このPCの記録だけ見る…"), this);
    this_pc->setObjectName(QStringLiteral("ThisPcOnlyButton"));
    buttons->addWidget(this_pc);
    buttons->addStretch();
    auto* ok = new QPushButton(QStringLiteral("サインイン"), this);
    ok->setObjectName(QStringLiteral("SignInButton"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("やめる"), this);
    cancel->setObjectName(QStringLiteral("SignInCancelButton"));
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    connect(ok, &QPushButton::clicked, this, &SignInDialog::Submit);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(this_pc, &QPushButton::clicked, this, [this] {
        this_pc_only_ = true;
        reject();
    });
    // A server that would not be verified is told at once: the teacher
    // types no password for it.
    if (const QString refusal = sync::TeacherSession::Refusal(pc_config_); !refusal.isEmpty()) {
        message_->setText(refusal);
        password_->setEnabled(false);
        ok->setEnabled(false);
    }
    resize(560, sizeHint().height());
}

SignInDialog::~SignInDialog() = default;

std::unique_ptr<sync::TeacherSession> SignInDialog::TakeSession() { return std::move(session_); }

void SignInDialog::Submit() {
    QString problem;
    session_ = sync::TeacherSession::SignIn(pc_config_, user_->text(), password_->text(), &problem);
    // The typed password leaves the edit whatever the outcome.
    password_->clear();
    if (!session_) {
        message_->setText(problem);
        password_->setFocus();
        return;
    }
    message_->clear();
    accept();
}

}  // namespace sorelka
