#include "app/teacher/roster_tab.h"

#include "app/teacher/unmatched_panel.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/app_context.h"
#include "record/class_roster.h"
#include "record/learning_record.h"
#include "sync/teacher_session.h"

namespace sorelka {

RosterTab::RosterTab(record::LearningRecord& record, AppContext& ctx, QWidget* parent)
    : TeacherTab(parent), record_(record), ctx_(ctx) {
    auto* layout = new QHBoxLayout(this);
    // The classes on the left, the chosen class's pupils on the right.
    auto* class_side = new QVBoxLayout;
    classes_ = new QListWidget(this);
    classes_->setObjectName(QStringLiteral("ClassList"));
    classes_->setAccessibleName(QStringLiteral("クラス"));
    class_side->addWidget(classes_);
    class_name_ = new QLineEdit(this);
    class_name_->setObjectName(QStringLiteral("ClassName"));
    class_name_->setAccessibleName(QStringLiteral("クラスの名前"));
    class_name_->setPlaceholderText(QStringLiteral("クラスの名前"));
    class_side->addWidget(class_name_);
    auto* class_row = new QHBoxLayout;
    auto* add_class = TeacherButton(QStringLiteral("AddClassButton"), QStringLiteral("クラスをふやす"), this);
    auto* rename_class = TeacherButton(QStringLiteral("RenameClassButton"), QStringLiteral("名前をかえる"), this);
    auto* remove_class = TeacherButton(QStringLiteral("RemoveClassButton"), QStringLiteral("けす"), this);
    for (QPushButton* b : {add_class, rename_class, remove_class}) class_row->addWidget(b);
    class_side->addLayout(class_row);
    auto* pc_row = new QHBoxLayout;
    pc_row->addWidget(new QLabel(QStringLiteral("このPCのクラス"), this));
    this_pc_ = new QComboBox(this);
    this_pc_->setObjectName(QStringLiteral("ThisPcClass"));
    this_pc_->setAccessibleName(QStringLiteral("このPCのクラス"));
    pc_row->addWidget(this_pc_, 1);
    class_side->addLayout(pc_row);
    layout->addLayout(class_side, 2);

    auto* pupil_side = new QVBoxLayout;
    roster_ = new QListWidget(this);
    roster_->setObjectName(QStringLiteral("RosterList"));
    roster_->setAccessibleName(QStringLiteral("名簿"));
    pupil_side->addWidget(roster_);
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
    pupil_side->addLayout(row);
    auto* move_row = new QHBoxLayout;
    move_to_ = new QComboBox(this);
    move_to_->setObjectName(QStringLiteral("MoveToClass"));
    move_to_->setAccessibleName(QStringLiteral("うつす先のクラス"));
    move_row->addWidget(move_to_, 1);
    auto* move = TeacherButton(QStringLiteral("MoveButton"), QStringLiteral("このクラスへうつす"), this);
    move_row->addWidget(move);
    pupil_side->addLayout(move_row);
    message_ = new QLabel(this);
    message_->setObjectName(QStringLiteral("RosterMessage"));
    message_->setAccessibleName(QStringLiteral("名簿のおしらせ"));
    message_->setTextFormat(Qt::PlainText);  // names are shown as typed, never as markup
    message_->setWordWrap(true);
    pupil_side->addWidget(message_);
    unmatched_ = new UnmatchedPanel(this);
    pupil_side->addWidget(unmatched_);
    layout->addLayout(pupil_side, 3);

    connect(roster_, &QListWidget::currentRowChanged, this, [this] { name_->setText(ChosenName()); });
    connect(classes_, &QListWidget::currentRowChanged, this, [this] {
        class_name_->setText(ChosenClass());
        Show({});
    });
    connect(add, &QPushButton::clicked, this, &RosterTab::AddPupil);
    connect(rename, &QPushButton::clicked, this, &RosterTab::RenamePupil);
    connect(archive, &QPushButton::clicked, this, &RosterTab::ArchivePupil);
    connect(remove, &QPushButton::clicked, this, &RosterTab::DeletePupil);
    connect(move, &QPushButton::clicked, this, &RosterTab::MovePupil);
    connect(add_class, &QPushButton::clicked, this, &RosterTab::AddClass);
    connect(rename_class, &QPushButton::clicked, this, &RosterTab::RenameClass);
    connect(remove_class, &QPushButton::clicked, this, &RosterTab::RemoveClass);
    connect(this_pc_, &QComboBox::activated, this, &RosterTab::SetThisPcClass);
    connect(unmatched_, &UnmatchedPanel::changed, this, &RosterTab::recordChanged);
    ShowClasses();
}

void RosterTab::ShowClasses() {
    record::ClassRoster classes(record_.store());
    const QString chosen = ChosenClass();
    const QSignalBlocker block_list(classes_), block_pc(this_pc_);
    classes_->clear();
    this_pc_->clear();
    move_to_->clear();
    this_pc_->addItem(QStringLiteral("なし（コンピューター室）"), QString());
    const QString own = classes.ThisPcClass();
    for (const QString& name : classes.Classes()) {
        auto* item = new QListWidgetItem(name, classes_);
        if (name == chosen || (chosen.isEmpty() && classes_->count() == 1)) classes_->setCurrentItem(item);
        this_pc_->addItem(name, name);
        move_to_->addItem(name);
    }
    this_pc_->setCurrentIndex(std::max(0, this_pc_->findData(own)));
    class_name_->setText(ChosenClass());
}

void RosterTab::Show(const ClassView&) {
    if (classes_->count() == 0) ShowClasses();
    const QString chosen = ChosenName();
    const QString in_class = ChosenClass();
    roster_->clear();
    record::ClassRoster classes(record_.store());
    for (const auto& group : classes.PupilsByClass(true)) {
        if (group.class_name != in_class) continue;
        for (const auto& entry : record_.Roster()) {
            if (!group.pupils.contains(entry.name)) continue;
            auto* item = new QListWidgetItem(
                entry.archived ? entry.name + QStringLiteral("（おやすみ）") : entry.name, roster_);
            item->setData(Qt::UserRole, entry.name);
            if (entry.name == chosen) roster_->setCurrentItem(item);
        }
    }
    unmatched_->ShowClass(in_class);
}

void RosterTab::UseServer(sync::TeacherSession* session) {
    session_ = session;
    unmatched_->UseServer(session);
}

QString RosterTab::ChosenClass() const {
    const QListWidgetItem* item = classes_ ? classes_->currentItem() : nullptr;
    return item ? item->text() : QString();
}

bool RosterTab::OnServer(const std::function<QString(sync::TeacherSession&)>& change) {
    if (!session_) return true;
    const QString refusal = change(*session_);
    if (!refusal.isEmpty()) message_->setText(refusal);
    return refusal.isEmpty();
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
    // Signed in, a pupil this PC has already may still be missing from the
    // school's list of the class: add it there alone.
    const record::NameCheck typed = record::CheckPupilName(name_->text());
    bool here_already = false;
    if (!check.ok() && session_ && typed.ok())
        for (const auto& entry : record_.Roster()) here_already = here_already || entry.name == typed.name;
    if (!check.ok() && !here_already) {
        Say(check.refusal);
        return;
    }
    const QString name = check.ok() ? check.name : typed.name;
    // On the server's list too, in the class this PC put the pupil in; a
    // pupil the list has already is fine.
    QString said = check.ok() ? QStringLiteral("「%1」をふやしました。").arg(name) : check.refusal;
    if (session_) {
        const QString in_class = record::ClassRoster(record_.store()).ClassOf(name);
        const QString refusal = session_->AddPupil(in_class, name);
        const bool listed_already =
            refusal == sync::TeacherSession::Reason(sync::PgResult::NotSent({}, QStringLiteral("23505")));
        if (!refusal.isEmpty() && !listed_already)
            said += QStringLiteral("（学校のサーバーには ふやせません: %1）").arg(refusal);
        else if (here_already && !listed_already)
            said = QStringLiteral("「%1」を 学校のサーバーの名簿に ふやしました。").arg(name);
    }
    Say(said);
}

void RosterTab::RenamePupil() {
    const QString name = ChosenName();
    if (name.isEmpty()) {
        message_->setText(QStringLiteral("名前をかえる子をえらんでください。"));
        return;
    }
    const record::NameCheck check = record::CheckPupilName(name_->text());
    bool taken = false;
    for (const auto& entry : record_.Roster()) taken = taken || (entry.name == check.name && check.name != name);
    // The server first: what it refuses is not done on this PC either.
    const QString in_class = record::ClassRoster(record_.store()).ClassOf(name);
    if (check.ok() && !taken && check.name != name &&
        !OnServer([&](sync::TeacherSession& s) { return s.RenamePupil(in_class, name, check.name); }))
        return;
    const record::NameCheck done = record_.RenamePupil(name, name_->text());
    Say(done.ok() ? QStringLiteral("「%1」を「%2」にしました。").arg(name, done.name) : done.refusal);
}

void RosterTab::ArchivePupil() {
    const QString name = ChosenName();
    if (name.isEmpty()) return;
    bool archived = false;
    for (const auto& entry : record_.Roster())
        if (entry.name == name) archived = entry.archived;
    const QString in_class = record::ClassRoster(record_.store()).ClassOf(name);
    if (!OnServer([&](sync::TeacherSession& s) { return s.ArchivePupil(in_class, name, !archived); })) return;
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
    const QString in_class = record::ClassRoster(record_.store()).ClassOf(name);
    if (!OnServer([&](sync::TeacherSession& s) { return s.DeletePupil(in_class, name); })) return;
    record_.DeletePupil(name);
    Say(QStringLiteral("「%1」をけしました。").arg(name));
}

void RosterTab::MovePupil() {
    const QString name = ChosenName(), to = move_to_->currentText();
    if (name.isEmpty() || to.isEmpty()) return;
    record::ClassRoster classes(record_.store());
    const QString from = classes.ClassOf(name);
    if (from == to) return;
    if (!OnServer([&](sync::TeacherSession& s) { return s.MovePupil(from, name, to); })) return;
    const QString refusal = classes.MovePupil(name, to);
    Say(refusal.isEmpty() ? QStringLiteral("「%1」を「%2」へうつしました。").arg(name, to) : refusal);
}

void RosterTab::AddClass() {
    const QString refusal = record::ClassRoster(record_.store()).AddClass(class_name_->text());
    ShowClasses();
    Say(refusal.isEmpty() ? QStringLiteral("クラス「%1」をふやしました。").arg(class_name_->text().trimmed()) : refusal);
}

void RosterTab::RenameClass() {
    const QString name = ChosenClass(), typed = class_name_->text().trimmed();
    if (name.isEmpty() || typed == name) return;
    record::ClassRoster classes(record_.store());
    if (classes.Classes().contains(typed)) {
        message_->setText(QStringLiteral("「%1」というクラスは、もうあります。").arg(typed));
        return;
    }
    if (!typed.isEmpty() && !OnServer([&](sync::TeacherSession& s) { return s.RenameClass(name, typed); })) return;
    const QString refusal = classes.RenameClass(name, typed);
    if (refusal.isEmpty()) classes_->currentItem()->setText(typed);
    ShowClasses();
    Say(refusal.isEmpty() ? QStringLiteral("クラス「%1」を「%2」にしました。").arg(name, typed) : refusal);
}

void RosterTab::RemoveClass() {
    const QString name = ChosenClass();
    if (name.isEmpty()) return;
    const QString refusal = record::ClassRoster(record_.store()).RemoveClass(name);
    if (refusal.isEmpty()) delete classes_->currentItem();
    ShowClasses();
    Say(refusal.isEmpty() ? QStringLiteral("クラス「%1」をけしました。").arg(name) : refusal);
}

void RosterTab::SetThisPcClass() {
    const QString name = this_pc_->currentData().toString();
    record::ClassRoster(record_.store()).SetThisPcClass(name);
    Say(name.isEmpty() ? QStringLiteral("このPCは クラスなし（コンピューター室）です。")
                       : QStringLiteral("このPCは「%1」のPCです。").arg(name));
}

}  // namespace sorelka
