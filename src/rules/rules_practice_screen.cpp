#include "rules/rules_practice_screen.h"

#include <QLabel>
#include <QPainter>
#include <cstdlib>

#include "widgets/accessibility.h"
#include "rules/rules_cells.h"
#include "rules/rules_diagnosis.h"
#include "rules/rules_layout.h"
#include "rules/rules_topic.h"
#include "widgets/choice_list.h"
#include "widgets/diagnosis_panel.h"
#include "widgets/cute_button.h"
#include "widgets/look.h"
#include "widgets/mistake_finder.h"
#include "widgets/worked_example_player.h"

namespace sorelka::rules {

namespace {

// Image1: a small green blackboard with the four operation signs.
QPixmap BlackboardPicture() {
    return DrawnPicture(72, 64, [](QPainter& p) {
        p.setPen(QPen(QColor(0x8A, 0x5A, 0x2B), 4));
        p.setBrush(QColor(0x2F, 0x6B, 0x4F));
        p.drawRoundedRect(QRectF(4, 4, 64, 46), 4, 4);
        p.setPen(QPen(QColor(0x8A, 0x5A, 0x2B), 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(16, 52), QPointF(10, 62));
        p.drawLine(QPointF(56, 52), QPointF(62, 62));
        QFont chalk = SchoolFont(17, true);
        p.setFont(chalk);
        const QColor colours[] = {QColor(0xFF, 0xFF, 0xFF), QColor(0xFF, 0xE0, 0x70),
                                  QColor(0xFF, 0xB0, 0xC8), QColor(0xA8, 0xE0, 0xFF)};
        const QString signs[] = {QStringLiteral("+"), QStringLiteral("−"), QStringLiteral("×"),
                                 QStringLiteral("÷")};
        for (int i = 0; i < 4; ++i) {
            p.setPen(colours[i]);
            p.drawText(QRectF(8 + (i % 2) * 28, 6 + (i / 2) * 21, 28, 22), Qt::AlignCenter, signs[i]);
        }
    });
}

QString Text(const std::string& utf8) {
    // The model marks a line break with a carriage return; a label breaks on "\n".
    return QString::fromStdString(utf8).replace(QLatin1Char('\r'), QLatin1Char('\n'));
}

PracticeFrame RulesFrame() {
    return {.title = QStringLiteral("４．計算のきまり：練習問題"), .title_place = {28, 18, 560, 44},
            .menu_heading = QStringLiteral("         メニュー"), .menu_place = {744, 14, 202, 0},
            .menu_items = MenuTexts(rules::RulesTopic().practice_menu),
            .picture = BlackboardPicture, .picture_place = {24, 592, 72, 64},
            // The long hints take a second line.
            .prompt_place = {104, 582, 480, 84}, .prompt_wraps = true,
            .next_place = {744, 186, 202, 48}, .back_place = {744, 242, 97, 44},
            .quit_caption = QStringLiteral("終わる"), .quit_place = {849, 242, 97, 44},
            .quit_question = QStringLiteral("終わっても いいの？"), .focus_line_place = {28, 64, 700, 34}};
}

}  // namespace

RulesPracticeScreen::RulesPracticeScreen(AppContext& ctx, QWidget* parent)
    : PracticeScreen(ctx, QStringLiteral("TForm8"), QStringLiteral("Sorelka"), RulesFrame(), parent),
      model_(ctx) {
    MakeProblemLine(this, QStringLiteral("Label3"), 36, Qt::AlignLeft | Qt::AlignVCenter, QRect(80, 104, 620, 56));

    view_ = std::make_unique<RulesWorksheetView>(this, 652, 304);

    MakeVerdictMark(this, QStringLiteral("Label21"), 120, QRect(496, 496, 150, 150));

    BuildFrame();
    connect(menu_, &ChoiceList::chosen, this, &RulesPracticeScreen::MenuItemChosen);
    connect(view_->digit_list(Place::Ones), &ChoiceList::chosen, this, &RulesPracticeScreen::OnesDigitChosen);
    connect(view_->digit_list(Place::Tens), &ChoiceList::chosen, this, &RulesPracticeScreen::TensDigitChosen);
    connect(view_->digit_list(Place::Hundreds), &ChoiceList::chosen, this,
            &RulesPracticeScreen::HundredsDigitChosen);
    connect(view_->digit_list(Place::Thousands), &ChoiceList::chosen, this,
            &RulesPracticeScreen::ThousandsDigitChosen);
    connect(view_->action_list(), &ChoiceList::chosen, this, &RulesPracticeScreen::ActionChosen);
    connect(view_->operation_list(), &ChoiceList::chosen, this, &RulesPracticeScreen::OperationChosen);
    connect(next_, &QPushButton::clicked, this, &RulesPracticeScreen::NextPressed);

    // The worksheet shows one calculation at a time, so the panel takes the
    // blank part of the paper (and the margin left of it, down to the prompt
    // line): left of a division (its divisor starts at x = 378), under a sum
    // (its rows end at y = 336), under a product (its rows end at y = 424,
    // left of the mark), and at last the strip left of a product's row
    // marker.
    using Part = RulesRole::Part;
    const CellView sum = RulesCellPlace({Part::AddResult});
    const CellView product = RulesCellPlace({Part::MulRow, 2});
    const int sums_end = sum.top + sum.height;
    const int products_end = product.top + product.height;
    const int divisor_left = RulesCellPlace({Part::DivDivisor}).left;
    const int marker_left = RulesCellPlace({Part::MulMarker}).left;
    constexpr int kLeft = 16;
    constexpr int kTop = 200;
    constexpr int kBottom = 576;  // above the prompt line
    panel_ = new DiagnosisPanel(
        this,
        {QRect(kLeft, kTop, divisor_left - 8 - kLeft, kBottom - kTop),
         QRect(kLeft, sums_end + 8, 486 - kLeft, kBottom - sums_end - 8),
         QRect(kLeft, products_end + 6, 490 - kLeft, kBottom - products_end - 6),
         QRect(kLeft, kTop, marker_left - 6 - kLeft, kBottom - kTop)},
        prompt_);
    BuildExampleModes();

    Sync();
}

RulesPracticeScreen::~RulesPracticeScreen() = default;

QRect RulesPracticeScreen::StepCells(const std::string& step) const {
    // A quotient digit is framed alone; any other cell, its written digits.
    const std::optional<RulesRole> role = RulesRoleOfStored(StepField(step, "cell"));
    if (!role) return {};
    const std::string quotient = StepField(step, "quotient");
    const int digit = quotient.empty() ? -1 : std::atoi(quotient.c_str()) - 1;
    return MarkedCells(this, RulesObjectName(*role), digit);
}

void RulesPracticeScreen::Sync() {
    view_->Show(model_);
    prompt_->setText(Text(model_.prompt_line()));
    const auto& note = model_.note();
    panel_->Show(note, note ? StepCells(note->finding.step) : QRect());
    player_->Offer(note.has_value());
}

void RulesPracticeScreen::FormCreate() {
    LeaveExampleModes();
    model_.FormCreate();
    menu_->Reset();
    next_->setEnabled(true);
    Sync();
}

void RulesPracticeScreen::MenuItemChosen(int index) {
    LeaveGuideAndExamples();
    model_.ChooseMenu(index + kParenthesesMenu);
    Sync();
}

void RulesPracticeScreen::NextPressed() {
    if (NextBringsAnotherExample() || GuideNext()) return;
    model_.NextProblem();
    Sync();
}

void RulesPracticeScreen::ShowGivenProblem(const ExpressionProblem& problem, int menu_choice) {
    menu_->ShowChosen(menu_choice - 1);
    model_.ShowGivenProblem(problem, menu_choice);
    Sync();
}

void RulesPracticeScreen::DigitChosen(Place place, int digit) {
    LeaveExampleModes();
    model_.ChooseDigit(place, digit);
    Sync();
}

void RulesPracticeScreen::OnesDigitChosen(int digit) { DigitChosen(Place::Ones, digit); }
void RulesPracticeScreen::TensDigitChosen(int digit) { DigitChosen(Place::Tens, digit); }
void RulesPracticeScreen::HundredsDigitChosen(int digit) { DigitChosen(Place::Hundreds, digit); }
void RulesPracticeScreen::ThousandsDigitChosen(int digit) { DigitChosen(Place::Thousands, digit); }

void RulesPracticeScreen::ActionChosen(int index) {
    LeaveExampleModes();
    ChooseActionItem(model_, index);
    Sync();
    if (const auto& verdict = model_.verdict()) GuideJudged(IsRight(*verdict));
}

void RulesPracticeScreen::OperationChosen(int index) {
    LeaveExampleModes();
    model_.ChooseOperation(OperationAt(index));
    Sync();
}

}  // namespace sorelka::rules
