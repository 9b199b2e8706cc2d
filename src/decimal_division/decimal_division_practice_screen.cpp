#include "decimal_division/decimal_division_practice_screen.h"

#include <QLabel>

#include "decimal_division/decimal_division_topic.h"
#include "widgets/accessibility.h"
#include "widgets/choice_list.h"
#include "widgets/cute_button.h"
#include "widgets/diagnosis_panel.h"
#include "widgets/look.h"
#include "widgets/worked_example_player.h"

namespace sorelka::decimal_division {

namespace {

PracticeFrame DecimalDivisionFrame() {
    return {.title = QString::fromUtf8(kPracticeTitle), .title_place = {28, 18, 600, 44},
            .menu_heading = QStringLiteral("    メニュー"), .menu_place = {700, 12, 246, 0},
            .menu_items = MenuTexts(DecimalDivisionTopic().practice_menu),
            .picture = [] { return PencilPicture(PencilTip::DownLeft); }, .picture_place = {28, 596, 64, 64},
            .prompt_place = {100, 586, 530, 84}, .prompt_wraps = true,
            // Under the action list and "お手本", clear of the digit lists.
            .next_place = {816, 520, 132, 44}, .back_place = {816, 570, 132, 44}, .quit_place = {816, 620, 132, 44},
            .focus_line_place = {28, 62, 660, 30}};
}

}  // namespace

DecimalDivisionPracticeScreen::DecimalDivisionPracticeScreen(AppContext& ctx, QWidget* parent)
    : PracticeScreen(ctx, QStringLiteral("TForm14"), QStringLiteral("Sorelka"), DecimalDivisionFrame(), parent),
      model_(ctx),
      sheet_view_(this, SheetScreen::Practice) {
    BuildControls();
    using Screen = DecimalDivisionPracticeScreen;
    connect(sheet_view_.digit_list(0), &ChoiceList::chosen, this, &Screen::ThousandsDigitChosen);
    connect(sheet_view_.digit_list(1), &ChoiceList::chosen, this, &Screen::HundredsDigitChosen);
    connect(sheet_view_.digit_list(2), &ChoiceList::chosen, this, &Screen::TensDigitChosen);
    connect(sheet_view_.digit_list(3), &ChoiceList::chosen, this, &Screen::OnesDigitChosen);
    connect(sheet_view_.action_list(), &ChoiceList::chosen, this, &Screen::ActionChosen);
    connect(sheet_view_.point_list(), &ChoiceList::chosen, this, &Screen::PointChosen);
    connect(sheet_view_.remainder_point_list(), &ChoiceList::chosen, this, &Screen::RemainderPointChosen);
    // The show handler also runs once as the form is created.
    DecimalDivisionPracticeScreen::FormCreate();
}

DecimalDivisionPracticeScreen::~DecimalDivisionPracticeScreen() = default;

void DecimalDivisionPracticeScreen::BuildControls() {
    // Over the paper, clear of the menu; a problem with a remainder or
    // rounding says so on the same line.
    problem_line_ =
        MakeProblemLine(this, QStringLiteral("Label4"), 24, Qt::AlignCenter, QRect(176, 94, 520, 40));
    mark_ = MakeVerdictMark(this, QStringLiteral("Label3"), 120, QRect(640, 520, 160, 150));

    BuildFrame();
    connect(menu_, &ChoiceList::chosen, this, &DecimalDivisionPracticeScreen::MenuItemChosen);
    connect(next_, &QPushButton::clicked, this, &DecimalDivisionPracticeScreen::NextPressed);

    // Left of the paper under the point lists; where a fact in wide digits
    // needs more width, across the paper's blank left part to the row
    // marker (x = 384; the divisor and the bracket end above y = 280).
    panel_ = new DiagnosisPanel(this, {QRect(8, 272, 284, 306), QRect(8, 282, 374, 296)}, prompt_);
    BuildExampleModes();
}

void DecimalDivisionPracticeScreen::Refresh(bool just_judged) {
    sheet_view_.Show(model_.steps());
    const auto& note = model_.note();
    panel_->Show(note, note ? StepRect(note->finding.step) : QRect());
    player_->Offer(just_judged && note.has_value());
}

void DecimalDivisionPracticeScreen::FormCreate() {
    LeaveExampleModes();
    model_.FormCreate();
    sheet_view_.ResetLists();
    Refresh();
}

void DecimalDivisionPracticeScreen::MenuItemChosen(int index) {
    LeaveGuideAndExamples();
    model_.MenuItemChosen(index);
    Refresh();
}

void DecimalDivisionPracticeScreen::NextPressed() {
    if (NextBringsAnotherExample() || GuideNext()) return;
    model_.NextPressed();
    Refresh();
}

void DecimalDivisionPracticeScreen::ShowGivenProblem(const DecimalDivisionProblem& problem, int menu_choice) {
    menu_->ShowChosen(menu_choice - 1);
    model_.ShowGivenProblem(problem, menu_choice);
    Refresh();
}

void DecimalDivisionPracticeScreen::ThousandsDigitChosen(int digit) { DigitChosen(0, digit); }
void DecimalDivisionPracticeScreen::HundredsDigitChosen(int digit) { DigitChosen(1, digit); }
void DecimalDivisionPracticeScreen::TensDigitChosen(int digit) { DigitChosen(2, digit); }
void DecimalDivisionPracticeScreen::OnesDigitChosen(int digit) { DigitChosen(3, digit); }

void DecimalDivisionPracticeScreen::DigitChosen(int list, int digit) {
    LeaveExampleModes();
    model_.ChooseDigit(DigitListPlace(list), digit);
    Refresh();
}

void DecimalDivisionPracticeScreen::ActionChosen(int index) {
    LeaveExampleModes();
    const std::optional<SheetAction> action = SheetActionAt(index);
    if (!action) return;
    const std::optional<Verdict> verdict = model_.ApplyAction(*action);
    Refresh(verdict.has_value());
    if (verdict) GuideJudged(IsRight(*verdict));
}

void DecimalDivisionPracticeScreen::PointChosen(int index) {
    LeaveExampleModes();
    model_.ChooseQuotientPoint(index + 1);
    Refresh();
}

void DecimalDivisionPracticeScreen::RemainderPointChosen(int index) {
    LeaveExampleModes();
    model_.ChooseRemainderPoint(index + 1);
    Refresh();
}

}  // namespace sorelka::decimal_division
