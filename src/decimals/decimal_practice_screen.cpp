#include "decimals/decimal_practice_screen.h"

#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QTimer>

#include "widgets/accessibility.h"
#include "decimals/decimal_diagnosis.h"
#include "decimals/decimal_layout.h"
#include "decimals/figure_label.h"
#include "widgets/choice_list.h"
#include "widgets/diagnosis_panel.h"
#include "widgets/cute_button.h"
#include "widgets/look.h"
#include "widgets/mistake_finder.h"
#include "widgets/status_clock.h"
#include "widgets/worked_example_player.h"

namespace sorelka::decimals {

namespace {

// Image1: a pencil beside the prompt line.
QPixmap PencilPicture() {
    QPixmap pixmap(64, 64);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(32, 32);
    p.rotate(-45);
    const QColor outline(0x6A, 0x4A, 0x20);
    p.setPen(QPen(outline, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    // Eraser, ferrule, body, wooden tip, lead.
    p.setBrush(QColor(0xFF, 0x9E, 0xB5));
    p.drawRoundedRect(QRectF(-28, -7, 9, 14), 3, 3);
    p.setBrush(QColor(0xC8, 0xC8, 0xD8));
    p.drawRect(QRectF(-20, -7, 6, 14));
    p.setBrush(QColor(0xFF, 0xC9, 0x2E));
    p.drawRect(QRectF(-14, -7, 28, 14));
    QPainterPath tip;
    tip.moveTo(14, -7);
    tip.lineTo(27, 0);
    tip.lineTo(14, 7);
    tip.closeSubpath();
    p.setBrush(QColor(0xF4, 0xD9, 0xA8));
    p.drawPath(tip);
    QPainterPath lead;
    lead.moveTo(23, -2.2);
    lead.lineTo(28, 0);
    lead.lineTo(23, 2.2);
    lead.closeSubpath();
    p.setBrush(QColor(0x40, 0x40, 0x50));
    p.drawPath(lead);
    return pixmap;
}

QLabel* MakeLabel(const QString& name, const QFont& font, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setFont(font);
    return label;
}

}  // namespace

DecimalPracticeScreen::DecimalPracticeScreen(AppContext& ctx, const PracticeVariant& variant,
                                             QWidget* parent)
    : ExerciseScreen(ctx, QString::fromUtf8(DecimalFormName(variant.operation, SheetScreen::Practice)),
                     QStringLiteral("Sorelka"), parent),
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

    clock_timer_ = new QTimer(this);
    clock_timer_->setObjectName(QStringLiteral("Timer1"));
    clock_timer_->setInterval(1000);
    connect(clock_timer_, &QTimer::timeout, this, &DecimalPracticeScreen::Timer1Timer);
    clock_timer_->start();

    if (variant.shown_at_creation) {
        FormCreate();
    } else {
        Refresh();
    }
}

void DecimalPracticeScreen::BuildControls() {
    auto* title = MakeLabel(QStringLiteral("Label1"), SchoolFont(30, true), this);
    title->setText(QString::fromUtf8(model_.variant().title));
    SetTextColour(title, kNavyColour);
    title->setGeometry(28, 20, 600, 48);

    auto* equation = MakeLabel(QStringLiteral("Label4"), SchoolFont(40, true), this);
    equation->setGeometry(40, 112, 660, 60);
    SetSpokenRole(equation, QStringLiteral("もんだい"));

    auto* mark = MakeLabel(QStringLiteral("Label3"), SchoolFont(120, true), this);
    mark->setAlignment(Qt::AlignCenter);
    mark->setGeometry(560, 396, 150, 150);
    SetVerdictCell(mark);

    auto* menu = new ChoiceList(QStringLiteral("ComboBox1"), QStringLiteral("  メニュー"),
                                {QStringLiteral("小数第一位"), QStringLiteral("小数第二位"),
                                 QStringLiteral("小数第三位")},
                                this);
    menu->PlaceAt(752, 20, 170);
    connect(menu, &ChoiceList::chosen, this, &DecimalPracticeScreen::MenuItemChosen);

    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("Image1"));
    picture->setPixmap(PencilPicture());
    picture->setGeometry(34, 590, 64, 64);

    auto* prompt = MakeLabel(QStringLiteral("Label2"), SchoolFont(22, true), this);
    prompt->setGeometry(104, 600, 470, 44);

    auto* next = new CuteButton(QStringLiteral("CuteButton4"), QStringLiteral("次へ"),
                                kPracticeGreen, kNavyColour, this);
    next->setGeometry(584, 598, 110, 48);
    connect(next, &QPushButton::clicked, this, &DecimalPracticeScreen::NextPressed);

    auto* back = new CuteButton(QStringLiteral("CuteButton2"), QStringLiteral("目次"),
                                QColor(0xFF, 0xE0, 0x8A), kNavyColour, this);
    back->setGeometry(704, 598, 110, 48);
    connect(back, &QPushButton::clicked, this, &DecimalPracticeScreen::CuteButton2Click);

    auto* quit = new CuteButton(QStringLiteral("CuteButton1"), QStringLiteral("終る"),
                                kNavyColour, kCream, this);
    quit->setGeometry(824, 598, 110, 48);
    connect(quit, &QPushButton::clicked, this, &DecimalPracticeScreen::CuteButton1Click);

    status_ = new StatusClockBar(this);
    status_->setGeometry(0, height() - 26, width(), 26);

    // Under the written calculation, left of the mark and above the prompt:
    // wide enough for the longest kind's name on one line.
    panel_ = new DiagnosisPanel(this, {QRect(16, 394, 536, 196)}, prompt);
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
    LeaveGuide();
    LeaveExampleModes();
    model_.MenuItemChosen(index);
    Refresh();
}

void DecimalPracticeScreen::NextPressed() {
    if (finder_->active()) {
        ShowMistakeExample();
        return;
    }
    LeaveExampleModes();
    if (GuideNext()) return;
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

void DecimalPracticeScreen::CuteButton2Click() { ReturnToMenu(); }

void DecimalPracticeScreen::CuteButton1Click() { AskToQuit(QStringLiteral("終わってもいいの？")); }

void DecimalPracticeScreen::Timer1Timer() { status_->ShowClock(ctx().clock); }

}  // namespace sorelka::decimals
