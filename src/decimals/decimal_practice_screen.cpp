#include "decimals/decimal_practice_screen.h"

#include <QLabel>

#include "widgets/accessibility.h"
#include "decimals/decimal_diagnosis.h"
#include "decimals/decimal_layout.h"
#include "decimals/decimal_topics.h"
#include "decimals/figure_label.h"
#include "widgets/choice_list.h"
#include "widgets/cute_button.h"
#include "widgets/diagnosis_panel.h"
#include "widgets/look.h"
#include "widgets/mistake_finder.h"
#include "widgets/worked_example_player.h"

namespace sorelka::decimals {

namespace {

PracticeFrame DecimalFrame(const PracticeVariant& variant) {
    return {.title = QString::fromUtf8(variant.title), .title_place = {28, 20, 600, 48},
            .menu_heading = QStringLiteral("  メニュー"), .menu_place = {752, 20, 170, 0},
            .menu_items = MenuTexts(decimals::DecimalAdditionTopic().practice_menu),
            .picture = [] { return PencilPicture(PencilTip::UpRight); }, .picture_place = {34, 590, 64, 64},
            .prompt_place = {104, 600, 470, 44},
            .next_place = {584, 598, 110, 48}, .back_place = {704, 598, 110, 48}, .quit_place = {824, 598, 110, 48},
            .status_height = 26, .focus_line_place = {40, 70, 700, 36}};
}

}  // namespace

DecimalPracticeScreen::DecimalPracticeScreen(AppContext& ctx, const PracticeVariant& variant,
                                             QWidget* parent)
    : PracticeScreen(ctx, QString::fromUtf8(DecimalFormName(variant.operation, SheetScreen::Practice)),
                     QStringLiteral("Sorelka"), DecimalFrame(variant), parent),
      model_(ctx, variant),
      sheet_view_(this, model_.sheet().place()) {
    BuildControls();
    using Screen = DecimalPracticeScreen;
    connect(sheet_view_.digit_list(Column::Tens), &ChoiceList::chosen, this, &Screen::TensDigitChosen);
    connect(sheet_view_.digit_list(Column::Ones), &ChoiceList::chosen, this, &Screen::OnesDigitChosen);
    connect(sheet_view_.digit_list(Column::Tenths), &ChoiceList::chosen, this, &Screen::TenthsDigitChosen);
    connect(sheet_view_.digit_list(Column::Hundredths), &ChoiceList::chosen, this, &Screen::HundredthsDigitChosen);
    connect(sheet_view_.digit_list(Column::Thousandths), &ChoiceList::chosen, this, &Screen::ThousandthsDigitChosen);
    connect(sheet_view_.action_list(), &ChoiceList::chosen, this, &Screen::ActionChosen);

    if (variant.shown_at_creation) {
        FormCreate();
    } else {
        Refresh();
    }
}

void DecimalPracticeScreen::BuildControls() {
    MakeProblemLine(this, QStringLiteral("Label4"), 40, Qt::AlignLeft | Qt::AlignVCenter, QRect(40, 112, 660, 60));

    MakeVerdictMark(this, QStringLiteral("Label3"), 120, QRect(560, 396, 150, 150));

    BuildFrame();
    connect(menu_, &ChoiceList::chosen, this, &DecimalPracticeScreen::MenuItemChosen);
    connect(next_, &QPushButton::clicked, this, &DecimalPracticeScreen::NextPressed);

    // Under the written calculation, left of the mark and above the prompt:
    // wide enough for the longest kind's name on one line.
    panel_ = new DiagnosisPanel(this, {QRect(16, 394, 536, 196)}, prompt_);
    BuildExampleModes();
}

DecimalPracticeScreen::~DecimalPracticeScreen() = default;

QRect DecimalPracticeScreen::AnswerDigitRect(Column column) const { return CellRect(DecimalColumnCell(column)); }

void DecimalPracticeScreen::Refresh(bool just_judged) {
    sheet_view_.Show(model_.sheet());
    const auto& note = model_.note();
    const std::optional<Column> column = note ? StepColumn(note->finding.step) : std::nullopt;
    panel_->Show(note, column ? AnswerDigitRect(*column) : QRect());
    player_->Offer(just_judged && note.has_value());
}

void DecimalPracticeScreen::FormCreate() {
    LeaveExampleModes();
    model_.FormCreate();
    Refresh();
}

void DecimalPracticeScreen::MenuItemChosen(int index) {
    LeaveGuideAndExamples();
    model_.MenuItemChosen(index);
    Refresh();
}

void DecimalPracticeScreen::NextPressed() {
    if (NextBringsAnotherExample() || GuideNext()) return;
    model_.NextPressed();
    Refresh();
}

void DecimalPracticeScreen::ShowGivenProblem(const DecimalProblem& problem, int menu_choice) {
    if (auto* menu = findChild<ChoiceList*>(QStringLiteral("ComboBox1"))) menu->ShowChosen(menu_choice - 1);
    model_.ShowGivenProblem(problem, menu_choice);
    Refresh();
}

void DecimalPracticeScreen::TensDigitChosen(int digit) { DigitChosen(Place::Tens, digit); }
void DecimalPracticeScreen::OnesDigitChosen(int digit) { DigitChosen(Place::Ones, digit); }
void DecimalPracticeScreen::TenthsDigitChosen(int digit) { DigitChosen(Place::Tenths, digit); }
void DecimalPracticeScreen::HundredthsDigitChosen(int digit) { DigitChosen(Place::Hundredths, digit); }
void DecimalPracticeScreen::ThousandthsDigitChosen(int digit) { DigitChosen(Place::Thousandths, digit); }

void DecimalPracticeScreen::DigitChosen(Place place, int digit) {
    LeaveExampleModes();
    model_.ChooseDigit(place, digit);
    Refresh();
}

void DecimalPracticeScreen::ActionChosen(int index) {
    LeaveExampleModes();
    const std::optional<Action> action = ActionAt(index);
    const std::optional<Verdict> verdict = action ? model_.ApplyAction(*action) : std::nullopt;
    Refresh(true);
    if (verdict) GuideJudged(IsRight(*verdict));
}

}  // namespace sorelka::decimals
