#include "decimal_division/decimal_division_drill_screen.h"

#include <QLabel>

#include "decimal_division/decimal_division_cells.h"
#include "decimal_division/decimal_division_diagnosis.h"
#include "decimal_division/decimal_division_practice.h"
#include "drill/drill_log.h"
#include "widgets/accessibility.h"
#include "widgets/choice_list.h"

namespace sorelka::decimal_division {

namespace {

DrillProfile DecimalDivisionDrillProfile() {
    DrillProfile p;
    p.title = QString::fromUtf8(kDrillTitle);
    p.topic = Topic::DecimalDivision;
    p.menu_items = {QStringLiteral("わりきれる（１けたでわる）"), QStringLiteral("わりきれる（２けたでわる）"),
                    QStringLiteral("わり進む（整数÷整数 も）"), QStringLiteral("あまりを だす"),
                    QStringLiteral("商を 四捨五入する")};
    p.menu_heading = QStringLiteral("    メニュー");
    p.menu_place = QRect(700, 12, 246, 0);
    // ComboBox7 and ComboBox8 are the point lists.
    p.time_list = QStringLiteral("ComboBox9");
    // Narrow, right beside the menu, so that the score sheet under it
    // covers the whole paper.
    p.time_place = QRect(616, 12, 80, 0);
    // Label7 is the quotient: the question's number has a label of its own.
    p.question_label = QStringLiteral("Label18");
    p.question_place = QRect(8, 96, 136, 40);
    p.time_prompt = QStringLiteral("「スタート」ボタンを押してね！");
    p.time_cue = Cue::Choice;
    p.next_prompt = QStringLiteral("「次へ」ボタンですすめてね！");
    p.time_choice_enables_start = true;
    p.show_clears_menu_selection = false;
    p.start_cue_after_clearing_log = true;
    p.stop_sets_buttons = true;
    // The answers may have a remainder: plain type, so that they show whole.
    p.grid_columns = {{kFieldNo, QStringLiteral("番号"), 34, Qt::AlignLeft},
                      {kFieldMnd, QStringLiteral("問題"), 250, Qt::AlignLeft},
                      {kFieldKai, QStringLiteral("正解"), 144, Qt::AlignLeft},
                      {kFieldKot, QStringLiteral("答え"), 144, Qt::AlignLeft},
                      {kFieldHnt, QStringLiteral("判定"), 36, Qt::AlignLeft}};
    p.grid_bold_text = false;
    // Over the whole paper and the point lists while it shows, left of the
    // time list and the digit lists.
    p.grid_geometry = QRect(2, 130, 34 + 250 + 144 + 144 + 36 + 4, 440);
    // The lists reach down to about 510: the buttons take two rows under
    // them, beside the prompt line.
    PlaceButtonsBesideThePrompt(p);
    return p;
}

// The problem as the score sheet shows it, its ending said briefly:
// "5.4 ÷ 4", "7.5 ÷ 4（1/10まで、あまり）", "2.5 ÷ 7（1/100まで、四捨五入）".
std::string LogProblemText(const DecimalDivisionProblem& problem) {
    const std::string division = DividendText(problem) + " ÷ " + std::to_string(problem.divisor);
    const std::string place = problem.asked == 2 ? "1/100" : "1/10";
    switch (problem.ending) {
        case Ending::Remainder: return division + "（" + place + "まで、あまり）";
        case Ending::Rounded: return division + "（" + place + "まで、四捨五入）";
        case Ending::Divides: break;
    }
    return division;
}

// The log row of the question on `steps`, judged as it stands (its number
// is filled in by the drill): " 5.4 ÷ 4", " 1.35", " 1.35", " ○".
DrillRow RowOf(const DecimalDivisionSteps& steps) {
    DrillRow row;
    row.mnd = " " + LogProblemText(steps.problem());
    row.kai = " " + AnswerText(steps.problem());
    row.kot = " " + AnswerRead(steps.problem(), steps.work());
    row.hnt = steps.verdict() && IsRight(*steps.verdict()) ? " ○" : " ×";
    return row;
}

}  // namespace

DecimalDivisionDrillScreen::DecimalDivisionDrillScreen(AppContext& ctx, DrillLog& log, QWidget* parent)
    : DrillScreen(ctx, log, QStringLiteral("TForm15"), QStringLiteral("Sorelka"), DecimalDivisionDrillProfile(),
                  parent),
      steps_(ctx, DecimalDivisionSteps::Options{.with_mark = false}),
      view_(this, SheetScreen::Drill) {
    // Between the question's number and the time list.
    problem_line_ = MakeProblemLine(this, QStringLiteral("Label4"), 20, Qt::AlignCenter, QRect(148, 98, 464, 36));
    using Screen = DecimalDivisionDrillScreen;
    connect(view_.digit_list(0), &ChoiceList::chosen, this, &Screen::ThousandsDigitChosen);
    connect(view_.digit_list(1), &ChoiceList::chosen, this, &Screen::HundredsDigitChosen);
    connect(view_.digit_list(2), &ChoiceList::chosen, this, &Screen::TensDigitChosen);
    connect(view_.digit_list(3), &ChoiceList::chosen, this, &Screen::OnesDigitChosen);
    connect(view_.action_list(), &ChoiceList::chosen, this, &Screen::ActionChosen);
    connect(view_.point_list(), &ChoiceList::chosen, this, &Screen::PointChosen);
    connect(view_.remainder_point_list(), &ChoiceList::chosen, this, &Screen::RemainderPointChosen);
    // The score sheet lies over the worksheet while it is shown.
    findChild<QWidget*>(QStringLiteral("DBGrid1"))->raise();
    Refresh();
}

void DecimalDivisionDrillScreen::Refresh() {
    view_.Show(steps_);
    view_.ShowLists(lists_kept_);
    const std::string& said = steps_.cells().at(role::kPrompt).text;
    if (said != seen_prompt_) {
        seen_prompt_ = said;
        if (!said.empty()) SetPrompt(QString::fromStdString(said));
    }
}

void DecimalDivisionDrillScreen::ClearWorksheet() {
    steps_.DropProblem();
    Announce(problem_line_, QString());
    lists_kept_ = false;
    Refresh();
}

void DecimalDivisionDrillScreen::GenerateProblem(int menu_choice) {
    if (const std::optional<DecimalDivisionProblem> problem = DrawProblem(menu_choice, ctx().random))
        steps_.StartProblem(*problem);
}

void DecimalDivisionDrillScreen::ShowProblem() {
    if (steps_.has_problem())
        Announce(problem_line_, QString::fromStdString(ProblemLine(steps_.problem(), false)));
    Refresh();
}

void DecimalDivisionDrillScreen::ResetEntryLists() {
    lists_kept_ = true;
    view_.ResetLists();
    Refresh();
}

void DecimalDivisionDrillScreen::HideEntryLists() {
    lists_kept_ = false;
    Refresh();
}

void DecimalDivisionDrillScreen::ClearWorksheetNumbers() {
    steps_.ClearNumbers();
    Announce(problem_line_, QString());
    Refresh();
}

bool DecimalDivisionDrillScreen::TakesEntry(ChoiceList* list) {
    // After "ストップ" or the time-out the lists stay but write nothing.
    if (steps_.takes_entries()) return true;
    list->Reset();
    return false;
}

void DecimalDivisionDrillScreen::ThousandsDigitChosen(int digit) { DigitChosen(0, digit); }
void DecimalDivisionDrillScreen::HundredsDigitChosen(int digit) { DigitChosen(1, digit); }
void DecimalDivisionDrillScreen::TensDigitChosen(int digit) { DigitChosen(2, digit); }
void DecimalDivisionDrillScreen::OnesDigitChosen(int digit) { DigitChosen(3, digit); }

void DecimalDivisionDrillScreen::DigitChosen(int list, int digit) {
    if (!TakesEntry(view_.digit_list(list))) return;
    steps_.ChooseDigit(DigitListPlace(list), digit);
    Refresh();
}

void DecimalDivisionDrillScreen::PointChosen(int index) {
    if (!TakesEntry(view_.point_list())) return;
    steps_.ChooseQuotientPoint(index + 1);
    Refresh();
    PlayCue(Cue::Choice);
}

void DecimalDivisionDrillScreen::RemainderPointChosen(int index) {
    if (!TakesEntry(view_.remainder_point_list())) return;
    steps_.ChooseRemainderPoint(index + 1);
    Refresh();
    PlayCue(Cue::Choice);
}

void DecimalDivisionDrillScreen::ActionChosen(int index) {
    // A question already judged, or left over from a finished drill, is not
    // finished again.
    if (!TakesEntry(view_.action_list())) return;
    const std::optional<SheetAction> action = SheetActionAt(index);
    if (!action) return;
    if (*action == SheetAction::Finish && !CanJudge()) return;
    const std::optional<Verdict> verdict = steps_.ApplyAction(*action);
    Refresh();
    if (verdict) RecordAnswer(IsRight(*verdict), RowOf(steps_));
}

void DecimalDivisionDrillScreen::FillAnswerTexts(const DrillRow& row, JudgedAnswer& answer) const {
    DrillScreen::FillAnswerTexts(row, answer);
    // The record keeps the problem as every part of the program reads it back.
    answer.problem = StoredProblemText(steps_.problem());
}

WorkedRows DecimalDivisionDrillScreen::WorkedRowsNow() const { return DecimalDivisionWorkedRows(steps_.cells()); }

Diagnosis DecimalDivisionDrillScreen::DiagnoseAnswer(const WorkedRows& rows) const {
    return DiagnoseDecimalDivision(steps_.problem(), rows);
}

}  // namespace sorelka::decimal_division
