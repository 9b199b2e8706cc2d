#include "division/division_drill_screen.h"

#include "division/division_cells.h"
#include "division/division_diagnosis.h"
#include "division/division_layout.h"
#include "drill/drill_log.h"
#include "widgets/choice_list.h"
#include "widgets/look.h"

namespace sorelka::division {

namespace {

DrillProfile DivisionDrillProfile() {
    DrillProfile p;
    p.title = QStringLiteral("１．わり算：ドリル");
    p.menu_items = {QStringLiteral("１けたでわる"), QStringLiteral("２けたでわる"),
                    QStringLiteral("３けたでわる")};
    const Qt::Alignment centre = Qt::AlignHCenter;
    p.grid_columns = {{kFieldNo, QStringLiteral("Ｎｏ"), 40, Qt::AlignLeft},
                      {kFieldMnd, QStringLiteral("問題"), 160, Qt::AlignLeft},
                      {kFieldKai, QStringLiteral("答え（正）"), 90, centre},
                      {kFieldAms, QStringLiteral("あまり（正）"), 90, centre},
                      {kFieldKot, QStringLiteral("答え"), 90, centre},
                      {kFieldAmi, QStringLiteral("あまり"), 90, centre},
                      {kFieldHnt, QStringLiteral("○×"), 40, centre}};
    p.grid_geometry = QRect(6, 130, 602, 440);
    p.grid_background = kCream;
    p.grid_text = kNavyColour;
    p.grid_bold_titles = true;
    p.grid_bold_text = false;
    return p;
}

}  // namespace

DivisionDrillScreen::DivisionDrillScreen(AppContext& ctx, DrillLog& log, QWidget* parent)
    : DrillScreen(ctx, log, QStringLiteral("TForm3"), QStringLiteral("Sorelka"),
                  DivisionDrillProfile(), parent),
      model_(ctx) {
    view_ = std::make_unique<DivisionWorksheetView>(this, 626, 176);
    connect(view_->digit_list(Place::Ones), &ChoiceList::chosen, this, &DivisionDrillScreen::OnesDigitChosen);
    connect(view_->digit_list(Place::Tens), &ChoiceList::chosen, this, &DivisionDrillScreen::TensDigitChosen);
    connect(view_->digit_list(Place::Hundreds), &ChoiceList::chosen, this,
            &DivisionDrillScreen::HundredsDigitChosen);
    connect(view_->digit_list(Place::Thousands), &ChoiceList::chosen, this,
            &DivisionDrillScreen::ThousandsDigitChosen);
    connect(view_->action_list(), &ChoiceList::chosen, this, &DivisionDrillScreen::ActionChosen);
    // The score sheet lies over the worksheet while it is shown.
    findChild<QWidget*>(QStringLiteral("DBGrid1"))->raise();

    // The show handler also runs once as the form is created.
    DivisionDrillScreen::FormCreate();
}

void DivisionDrillScreen::ClearWorksheet() {
    model_.ClearWorksheet();
    view_->Sync(model_);
}

void DivisionDrillScreen::GenerateProblem(int menu_choice) { model_.GenerateProblem(menu_choice); }

void DivisionDrillScreen::ShowProblem() {
    model_.ShowProblem();
    view_->Sync(model_);
}

void DivisionDrillScreen::ResetEntryLists() {
    model_.ResetEntryLists();
    model_.BeginWriting();
    view_->Sync(model_);
}

void DivisionDrillScreen::HideEntryLists() {
    model_.HideEntryLists();
    view_->Sync(model_);
}

void DivisionDrillScreen::ClearWorksheetNumbers() {
    model_.EmptyWorksheet();
    view_->Sync(model_);
}

WorkedRows DivisionDrillScreen::WorkedRowsNow() const { return DivisionWorkedRows(model_.worksheet()); }

Diagnosis DivisionDrillScreen::DiagnoseAnswer(const WorkedRows& rows) const {
    return DiagnoseDivision(model_.problem(), rows);
}

void DivisionDrillScreen::FillAnswerTexts(const DrillRow& row, JudgedAnswer& answer) const {
    DrillScreen::FillAnswerTexts(row, answer);
    answer.right_answer = RecordedAnswerText(row.kai, row.ams);
    const std::optional<int> quotient = model_.entered_quotient();
    answer.entered_answer =
        RecordedAnswerText(quotient ? std::to_string(*quotient) : std::string(), row.ami);
}

void DivisionDrillScreen::OnesDigitChosen(int digit) { ChooseDigit(Place::Ones, digit); }
void DivisionDrillScreen::TensDigitChosen(int digit) { ChooseDigit(Place::Tens, digit); }
void DivisionDrillScreen::HundredsDigitChosen(int digit) { ChooseDigit(Place::Hundreds, digit); }
void DivisionDrillScreen::ThousandsDigitChosen(int digit) { ChooseDigit(Place::Thousands, digit); }

void DivisionDrillScreen::ChooseDigit(Place place, int digit) {
    model_.ChooseDigit(place, digit);  // plays its cue itself
    view_->Sync(model_);
}

void DivisionDrillScreen::ActionChosen(int index) {
    const std::optional<Action> action = DivisionActionAt(index);
    if (!action) return;  // a separator
    // A finished question (judged, or left over from a finished drill) is not
    // finished again: no second row, no second point.
    if (*action == Action::Finish && !CanJudge()) return;
    const ActionOutcome outcome = model_.ApplyAction(*action);
    view_->Sync(model_);
    if (outcome.kind == ActionOutcome::Kind::Finished) JudgeAndLog();
}

void DivisionDrillScreen::JudgeAndLog() {
    const DivisionProblem& problem = model_.problem();
    const bool right = IsRight(model_.JudgeDivision());
    DrillRow row;
    row.mnd = LogProblemText(problem);
    row.kai = std::to_string(problem.quotient);
    row.kot = std::to_string(model_.entered_quotient().value_or(0));
    row.hnt = right ? "○" : "×";
    row.ams = problem.remainder;
    row.ami = model_.entered_remainder();
    RecordAnswer(right, row);
}

}  // namespace sorelka::division
