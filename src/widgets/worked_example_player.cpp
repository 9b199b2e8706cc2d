#include "widgets/worked_example_player.h"

#include <QEvent>
#include <QLabel>
#include <QTimer>

#include "core/diagnosis_note.h"
#include "widgets/accessibility.h"
#include "widgets/choice_list.h"
#include "widgets/cute_button.h"
#include "widgets/diagnosis_panel.h"
#include "widgets/look.h"
#include "widgets/worksheet_view.h"

namespace sorelka {

namespace {

const QColor kExampleColour{0xFF, 0xD8, 0xA8};

// What the panel says beside the frame on the pupil's first wrong cell.
DiagnosisNote WrongHereNote() {
    DiagnosisNote note;
    note.finding.explanation = "ここが ちがったよ";
    return note;
}

}  // namespace

QString FittedText(const QLabel* label, const QString& text) {
    const QFontMetrics metrics(label->font());
    const int width = label->contentsRect().width() - 2 * label->margin();
    if (metrics.horizontalAdvance(text) <= width) return text;
    QStringList lines;
    QString line;
    for (const QString& word : text.split(QLatin1Char(' '))) {
        const QString longer = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
        if (!line.isEmpty() && metrics.horizontalAdvance(longer) > width) {
            lines << line;
            line = word;
        } else {
            line = longer;
        }
    }
    lines << line;
    return lines.join(QLatin1Char('\n'));
}

void ApplyWorksheetExcept(QWidget* root, const Worksheet& sheet, const QStringList& kept, bool with_lists,
                          const SheetLayout& layout) {
    const auto left_alone = [&](const std::string& name) {
        const QString qname = QString::fromStdString(name);
        return kept.contains(qname) || (!with_lists && qobject_cast<ChoiceList*>(root->findChild<QWidget*>(qname)));
    };
    if (layout) {
        ApplyWorksheet(root, sheet, [&](const std::string& role, const Cell& cell, const Worksheet& whole) {
            CellView view = layout(role, cell, whole);
            if (left_alone(view.object_name)) view.object_name.clear();
            return view;
        });
        return;
    }
    Worksheet shown;
    for (const auto& [name, cell] : sheet)
        if (!left_alone(name)) shown[name] = cell;
    ApplyWorksheet(root, shown);
}

void HeldChoices::Hold(QWidget* screen, const QStringList& kept) {
    if (holding_) return;
    holding_ = true;
    held_.clear();
    for (ChoiceList* list : screen->findChildren<ChoiceList*>()) {
        if (kept.contains(list->objectName())) continue;
        held_.emplace_back(list, list->current());
        list->Reset();
    }
}

void HeldChoices::GiveBack() {
    if (!holding_) return;
    holding_ = false;
    for (const auto& [list, chosen] : held_)
        // A list the pupil chose on meanwhile shows that choice.
        if (list && list->current() < 0) list->ShowChosen(chosen);
    held_.clear();
}

WorkedExamplePlayer::WorkedExamplePlayer(QWidget* screen, const QRect& place, QLabel* prompt,
                                         DiagnosisPanel* panel, QStringList kept)
    : QObject(screen), screen_(screen), prompt_(prompt), panel_(panel), kept_(std::move(kept)) {
    setObjectName(QStringLiteral("WorkedExamplePlayer"));
    for (const QString& name : kept_)
        if (auto* label = screen->findChild<QLabel*>(name, Qt::FindDirectChildrenOnly); label && IsVerdictCell(label))
            mark_ = label;
    example_ = new CuteButton(QStringLiteral("WorkedExample"), QStringLiteral("お手本"), kExampleColour,
                              kNavyColour, screen);
    example_->setGeometry(place);
    example_->hide();
    next_ = new CuteButton(QStringLiteral("WorkedExampleNext"), QStringLiteral("つぎ"), kExampleColour,
                           kNavyColour, screen);
    next_->setGeometry(place);
    next_->hide();
    timer_ = new QTimer(this);
    timer_->setObjectName(QStringLiteral("WorkedExampleTimer"));
    timer_->setInterval(kStepMilliseconds);
    connect(timer_, &QTimer::timeout, this, &WorkedExamplePlayer::Tick);
    connect(example_, &QPushButton::clicked, this, &WorkedExamplePlayer::requested);
    connect(next_, &QPushButton::clicked, this, &WorkedExamplePlayer::Next);
    // A screen that goes away takes its replay's timer with it.
    screen->installEventFilter(this);
}

void WorkedExamplePlayer::Offer(bool offered) {
    offered_ = offered;
    if (!offered) Stop();
    ShowButtons();
}

void WorkedExamplePlayer::Play(Replay replay) {
    if (!showing_) {
        saved_prompt_ = prompt_->text();
        // The pupil's "×" and choices belong to the pupil's work, not beside the right work.
        if (mark_) {
            saved_mark_ = mark_->text();
            mark_->clear();
            RefreshSpokenName(mark_);
        }
        lists_.Hold(screen_, kept_);
    }
    replay_ = std::move(replay);
    showing_ = true;
    shown_ = 0;
    panel_->Hide();
    ApplyWorksheetExcept(screen_, replay_.start, kept_, true, replay_.layout);
    Announce(prompt_, FittedText(prompt_, QString::fromStdString(replay_.opening)));
    if (replay_.steps.empty()) {
        timer_->stop();
    } else {
        timer_->start();
    }
    ShowButtons();
}

void WorkedExamplePlayer::Stop() {
    timer_->stop();
    if (!showing_) return;
    showing_ = false;
    shown_ = 0;
    panel_->Hide();
    // The prompt says again what it said before, and is heard by its text.
    prompt_->setText(saved_prompt_);
    prompt_->setAccessibleName(QString());
    if (mark_ && mark_->text().isEmpty()) {
        mark_->setText(saved_mark_);
        RefreshSpokenName(mark_);
    }
    lists_.GiveBack();
    ShowButtons();
}

void WorkedExamplePlayer::Next() {
    timer_->stop();
    Advance();
}

void WorkedExamplePlayer::Tick() {
    if (!showing_ || at_end()) {
        timer_->stop();
        return;
    }
    Advance();
    if (at_end()) timer_->stop();
}

void WorkedExamplePlayer::Advance() {
    if (!showing_ || at_end()) return;
    const Replay::Step& step = replay_.steps[shown_++];
    ApplyWorksheetExcept(screen_, step.sheet, kept_, true, replay_.layout);
    Announce(prompt_, FittedText(prompt_, QString::fromStdString(step.line)));
    ShowMark();
    if (at_end()) ShowButtons();
}

void WorkedExamplePlayer::ShowMark() {
    if (!replay_.wrong_step || shown_ <= *replay_.wrong_step || !replay_.wrong_cell) return;
    // Framed from the step that writes it, while it shows: a later
    // calculation of the rules worksheet clears it away.
    const QRect cell = replay_.wrong_cell();
    if (cell.isEmpty()) {
        panel_->Hide();
    } else {
        panel_->Show(WrongHereNote(), cell);
    }
}

void WorkedExamplePlayer::ShowButtons() {
    const bool mid_replay = showing_ && !at_end();
    const bool had_focus = example_->hasFocus() || next_->hasFocus();
    example_->setVisible(offered_ && !mid_replay);
    next_->setVisible(mid_replay);
    // The keyboard stays where the pupil was: on the button that took the
    // other's place.
    if (had_focus) {
        if (next_->isVisible()) next_->setFocus(Qt::OtherFocusReason);
        else if (example_->isVisible()) example_->setFocus(Qt::OtherFocusReason);
    }
}

bool WorkedExamplePlayer::eventFilter(QObject* watched, QEvent* event) {
    if (watched == screen_ && event->type() == QEvent::Hide) timer_->stop();
    return QObject::eventFilter(watched, event);
}

}  // namespace sorelka
