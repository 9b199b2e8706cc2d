#include "fractions/fraction_practice_screen.h"

#include <QLabel>
#include <QScreen>

#include "fractions/fraction_diagnosis.h"
#include "fractions/fraction_layout.h"
#include "fractions/fraction_look.h"
#include "widgets/accessibility.h"
#include "widgets/choice_list.h"
#include "widgets/cute_button.h"
#include "widgets/diagnosis_panel.h"
#include "widgets/look.h"
#include "widgets/mistake_finder.h"
#include "widgets/worked_example_player.h"
#include "widgets/worksheet_view.h"

namespace sorelka {

namespace {

QLabel* MakeText(const QString& name, const QString& text, int pixels, const QColor& colour,
                 QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->setFont(SchoolFont(pixels, true));
    SetTextColour(label, colour);
    return label;
}

// A widget of the worksheet by its role, at its place on this screen.
QLabel* MakeRoleText(const char* role, int pixels, const QColor& colour, QWidget* parent) {
    const CellView view = fractions::FractionCellView(fractions::Variant::Practice, role);
    QLabel* label = MakeText(QString::fromStdString(view.object_name), QString(), pixels, colour, parent);
    label->setGeometry(view.left, view.top, view.width, view.height);
    return label;
}

PracticeFrame FractionFrame() {
    return {.size = {955, 714},
            .title = QStringLiteral("５．分数の表し方：練習問題"), .title_pixels = 28, .title_place = {24, 18, 520, 44},
            .menu_heading = QString::fromUtf8(fractions::kMenuHeading), .menu_place = {660, 16, 270, 0},
            .menu_items = MenuTexts(fractions::MenuItems()),
            .picture_name = QStringLiteral("Image3"), .picture = fractions::CakePicture,
            .picture_place = {20, 598, 64, 64},
            .prompt_place = {96, 590, 620, 80}, .first_prompt = QStringLiteral("「メニュー」をえらんでね！"),
            .next_colour = QColor(0xFF, 0xC8, 0xDC), .next_place = {846, 570, 96, 60},
            .back_place = {714, 646, 110, 38}, .quit_place = {832, 646, 110, 38},
            .focus_line_place = {24, 68, 620, 36}};
}

}  // namespace

FractionPracticeScreen::FractionPracticeScreen(AppContext& ctx, QWidget* parent)
    : PracticeScreen(ctx, QStringLiteral("TForm10"), QStringLiteral("Form10"), FractionFrame(), parent),
      model_(ctx) {
    if (QScreen* screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
    BuildWorksheet();
    BuildFrame();
    BuildControls();
    // Under the paper of the worksheet, down to the prompt.
    panel_ = new DiagnosisPanel(this, {QRect(72, 346, 560, 236)}, prompt_);
    BuildExampleModes();
    Refresh();
}

FractionPracticeScreen::~FractionPracticeScreen() = default;

void FractionPracticeScreen::BuildWorksheet() {
    // The paper the calculation is written on.
    auto* paper = new ShapeWidget(QStringLiteral("Paper"), ShapeWidget::Kind::Frame, this);
    paper->SetColours(QColor(0xB8, 0xC0, 0xE8), Qt::white);
    paper->setGeometry(72, 116, 560, 220);

    MakeRoleText(fractions::kTaskRole, 24, kNavyColour, this);
    fractions::BuildFigures(this, fractions::Variant::Practice);
    QLabel* mark = MakeRoleText(fractions::kMarkRole, 84, Qt::red, this);
    mark->setAlignment(Qt::AlignCenter);
    SetVerdictCell(mark);
}

void FractionPracticeScreen::BuildControls() {
    connect(menu_, &ChoiceList::chosen, this, &FractionPracticeScreen::MenuItemChosen);

    const fractions::EntryLists lists =
        fractions::BuildEntryLists(this, fractions::Variant::Practice, fractions::kPracticeActionHeading);
    tens_ = lists.tens;
    ones_ = lists.ones;
    actions_ = lists.actions;
    connect(tens_, &ChoiceList::chosen, this, &FractionPracticeScreen::TensDigitChosen);
    connect(ones_, &ChoiceList::chosen, this, &FractionPracticeScreen::OnesDigitChosen);
    connect(actions_, &ChoiceList::chosen, this, &FractionPracticeScreen::ActionChosen);

    connect(next_, &QPushButton::clicked, this, &FractionPracticeScreen::NextPressed);
}

void FractionPracticeScreen::Refresh(bool just_judged) {
    ApplyWorksheet(this, model_.worksheet(), fractions::FractionLayout(fractions::Variant::Practice));
    if (model_.TakeListReset()) ResetEntryLists();
    const auto& note = model_.note();
    const auto slot = note ? fractions::StepSlot(note->finding.step) : std::nullopt;
    panel_->Show(note, slot ? fractions::FramedSlot(this, *slot) : QRect());
    player_->Offer(just_judged && note.has_value());
}

void FractionPracticeScreen::ResetEntryLists() {
    tens_->Reset();
    ones_->Reset();
    actions_->Reset();
}

void FractionPracticeScreen::FormCreate() {
    LeaveExampleModes();
    model_.FormCreate();
    Refresh();
}

void FractionPracticeScreen::MenuItemChosen(int index) {
    LeaveGuideAndExamples();
    model_.ChooseMenu(index);
    Refresh();
}

void FractionPracticeScreen::ShowGivenProblem(const fractions::FractionProblem& problem, int menu_choice) {
    menu_->ShowChosen(menu_choice - 1);
    model_.ShowGivenProblem(problem, menu_choice);
    Refresh();
}

void FractionPracticeScreen::TensDigitChosen(int index) {
    LeaveExampleModes();
    model_.ChooseDigit(Place::Tens, index);
    Refresh();
}

void FractionPracticeScreen::OnesDigitChosen(int index) {
    LeaveExampleModes();
    model_.ChooseDigit(Place::Ones, index);
    Refresh();
}

void FractionPracticeScreen::ActionChosen(int index) {
    LeaveExampleModes();
    fractions::ChooseActionItem(model_, index, [this] { model_.ApplyAction(Action::Finish); });
    Refresh(true);
    // The verdict stands until the sheet is cleared: every later choice
    // reports it again.
    if (const auto verdict = model_.sheet().verdict()) GuideJudged(IsRight(*verdict));
}

void FractionPracticeScreen::NextPressed() {
    if (NextBringsAnotherExample() || GuideNext()) return;
    model_.Next();
    Refresh();
}

}  // namespace sorelka
