#include "multiplication/multiplication_drill_screen.h"

#include <QLabel>

#include "drill/drill_log.h"
#include "multiplication/multiplication_cells.h"
#include "multiplication/multiplication_diagnosis.h"
#include "multiplication/multiplication_practice.h"
#include "widgets/accessibility.h"
#include "widgets/choice_list.h"

namespace sorelka::multiplication {

namespace {

DrillProfile MultiplicationDrillProfile() {
    DrillProfile p;
    p.title = QString::fromUtf8(kDrillTitle);
    p.topic = Topic::DecimalMultiplication;
    p.menu_items = {QStringLiteral("小数 × １けた"), QStringLiteral("小数 × ２けた"),
                    QStringLiteral("答えの ０に 気をつける")};
    p.menu_heading = QStringLiteral("    メニュー");
    p.menu_place = QRect(722, 12, 218, 0);
    p.time_list = QStringLiteral("ComboBox8");
    p.time_place = QRect(560, 12, 152, 0);
    p.score_labels = {QStringLiteral("Label15"), QStringLiteral("Label16"), QStringLiteral("Label17")};
    p.question_label = QStringLiteral("Label7");
    p.question_place = QRect(30, 112, 140, 44);
    p.time_prompt = QStringLiteral("「スタート」ボタンを押してね！");
    p.time_cue = Cue::Choice;
    p.next_prompt = QStringLiteral("「次へ」ボタンですすめてね！");
    p.time_choice_enables_start = true;
    p.show_clears_menu_selection = false;
    p.start_cue_after_clearing_log = true;
    p.stop_sets_buttons = true;
    p.grid_columns = {{kFieldNo, QStringLiteral("番号"), 50, Qt::AlignLeft},
                      {kFieldMnd, QStringLiteral("問題"), 180, Qt::AlignLeft},
                      {kFieldKai, QStringLiteral("正解"), 120, Qt::AlignLeft},
                      {kFieldKot, QStringLiteral("答え"), 120, Qt::AlignLeft},
                      {kFieldHnt, QStringLiteral("判定"), 66, Qt::AlignLeft}};
    // As wide as its columns and its frame: over the whole paper while it shows.
    p.grid_geometry = QRect(30, 130, 50 + 180 + 120 + 120 + 66 + 4, 440);
    // The lists reach down to about 490: the buttons take two rows under
    // them, beside the prompt line.
    PlaceButtonsBesideThePrompt(p);
    return p;
}

// The log row of the question on `steps`, judged as it stands (its number
// is filled in by the drill): " 2.37 × 6", " 14.22", " 14.22", " ○".
DrillRow RowOf(const MultiplicationSteps& steps) {
    DrillRow row;
    row.mnd = " " + StoredProblemText(steps.problem());
    row.kai = " " + ProductText(steps.problem());
    row.kot = " " + AnswerText(steps.work());
    row.hnt = steps.verdict() && IsRight(*steps.verdict()) ? " ○" : " ×";
    return row;
}

}  // namespace

MultiplicationDrillScreen::MultiplicationDrillScreen(AppContext& ctx, DrillLog& log, QWidget* parent)
    : DrillScreen(ctx, log, QStringLiteral("TForm13"), QStringLiteral("Sorelka"), MultiplicationDrillProfile(),
                  parent),
      steps_(MultiplicationSteps::Options{.with_mark = false}),
      view_(this, SheetScreen::Drill) {
    problem_line_ =
        MakeProblemLine(this, QStringLiteral("Label4"), 36, Qt::AlignCenter, QRect(176, 108, 400, 48));
    using Screen = MultiplicationDrillScreen;
    connect(view_.digit_list(0), &ChoiceList::chosen, this, &Screen::ThousandsDigitChosen);
    connect(view_.digit_list(1), &ChoiceList::chosen, this, &Screen::HundredsDigitChosen);
    connect(view_.digit_list(2), &ChoiceList::chosen, this, &Screen::TensDigitChosen);
    connect(view_.digit_list(3), &ChoiceList::chosen, this, &Screen::OnesDigitChosen);
    connect(view_.point_list(), &ChoiceList::chosen, this, &Screen::PointChosen);
    connect(view_.action_list(), &ChoiceList::chosen, this, &Screen::ActionChosen);
    // The score sheet lies over the worksheet while it is shown.
    findChild<QWidget*>(QStringLiteral("DBGrid1"))->raise();
    Refresh();
}

void MultiplicationDrillScreen::Refresh() {
    view_.Show(steps_);
    view_.ShowLists(lists_kept_);
}

void MultiplicationDrillScreen::ClearWorksheet() {
    steps_.DropProblem();
    Announce(problem_line_, QString());
    lists_kept_ = false;
    Refresh();
}

void MultiplicationDrillScreen::GenerateProblem(int menu_choice) {
    if (const std::optional<MultiplicationProblem> problem = DrawProblem(menu_choice, ctx().random))
        steps_.StartProblem(*problem);
}

void MultiplicationDrillScreen::ShowProblem() {
    if (steps_.has_problem())
        Announce(problem_line_, QString::fromStdString(ProblemLine(steps_.problem(), false)));
    Refresh();
}

void MultiplicationDrillScreen::ResetEntryLists() {
    lists_kept_ = true;
    view_.ResetLists();
    Refresh();
}

void MultiplicationDrillScreen::HideEntryLists() {
    lists_kept_ = false;
    Refresh();
}

void MultiplicationDrillScreen::ClearWorksheetNumbers() {
    steps_.ClearNumbers();
    Announce(problem_line_, QString());
    Refresh();
}

bool MultiplicationDrillScreen::TakesEntry(ChoiceList* list) {
    // After "ストップ" or the time-out the lists stay but write nothing.
    if (steps_.takes_entries()) return true;
    list->Reset();
    return false;
}

void MultiplicationDrillScreen::ThousandsDigitChosen(int digit) { DigitChosen(0, digit); }
void MultiplicationDrillScreen::HundredsDigitChosen(int digit) { DigitChosen(1, digit); }
void MultiplicationDrillScreen::TensDigitChosen(int digit) { DigitChosen(2, digit); }
void MultiplicationDrillScreen::OnesDigitChosen(int digit) { DigitChosen(3, digit); }

void MultiplicationDrillScreen::DigitChosen(int list, int digit) {
    if (!TakesEntry(view_.digit_list(list))) return;
    steps_.ChooseDigit(DigitListPlace(list), digit);
    Refresh();
    PlayCue(Cue::Choice);
}

void MultiplicationDrillScreen::PointChosen(int index) {
    if (!TakesEntry(view_.point_list())) return;
    steps_.ChoosePoint(index + 1);
    Refresh();
    PlayCue(Cue::Choice);
}

void MultiplicationDrillScreen::ActionChosen(int index) {
    // A question already judged, or left over from a finished drill, is not
    // finished again.
    if (!TakesEntry(view_.action_list())) return;
    const std::optional<SheetAction> action = SheetActionAt(index);
    if (!action) return;
    switch (*action) {
        case SheetAction::Confirm: steps_.ApplyAction(Action::Confirm); break;
        case SheetAction::StrikeZero: steps_.StrikeEndZero(); break;
        case SheetAction::OnesZero: steps_.WriteOnesZero(); break;
        case SheetAction::Clear: steps_.ApplyAction(Action::Clear); break;
        case SheetAction::Finish:
            if (!CanJudge()) return;
            steps_.ApplyAction(Action::Finish);
            Refresh();
            RecordAnswer(steps_.verdict() && IsRight(*steps_.verdict()), RowOf(steps_));
            return;
    }
    Refresh();
    PlayCue(Cue::Choice);
}

WorkedRows MultiplicationDrillScreen::WorkedRowsNow() const { return MultiplicationWorkedRows(steps_.cells()); }

Diagnosis MultiplicationDrillScreen::DiagnoseAnswer(const WorkedRows& rows) const {
    return DiagnoseMultiplication(steps_.problem(), rows);
}

}  // namespace sorelka::multiplication
