#include "division/division_practice_screen.h"

#include <QLabel>
#include <cstdlib>

#include "division/division_cells.h"
#include "division/division_diagnosis.h"
#include "division/division_layout.h"
#include "division/division_topic.h"
#include "division/practice_hints.h"
#include "widgets/accessibility.h"
#include "widgets/diagnosis_panel.h"
#include "widgets/choice_list.h"
#include "widgets/cute_button.h"
#include "widgets/look.h"
#include "widgets/mistake_finder.h"
#include "widgets/worked_example_player.h"

namespace sorelka::division {

namespace {

QString Text(const std::string& utf8) {
    // Hints mark their line break with a carriage return; a label breaks on "\n".
    return QString::fromStdString(utf8).replace(QLatin1Char('\r'), QLatin1Char('\n'));
}

PracticeFrame DivisionFrame() {
    return {.title = QStringLiteral("１．わり算：練習問題"), .title_place = {28, 18, 500, 44},
            .menu_heading = QStringLiteral("    メニュー"), .menu_place = {772, 14, 164, 0},
            .menu_items = MenuTexts(division::DivisionTopic().practice_menu),
            .picture = [] { return PencilPicture(PencilTip::DownLeft); }, .picture_place = {28, 596, 64, 64},
            // The long hints take a second line.
            .prompt_place = {100, 586, 530, 84}, .prompt_wraps = true,
            .next_name = QStringLiteral("CuteButton3"), .next_place = {796, 500, 140, 48},
            .back_place = {796, 556, 140, 48}, .quit_place = {796, 612, 140, 48},
            .quit_question = QStringLiteral("終っても いいの？"), .focus_line_place = {28, 64, 736, 34}};
}

}  // namespace

DivisionPracticeScreen::DivisionPracticeScreen(AppContext& ctx, QWidget* parent)
    : PracticeScreen(ctx, QStringLiteral("TForm2"), QStringLiteral("Sorelka"), DivisionFrame(), parent),
      model_(ctx) {
    // Centred over the worksheet.
    problem_line_ = MakeProblemLine(this, QStringLiteral("Label4"), 34, Qt::AlignCenter, QRect(176, 100, 560, 52));

    view_ = std::make_unique<DivisionWorksheetView>(this, 626, 160);

    mark_ = MakeVerdictMark(this, QStringLiteral("Label3"), 120, QRect(634, 500, 150, 150));

    BuildFrame();
    connect(menu_, &ChoiceList::chosen, this, &DivisionPracticeScreen::MenuItemChosen);
    connect(view_->digit_list(Place::Ones), &ChoiceList::chosen, this, &DivisionPracticeScreen::OnesDigitChosen);
    connect(view_->digit_list(Place::Tens), &ChoiceList::chosen, this, &DivisionPracticeScreen::TensDigitChosen);
    connect(view_->digit_list(Place::Hundreds), &ChoiceList::chosen, this,
            &DivisionPracticeScreen::HundredsDigitChosen);
    connect(view_->digit_list(Place::Thousands), &ChoiceList::chosen, this,
            &DivisionPracticeScreen::ThousandsDigitChosen);
    connect(view_->action_list(), &ChoiceList::chosen, this, &DivisionPracticeScreen::ActionChosen);
    connect(next_, &QPushButton::clicked, this, &DivisionPracticeScreen::NextPressed);

    // Left of the worksheet, under the problem line and above the prompt
    // (the divisor of a five-digit dividend starts at x = 290); and where a
    // calculation of big numbers needs more width, under the divisor and
    // the bracket (they end at y = 282), across the paper's blank left part
    // to the row marker (x = 384), left of every row (x >= 404).
    panel_ = new DiagnosisPanel(this, {QRect(8, 160, 282, 416), QRect(8, 288, 374, 288)}, prompt_);
    BuildExampleModes();

    // The show handler also runs once as the form is created.
    DivisionPracticeScreen::FormCreate();
}

DivisionPracticeScreen::~DivisionPracticeScreen() = default;

void DivisionPracticeScreen::FormCreate() {
    LeaveExampleModes();
    ClearWorksheet();
    next_->hide();
    model_.HideEntryLists();
    view_->Sync(model_);
    menu_->Reset();
    prompt_->setText(QString::fromUtf8(kChooseMenuPrompt));
    PlayCue(Cue::Choice);
}

void DivisionPracticeScreen::ClearWorksheet() {
    watch_.Close();
    note_.reset();
    ShowNote();
    model_.ClearWorksheet();
    Announce(mark_, QString());
    Announce(problem_line_, QString());
    view_->Sync(model_);
}

void DivisionPracticeScreen::MenuItemChosen(int index) {
    LeaveGuideAndExamples();
    ClearWorksheet();
    next_->show();
    ctx().state.menu_choice = index + 1;
    NewProblem();
}

void DivisionPracticeScreen::NextPressed() {
    if (NextBringsAnotherExample()) return;
    ClearWorksheet();
    NewProblem();
}

void DivisionPracticeScreen::NewProblem() {
    if (GuideNext()) return;
    if (!model_.NewProblem(ctx().state.menu_choice)) {
        // Nothing to draw from (a menu value another screen left): ask for a choice.
        prompt_->setText(QString::fromUtf8(kChooseMenuPrompt));
        PlayCue(Cue::Choice);
        return;
    }
    ShowProblem();
}

void DivisionPracticeScreen::ShowGivenProblem(const DivisionProblem& problem, int menu_choice) {
    ClearWorksheet();
    next_->show();
    ctx().state.menu_choice = menu_choice;
    menu_->ShowChosen(menu_choice - 1);
    model_.NewProblem(problem);
    ShowProblem();
}

void DivisionPracticeScreen::ShowProblem() {
    Announce(problem_line_, QString::fromStdString(ProblemText(model_.problem())));
    view_->Sync(model_);
    watch_.Shown(ctx().clock);
    ShowHint(StepHint(0));
    PlayCue(Cue::Choice);
}

void DivisionPracticeScreen::OnesDigitChosen(int digit) { ChooseDigit(Place::Ones, digit); }
void DivisionPracticeScreen::TensDigitChosen(int digit) { ChooseDigit(Place::Tens, digit); }
void DivisionPracticeScreen::HundredsDigitChosen(int digit) { ChooseDigit(Place::Hundreds, digit); }
void DivisionPracticeScreen::ThousandsDigitChosen(int digit) { ChooseDigit(Place::Thousands, digit); }

void DivisionPracticeScreen::ChooseDigit(Place place, int digit) {
    LeaveExampleModes();
    const DigitOutcome outcome = model_.ChooseDigit(place, digit);
    if (outcome == DigitOutcome::Written) {
        note_.reset();
        ShowNote();
    }
    view_->Sync(model_);
    if (outcome == DigitOutcome::Written || outcome == DigitOutcome::NothingWritten)
        ShowHint(DigitHint(model_.step()));
}

void DivisionPracticeScreen::ActionChosen(int index) {
    LeaveExampleModes();
    // An action changes the worksheet the note was about; "終わり" judges afresh.
    note_.reset();
    ShowNote();
    const std::optional<Action> action = DivisionActionAt(index);
    if (!action) return;  // a separator
    const ActionOutcome outcome = model_.ApplyAction(*action);
    view_->Sync(model_);
    switch (outcome.kind) {
        case ActionOutcome::Kind::Confirmed:
            ShowHint(StepHint(outcome.confirmed_step));
            break;
        case ActionOutcome::Kind::Cleared:
            ShowHint(StepHint(0));
            break;
        case ActionOutcome::Kind::Finished:
            FinishAnswer();
            break;
        default:
            break;
    }
}

void DivisionPracticeScreen::FinishAnswer() {
    const DivisionProblem& problem = model_.problem();
    const bool right = IsRight(model_.JudgeDivision());
    JudgedAnswer answer;
    answer.topic = Topic::Division;
    answer.menu_choice = ctx().state.menu_choice;
    answer.problem = WithoutPadding(LogProblemText(problem));
    answer.right_answer = RecordedAnswerText(std::to_string(problem.quotient), problem.remainder);
    const std::optional<int> quotient = model_.entered_quotient();
    answer.entered_answer = RecordedAnswerText(quotient ? std::to_string(*quotient) : std::string(),
                                               model_.entered_remainder());
    answer.correct = right;
    answer.worked_rows = DivisionWorkedRows(model_.worksheet());
    if (!right) answer.finding = DiagnoseDivision(problem, answer.worked_rows);
    RecordPracticeVerdict(ctx(), watch_, answer);
    GuideJudged(right);
    note_ = NoteOf(answer.finding, answer.finding ? DivisionKindLabel(answer.finding->kind) : "",
                   ctx().recorder, answer.topic);
    ShowNote();
    Announce(mark_, QString::fromStdString(Mark(right)));
    PlayCue(VerdictCue(right));
    Announce(problem_line_, QString::fromStdString(AnswerText(model_.problem())));
    prompt_->setText(QString::fromUtf8(kGoOnPrompt));
}

QRect DivisionPracticeScreen::StepCells(const std::string& step) const {
    // A quotient digit is framed alone; a row, its written digits.
    const int digit = step.starts_with("quotient:") ? std::atoi(step.c_str() + 9) - 1 : -1;
    return MarkedCells(this, DivisionObjectName(DivisionStepCell(step)), digit);
}

void DivisionPracticeScreen::ShowNote() {
    panel_->Show(note_, note_ ? StepCells(note_->finding.step) : QRect());
    player_->Offer(note_.has_value());
}

void DivisionPracticeScreen::ShowHint(const std::optional<std::string>& hint) {
    if (hint) prompt_->setText(Text(*hint));
}

}  // namespace sorelka::division
