#include "rules/rules_drill_screen.h"

#include <QLabel>

#include "rules/rules_cells.h"
#include "rules/rules_diagnosis.h"
#include "drill/drill_log.h"
#include "widgets/accessibility.h"
#include "widgets/choice_list.h"
#include "widgets/look.h"

namespace sorelka::rules {

namespace {

// Where the digit and action lists stand, right of the worksheet.
constexpr int kListsLeft = 652;
constexpr int kListsTop = 280;

DrillProfile RulesDrillProfile() {
    DrillProfile p;
    p.title = QStringLiteral("４．計算のきまり：ドリル");
    p.topic = Topic::Rules;
    p.menu_items = {QStringLiteral("（　）のある計算"), QStringLiteral("＋－×÷のある計算"),
                    QStringLiteral("×÷のある計算"), QStringLiteral("□を求める計算")};
    p.menu_heading = QStringLiteral("         メニュー");
    p.time_list = QStringLiteral("ComboBox8");
    p.score_labels = {QStringLiteral("Label21"), QStringLiteral("Label22"),
                      QStringLiteral("Label23")};
    p.question_label = QStringLiteral("Label24");
    p.question_format = QStringLiteral("第 %1 問  ");
    p.time_prompt = QStringLiteral("「スタート」ボタンを押してね！");
    p.next_prompt = QStringLiteral("「次へ」ボタンですすめてね！");
    p.time_cue = Cue::Step;
    p.time_choice_enables_start = true;
    p.menu_choice_clears_time_list = true;
    p.show_enables_next = true;
    p.start_cue_after_clearing_log = true;
    p.countdown_per_question = true;
    const Qt::Alignment centre = Qt::AlignHCenter;
    p.grid_columns = {{kFieldNo, QStringLiteral("番号"), 50, centre},
                      {kFieldMnd, QStringLiteral("問題"), 260, Qt::AlignLeft},
                      {kFieldKai, QStringLiteral("正解"), 90, centre},
                      {kFieldKot, QStringLiteral("答え"), 90, centre},
                      {kFieldHnt, QStringLiteral("判定"), 60, centre}};
    p.grid_geometry = QRect(20, 130, 630, 460);
    p.grid_background = kCream;
    p.grid_text = kNavyColour;
    p.grid_bold_titles = true;
    // The lists stand at the top right, the buttons under them, clear of the
    // digit lists and of the score sheet.
    p.time_place = QRect(652, 12, 88, 0);
    p.menu_place = QRect(746, 12, 200, 0);
    // Two rows of three: スタート 次へ ストップ, 成績表 終る 目次.
    p.button_places = {QRect(752, 224, 96, 44), QRect(852, 224, 96, 44), QRect(652, 174, 96, 44),
                       QRect(752, 174, 96, 44), QRect(852, 174, 96, 44), QRect(652, 224, 96, 44)};
    p.question_place = QRect(40, 136, 186, 44);
    return p;
}

}  // namespace

RulesDrillScreen::RulesDrillScreen(AppContext& ctx, DrillLog& log, QWidget* parent)
    : DrillScreen(ctx, log, QStringLiteral("TForm9"), QStringLiteral("Sorelka"),
                  RulesDrillProfile(), parent),
      model_(ctx) {
    // 32 px: the widest problems (two three-digit divisions joined) fit the
    // room left of the lists.
    MakeProblemLine(this, QStringLiteral("Label3"), 32, Qt::AlignLeft | Qt::AlignVCenter, QRect(232, 130, 416, 56));

    view_ = std::make_unique<RulesWorksheetView>(this, kListsLeft, kListsTop);
    connect(view_->digit_list(Place::Ones), &ChoiceList::chosen, this, &RulesDrillScreen::OnesDigitChosen);
    connect(view_->digit_list(Place::Tens), &ChoiceList::chosen, this, &RulesDrillScreen::TensDigitChosen);
    connect(view_->digit_list(Place::Hundreds), &ChoiceList::chosen, this, &RulesDrillScreen::HundredsDigitChosen);
    connect(view_->digit_list(Place::Thousands), &ChoiceList::chosen, this,
            &RulesDrillScreen::ThousandsDigitChosen);
    connect(view_->action_list(), &ChoiceList::chosen, this, &RulesDrillScreen::ActionChosen);
    connect(view_->operation_list(), &ChoiceList::chosen, this, &RulesDrillScreen::OperationChosen);
    // The score sheet lies over the problem and the worksheet while it is shown.
    findChild<QWidget*>(QStringLiteral("DBGrid1"))->raise();
    Sync();
}

void RulesDrillScreen::Sync() {
    view_->Show(model_);
    if (auto prompt = model_.TakePrompt()) SetPrompt(QString::fromStdString(*prompt));
    if (auto judged = model_.TakeJudgement()) RecordAnswer(IsRight(judged->verdict), judged->row);
}

void RulesDrillScreen::ClearWorksheet() {
    model_.ClearWorksheet();
    Sync();
}

void RulesDrillScreen::GenerateProblem(int menu_choice) { model_.GenerateProblem(menu_choice); }

void RulesDrillScreen::ShowProblem() {
    model_.ShowProblem();
    Sync();
}

void RulesDrillScreen::ResetEntryLists() {
    model_.ResetEntryLists();
    Sync();
}

void RulesDrillScreen::HideEntryLists() {
    model_.HideEntryLists();
    Sync();
}

void RulesDrillScreen::ClearWorksheetNumbers() {
    model_.ClearWorksheetNumbers();
    Sync();
}

QString RulesDrillScreen::ProblemPrompt() const {
    return QString::fromStdString(model_.ProblemPrompt());
}

void RulesDrillScreen::DigitChosen(Place place, int digit) {
    model_.ChooseDigit(place, digit);
    Sync();
}

void RulesDrillScreen::OnesDigitChosen(int digit) { DigitChosen(Place::Ones, digit); }
void RulesDrillScreen::TensDigitChosen(int digit) { DigitChosen(Place::Tens, digit); }
void RulesDrillScreen::HundredsDigitChosen(int digit) { DigitChosen(Place::Hundreds, digit); }
void RulesDrillScreen::ThousandsDigitChosen(int digit) { DigitChosen(Place::Thousands, digit); }

void RulesDrillScreen::ActionChosen(int index) {
    ChooseActionItem(model_, index);
    Sync();
}

void RulesDrillScreen::OperationChosen(int index) {
    model_.ChooseOperation(OperationAt(index));
    Sync();
}

WorkedRows RulesDrillScreen::WorkedRowsNow() const { return RulesWorkedRows(model_.worksheet()); }

Diagnosis RulesDrillScreen::DiagnoseAnswer(const WorkedRows& rows) const {
    return DiagnoseRules(model_.problem(), rows);
}

}  // namespace sorelka::rules
