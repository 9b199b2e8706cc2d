#include "decimals/decimal_drill_screen.h"

#include "decimals/decimal_cells.h"
#include "decimals/decimal_diagnosis.h"
#include "decimals/decimal_layout.h"
#include "decimals/decimal_topics.h"
#include "drill/drill_log.h"
#include "widgets/choice_list.h"

namespace sorelka::decimals {

namespace {

DrillProfile DecimalDrillProfile(const DrillVariant& variant) {
    DrillProfile p;
    p.title = QString::fromUtf8(variant.title);
    p.topic = TopicOf(variant.operation);
    p.menu_items = {QStringLiteral("小数第一位"), QStringLiteral("小数第二位"),
                    QStringLiteral("小数第三位")};
    p.menu_heading = QStringLiteral("  メニュー");
    p.time_list = QStringLiteral("ComboBox8");
    p.score_labels = {QStringLiteral("Label8"), QStringLiteral("Label9"),
                      QStringLiteral("Label10")};
    p.question_label = QStringLiteral("Label3");
    p.time_prompt = QString::fromUtf8(variant.time_prompt);
    p.time_cue = variant.time_cue;
    p.next_prompt = QStringLiteral("「次へ」ボタンですすめてね！");
    p.time_choice_enables_start = true;
    p.show_clears_menu_selection = false;
    p.start_cue_after_clearing_log = true;
    p.stop_sets_buttons = true;
    p.grid_columns = {{kFieldNo, QStringLiteral("番号"), 40, Qt::AlignLeft},
                      {kFieldMnd, QStringLiteral("問題"), 150, Qt::AlignLeft},
                      {kFieldKai, QStringLiteral("正解"), 90, Qt::AlignLeft},
                      {kFieldKot, QStringLiteral("答え"), 90, Qt::AlignLeft},
                      {kFieldHnt, QStringLiteral("判定"), 60, Qt::AlignLeft}};
    // As wide as its columns and its frame.
    p.grid_geometry = QRect(30, 130, 40 + 150 + 90 + 90 + 60 + 4, 440);

    // The answer columns stand at the right from top 272 down to about 592,
    // so the buttons take two rows under them, beside the prompt line.
    p.question_place = QRect(300, 150, 240, 44);
    PlaceButtonsBesideThePrompt(p);
    return p;
}

}  // namespace

DecimalDrillScreen::DecimalDrillScreen(AppContext& ctx, DrillLog& log, const DrillVariant& variant,
                                       QWidget* parent)
    : DrillScreen(ctx, log, QString::fromUtf8(DecimalFormName(variant.operation, SheetScreen::Drill)),
                  QStringLiteral("Sorelka"),
                  DecimalDrillProfile(variant), parent),
      sheet_(DrillSheetPlace(variant.operation)),
      view_(this, sheet_.place()) {
    using Screen = DecimalDrillScreen;
    connect(view_.digit_list(Column::Tens), &ChoiceList::chosen, this, &Screen::TensDigitChosen);
    connect(view_.digit_list(Column::Ones), &ChoiceList::chosen, this, &Screen::OnesDigitChosen);
    connect(view_.digit_list(Column::Tenths), &ChoiceList::chosen, this, &Screen::TenthsDigitChosen);
    connect(view_.digit_list(Column::Hundredths), &ChoiceList::chosen, this, &Screen::HundredthsDigitChosen);
    connect(view_.digit_list(Column::Thousandths), &ChoiceList::chosen, this, &Screen::ThousandthsDigitChosen);
    connect(view_.action_list(), &ChoiceList::chosen, this, &Screen::ActionChosen);
    // The score sheet lies over the worksheet while it is shown.
    findChild<QWidget*>(QStringLiteral("DBGrid1"))->raise();
    Refresh();
}

void DecimalDrillScreen::ClearWorksheet() {
    sheet_.ClearWorksheet();
    Refresh();
}

void DecimalDrillScreen::GenerateProblem(int menu_choice) {
    sheet_.GenerateProblem(ctx().random, menu_choice);
    Refresh();
}

void DecimalDrillScreen::ShowProblem() {
    sheet_.ShowOperator();
    Refresh();
}

void DecimalDrillScreen::ResetEntryLists() {
    sheet_.ResetEntryLists();
    Refresh();
}

void DecimalDrillScreen::HideEntryLists() {
    sheet_.HideEntryLists();
    Refresh();
}

void DecimalDrillScreen::ClearWorksheetNumbers() {
    sheet_.ClearNumbers();
    Refresh();
}

void DecimalDrillScreen::TensDigitChosen(int digit) { DigitChosen(Column::Tens, digit); }
void DecimalDrillScreen::OnesDigitChosen(int digit) { DigitChosen(Column::Ones, digit); }
void DecimalDrillScreen::TenthsDigitChosen(int digit) { DigitChosen(Column::Tenths, digit); }
void DecimalDrillScreen::HundredthsDigitChosen(int digit) { DigitChosen(Column::Hundredths, digit); }
void DecimalDrillScreen::ThousandthsDigitChosen(int digit) { DigitChosen(Column::Thousandths, digit); }

void DecimalDrillScreen::DigitChosen(Column column, int digit) {
    // After "ストップ" or the time-out the lists stay but write nothing.
    if (!sheet_.takes_entries()) {
        view_.digit_list(column)->Reset();
        return;
    }
    sheet_.ShowRunningAnswer(column, digit);
    Refresh();
    PlayCue(Cue::Choice);
}

void DecimalDrillScreen::ActionChosen(int index) {
    // A question already judged, or left over from a finished drill, is not
    // finished again: no second row, no second point.
    if (!sheet_.takes_entries()) view_.action_list()->Reset();
    if (ActionAt(index) != Action::Finish || !sheet_.takes_entries() || !CanJudge()) return;
    sheet_.ShowFinishedAnswer();
    Refresh();
    JudgeAndLog();
}

WorkedRows DecimalDrillScreen::WorkedRowsNow() const { return DecimalWorkedRows(sheet_.cells(), SheetScreen::Drill); }

Diagnosis DecimalDrillScreen::DiagnoseAnswer(const WorkedRows& rows) const {
    return DiagnoseDecimal(sheet_.operation(), sheet_.problem(), rows);
}

void DecimalDrillScreen::JudgeAndLog() { RecordAnswer(IsRight(sheet_.verdict()), DecimalDrillRow(sheet_)); }

}  // namespace sorelka::decimals
