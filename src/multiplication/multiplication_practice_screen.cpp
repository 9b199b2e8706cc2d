#include "multiplication/multiplication_practice_screen.h"

#include <QLabel>

#include "multiplication/multiplication_topic.h"
#include "widgets/accessibility.h"
#include "widgets/choice_list.h"
#include "widgets/cute_button.h"
#include "widgets/diagnosis_panel.h"
#include "widgets/look.h"
#include "widgets/worked_example_player.h"

namespace sorelka::multiplication {

namespace {

PracticeFrame MultiplicationFrame() {
    return {.title = QString::fromUtf8(kPracticeTitle), .title_place = {28, 18, 600, 44},
            .menu_heading = QStringLiteral("    メニュー"), .menu_place = {722, 14, 214, 0},
            .menu_items = MenuTexts(multiplication::MultiplicationTopic().practice_menu),
            .picture = [] { return PencilPicture(PencilTip::DownLeft); }, .picture_place = {28, 596, 64, 64},
            .prompt_place = {100, 586, 530, 84}, .prompt_wraps = true,
            .next_place = {796, 500, 140, 48}, .back_place = {796, 556, 140, 48}, .quit_place = {796, 612, 140, 48},
            .focus_line_place = {28, 62, 686, 34}};
}

}  // namespace

MultiplicationPracticeScreen::MultiplicationPracticeScreen(AppContext& ctx, QWidget* parent)
    : PracticeScreen(ctx, QStringLiteral("TForm12"), QStringLiteral("Sorelka"), MultiplicationFrame(), parent),
      model_(ctx),
      sheet_view_(this, SheetScreen::Practice) {
    BuildControls();
    using Screen = MultiplicationPracticeScreen;
    connect(sheet_view_.digit_list(0), &ChoiceList::chosen, this, &Screen::ThousandsDigitChosen);
    connect(sheet_view_.digit_list(1), &ChoiceList::chosen, this, &Screen::HundredsDigitChosen);
    connect(sheet_view_.digit_list(2), &ChoiceList::chosen, this, &Screen::TensDigitChosen);
    connect(sheet_view_.digit_list(3), &ChoiceList::chosen, this, &Screen::OnesDigitChosen);
    connect(sheet_view_.point_list(), &ChoiceList::chosen, this, &Screen::PointChosen);
    connect(sheet_view_.action_list(), &ChoiceList::chosen, this, &Screen::ActionChosen);
    // The show handler also runs once as the form is created.
    MultiplicationPracticeScreen::FormCreate();
}

MultiplicationPracticeScreen::~MultiplicationPracticeScreen() = default;

void MultiplicationPracticeScreen::BuildControls() {
    // Centred over the paper, clear of the menu.
    problem_line_ =
        MakeProblemLine(this, QStringLiteral("Label4"), 36, Qt::AlignCenter, QRect(176, 100, 560, 52));
    mark_ = MakeVerdictMark(this, QStringLiteral("Label3"), 120, QRect(634, 500, 150, 150));

    BuildFrame();
    connect(menu_, &ChoiceList::chosen, this, &MultiplicationPracticeScreen::MenuItemChosen);
    connect(next_, &QPushButton::clicked, this, &MultiplicationPracticeScreen::NextPressed);

    // Left of the paper under "まちがいさがし"; where a fact in wide digits
    // needs more width, lower down and across the paper's blank left part
    // to the rows' first column (x = 360; the sign and the line above end
    // at y = 266 and the marker hides once the answer is judged).
    panel_ = new DiagnosisPanel(this, {QRect(8, 160, 288, 416), QRect(8, 270, 344, 312)}, prompt_);
    BuildExampleModes();
}

void MultiplicationPracticeScreen::Refresh(bool just_judged) {
    sheet_view_.Show(model_.steps());
    const auto& note = model_.note();
    const std::optional<MultiplicationRole> place = note ? RoleOfStep(note->finding.step) : std::nullopt;
    QRect cell = place ? RoleRect(model_.cells(), *place) : QRect();
    // A row's digit is framed only where the row shows.
    if (place && place->part == MultiplicationRole::Part::Digit) {
        const QWidget* row = findChild<QWidget*>(
            QString::fromStdString(MultiplicationObjectName(PlaceCell(*place).name)), Qt::FindDirectChildrenOnly);
        if (!row || row->isHidden()) cell = QRect();
    }
    panel_->Show(note, cell);
    player_->Offer(just_judged && note.has_value());
}

void MultiplicationPracticeScreen::FormCreate() {
    LeaveExampleModes();
    model_.FormCreate();
    sheet_view_.ResetLists();
    Refresh();
}

void MultiplicationPracticeScreen::MenuItemChosen(int index) {
    LeaveGuideAndExamples();
    model_.MenuItemChosen(index);
    Refresh();
}

void MultiplicationPracticeScreen::NextPressed() {
    if (NextBringsAnotherExample() || GuideNext()) return;
    model_.NextPressed();
    Refresh();
}

void MultiplicationPracticeScreen::ShowGivenProblem(const MultiplicationProblem& problem, int menu_choice) {
    menu_->ShowChosen(menu_choice - 1);
    model_.ShowGivenProblem(problem, menu_choice);
    Refresh();
}

void MultiplicationPracticeScreen::ThousandsDigitChosen(int digit) { DigitChosen(Place::Thousands, digit); }
void MultiplicationPracticeScreen::HundredsDigitChosen(int digit) { DigitChosen(Place::Hundreds, digit); }
void MultiplicationPracticeScreen::TensDigitChosen(int digit) { DigitChosen(Place::Tens, digit); }
void MultiplicationPracticeScreen::OnesDigitChosen(int digit) { DigitChosen(Place::Ones, digit); }

void MultiplicationPracticeScreen::DigitChosen(Place place, int digit) {
    LeaveExampleModes();
    model_.ChooseDigit(place, digit);
    Refresh();
}

void MultiplicationPracticeScreen::PointChosen(int index) {
    LeaveExampleModes();
    model_.ChoosePoint(index + 1);
    Refresh();
}

void MultiplicationPracticeScreen::ActionChosen(int index) {
    LeaveExampleModes();
    const std::optional<SheetAction> action = SheetActionAt(index);
    std::optional<Verdict> verdict;
    if (action == SheetAction::Confirm) verdict = model_.ApplyAction(Action::Confirm);
    else if (action == SheetAction::StrikeZero) model_.StrikeEndZero();
    else if (action == SheetAction::OnesZero) model_.WriteOnesZero();
    else if (action == SheetAction::Clear) verdict = model_.ApplyAction(Action::Clear);
    else if (action == SheetAction::Finish) verdict = model_.ApplyAction(Action::Finish);
    Refresh(verdict.has_value());
    if (verdict) GuideJudged(IsRight(*verdict));
}

}  // namespace sorelka::multiplication
