#include "app/pupil_dialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QVBoxLayout>

#include "record/class_roster.h"
#include "record/learning_record.h"
#include "widgets/cute_button.h"
#include "widgets/look.h"

namespace sorelka {

namespace {

constexpr int kColumns = 4;
const QColor kChosenColour{0xFF, 0xC8, 0xD8};
const QColor kNameColour{0xFF, 0xF4, 0xD6};

CuteButton* NameButton(const QString& object_name, const QString& caption, bool chosen,
                       QWidget* parent) {
    // A name is shown as written: "&" is no shortcut mark here.
    QString shown = caption;
    shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
    auto* button = new CuteButton(object_name, shown, chosen ? kChosenColour : kNameColour,
                                  kNavyColour, parent);
    button->setFont(SchoolFont(22, true));
    button->setMinimumSize(180, 60);
    button->setToolTip(PlainToolTip(caption));
    button->setAccessibleName(caption);
    return button;
}

}  // namespace

PupilDialog::PupilDialog(record::LearningRecord& record, QWidget* parent)
    : QDialog(parent), record_(record) {
    setObjectName(QStringLiteral("PupilDialog"));
    setWindowTitle(QStringLiteral("なまえをえらぶ"));
    setFont(SchoolFont(18));
    SetBackground(this, kMenuBackground);
    resize(860, 600);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(28, 20, 28, 20);
    layout->setSpacing(14);

    auto* heading = new QLabel(QStringLiteral("だれが べんきょうするの？"), this);
    heading->setObjectName(QStringLiteral("Label1"));
    heading->setFont(SchoolFont(30, true));
    SetTextColour(heading, kNavyColour);
    layout->addWidget(heading);

    auto* scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setFocusPolicy(Qt::NoFocus);  // Tab goes straight to the name buttons
    scroll->viewport()->setAutoFillBackground(false);
    names_ = new QWidget(scroll);
    names_->setAutoFillBackground(false);
    grid_ = new QGridLayout(names_);
    grid_->setSpacing(12);
    grid_->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    scroll->setWidget(names_);
    layout->addWidget(scroll, 1);

    auto* add_heading = new QLabel(QStringLiteral("あたらしい なまえ"), this);
    add_heading->setFont(SchoolFont(20, true));
    SetTextColour(add_heading, kNavyColour);
    layout->addWidget(add_heading);

    auto* add_row = new QHBoxLayout;
    new_name_ = new QLineEdit(this);
    new_name_->setObjectName(QStringLiteral("NewPupilName"));
    new_name_->setFont(SchoolFont(24));
    new_name_->setMinimumHeight(52);
    new_name_->setPlaceholderText(QStringLiteral("ここに なまえを かいてね"));
    new_name_->setAccessibleName(QStringLiteral("あたらしい なまえ"));
    add_heading->setBuddy(new_name_);
    add_row->addWidget(new_name_, 1);
    auto* add = new CuteButton(QStringLiteral("AddPupilButton"), QStringLiteral("ふやす"),
                               kPracticeGreen, kNavyColour, this);
    add->setFont(SchoolFont(22, true));
    add->setMinimumSize(150, 52);
    add_ = add;
    add_row->addWidget(add);
    layout->addLayout(add_row);

    message_ = new QLabel(this);
    message_->setObjectName(QStringLiteral("PupilMessage"));
    message_->setTextFormat(Qt::PlainText);
    message_->setFont(SchoolFont(20, true));
    SetTextColour(message_, Qt::red);
    message_->setMinimumHeight(30);
    layout->addWidget(message_);

    connect(add, &QPushButton::clicked, this, &PupilDialog::AddPupil);
    connect(new_name_, &QLineEdit::returnPressed, this, &PupilDialog::AddPupil);
    BuildNameButtons();
}

void PupilDialog::BuildNameButtons() {
    while (QLayoutItem* item = grid_->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    const QString current = record_.current_pupil();
    // The PC's own class first, then every other class; with more than one
    // class each begins a row under its name.
    const std::vector<record::ClassRoster::Group> groups = record::ClassRoster(record_.store()).PupilsByClass();
    int index = 0;
    auto place = [&](CuteButton* button, const QString& name) {
        grid_->addWidget(button, index / kColumns, index % kColumns);
        button->show();  // the dialog may be showing already
        ++index;
        connect(button, &QPushButton::clicked, this, [this, name] { Choose(name); });
    };
    int number = 0;
    for (const record::ClassRoster::Group& group : groups) {
        if (groups.size() > 1) {
            index = (index + kColumns - 1) / kColumns * kColumns;
            auto* heading = new QLabel(group.class_name, names_);
            heading->setObjectName(QStringLiteral("ClassHeading%1").arg(index / kColumns + 1));
            heading->setTextFormat(Qt::PlainText);
            SetTextColour(heading, kNavyColour);
            grid_->addWidget(heading, index / kColumns, 0, 1, kColumns);
            heading->show();
            index += kColumns;
        }
        for (const QString& name : group.pupils)
            place(NameButton(QStringLiteral("PupilButton%1").arg(++number), name, name == current, names_), name);
    }
    place(NameButton(QStringLiteral("GuestButton"), record::kGuestName, current.isEmpty(), names_),
          QString());

    // Tab in reading order (the names, then the new name and its button), the
    // focus on the name chosen now, so Enter keeps it.
    QList<QWidget*> order;
    QWidget* chosen = nullptr;
    for (int i = 0; i < grid_->count(); ++i) {
        auto* button = qobject_cast<CuteButton*>(grid_->itemAt(i)->widget());
        if (!button) continue;  // a class's name
        order.push_back(button);
        const bool is_current = button->objectName() == QStringLiteral("GuestButton")
                                    ? current.isEmpty()
                                    : button->toolTip() == current;
        if (is_current) {
            chosen = button;
            button->setAccessibleDescription(QStringLiteral("いま えらんでいる なまえ"));
        }
    }
    order << new_name_ << add_;
    for (int i = 1; i < order.size(); ++i) QWidget::setTabOrder(order[i - 1], order[i]);
    (chosen ? chosen : order.front())->setFocus(Qt::OtherFocusReason);
}

void PupilDialog::AddPupil() {
    const record::NameCheck check = record_.AddPupil(new_name_->text());
    if (!check.ok()) {
        message_->setText(check.refusal);
        return;
    }
    message_->setText(QStringLiteral("「%1」を ふやしたよ！").arg(check.name));
    new_name_->clear();
    BuildNameButtons();
}

void PupilDialog::Choose(const QString& name) {
    record_.ChoosePupil(name);
    accept();
}

}  // namespace sorelka
