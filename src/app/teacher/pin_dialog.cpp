#include "app/teacher/pin_dialog.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "report/teacher_pin.h"
#include "widgets/look.h"

namespace sorelka {

namespace {

QLineEdit* PinEdit(const QString& name, const QString& accessible, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setAccessibleName(accessible);
    edit->setEchoMode(QLineEdit::Password);
    edit->setMaxLength(4);
    edit->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,4}")), edit));
    edit->setFont(SchoolFont(28));
    edit->setFixedWidth(160);
    return edit;
}

// "30秒", "2分", "1分30秒".
QString Duration(int seconds) {
    if (seconds < 60) return QStringLiteral("%1秒").arg(seconds);
    if (seconds % 60 == 0) return QStringLiteral("%1分").arg(seconds / 60);
    return QStringLiteral("%1分%2秒").arg(seconds / 60).arg(seconds % 60);
}

}  // namespace

PinDialog::PinDialog(report::TeacherPin& pin, QWidget* parent) : QDialog(parent), pin_(pin) {
    setObjectName(QStringLiteral("PinDialog"));
    setWindowTitle(QStringLiteral("先生用"));
    setFont(SchoolFont(18));
    SetBackground(this, kMenuBackground);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(28, 20, 28, 20);
    prompt_ = new QLabel(this);
    prompt_->setObjectName(QStringLiteral("PinPrompt"));
    SetTextColour(prompt_, kNavyColour);
    layout->addWidget(prompt_);

    auto* form = new QFormLayout;
    edit_ = PinEdit(QStringLiteral("PinEdit"), QStringLiteral("PIN"), this);
    form->addRow(QStringLiteral("PIN"), edit_);
    again_ = PinEdit(QStringLiteral("PinAgainEdit"), QStringLiteral("PIN（もう一度）"), this);
    again_label_ = new QLabel(QStringLiteral("もう一度"), this);
    form->addRow(again_label_, again_);
    layout->addLayout(form);

    message_ = new QLabel(this);
    message_->setObjectName(QStringLiteral("PinMessage"));
    message_->setAccessibleName(QStringLiteral("PINのおしらせ"));
    message_->setTextFormat(Qt::PlainText);
    SetTextColour(message_, QColor(0xC0, 0x00, 0x00));
    message_->setWordWrap(true);
    message_->setMinimumHeight(52);
    layout->addWidget(message_);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    auto* ok = new QPushButton(QStringLiteral("ひらく"), this);
    ok_ = ok;
    ok->setObjectName(QStringLiteral("PinOkButton"));
    ok->setAccessibleName(QStringLiteral("ひらく"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("やめる"), this);
    cancel->setObjectName(QStringLiteral("PinCancelButton"));
    cancel->setAccessibleName(QStringLiteral("やめる"));
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    connect(ok, &QPushButton::clicked, this, &PinDialog::Submit);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    ShowMode();
    resize(520, sizeHint().height());
}

void PinDialog::ShowMode() {
    using State = report::TeacherPin::State;
    const State state = pin_.state();
    const bool setting = state == State::FirstUse;
    const bool open = state == State::Set || setting;
    switch (state) {
        case State::Set: prompt_->setText(QStringLiteral("先生用のPIN（数字４けた）を入れてください。")); break;
        case State::FirstUse: prompt_->setText(QStringLiteral("先生用のPIN（数字４けた）を決めてください。")); break;
        case State::AskAdministrator:
            prompt_->setText(QStringLiteral("先生用のPINが設定されていません。"));
            message_->setText(QStringLiteral(
                "管理者に「sorelka --set-teacher-pin」でPINを設定してもらってください。"));
            break;
        case State::Unreadable:
            prompt_->setText(QStringLiteral("先生用のPINの設定が読めません。"));
            message_->setText(QStringLiteral(
                "管理者に「sorelka --set-teacher-pin」でPINを設定しなおしてもらってください。"));
            break;
        case State::Untrusted:
            prompt_->setText(QStringLiteral("先生用のPINの設定ファイルが安全ではありません。"));
            message_->setText(pin_.system_problem() + QStringLiteral("管理者に知らせてください。"));
            break;
    }
    edit_->setEnabled(open);
    again_->setVisible(setting);
    again_label_->setVisible(setting);
    ok_->setEnabled(open);
}

void PinDialog::Submit() {
    const QString typed = edit_->text();
    edit_->clear();
    if (pin_.state() == report::TeacherPin::State::FirstUse) {
        const QString second = again_->text();
        again_->clear();
        switch (pin_.Set(typed, second)) {
            case report::TeacherPin::SetResult::Set:
                message_->clear();
                accept();
                return;
            case report::TeacherPin::SetResult::NotFourDigits:
                message_->setText(QStringLiteral("数字を４けた入れてください。"));
                return;
            case report::TeacherPin::SetResult::Mismatch:
                message_->setText(QStringLiteral("２回目が１回目とちがいます。もう一度入れてください。"));
                return;
            case report::TeacherPin::SetResult::NotFirstUse:
                ShowMode();
                return;
        }
    }
    switch (pin_.Try(typed)) {
        case report::TeacherPin::TryResult::Open:
            message_->clear();
            accept();
            return;
        case report::TeacherPin::TryResult::NotFourDigits:
            message_->setText(QStringLiteral("数字を４けた入れてください。"));
            return;
        case report::TeacherPin::TryResult::Wrong:
        case report::TeacherPin::TryResult::Waiting:
            if (pin_.seconds_to_wait() > 0)
                message_->setText(QStringLiteral("%1回まちがえました。%2まってから入れてください。")
                                      .arg(pin_.wrong_tries())
                                      .arg(Duration(pin_.seconds_to_wait())));
            else
                message_->setText(QStringLiteral("PINがちがいます（あと%1回で%2秒まちます）。")
                                      .arg(report::TeacherPin::kTriesBeforeWait - pin_.wrong_tries())
                                      .arg(report::TeacherPin::kWaitSeconds));
            return;
        case report::TeacherPin::TryResult::NotSet:
            ShowMode();
            return;
    }
}

}  // namespace sorelka
