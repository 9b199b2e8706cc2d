#include "fractions/fraction_practice_screen.h"

#include <QLabel>
#include <QScreen>

#include "fractions/fraction_diagnosis.h"
#include "fractions/fraction_look.h"
#include "widgets/accessibility.h"
#include "widgets/choice_list.h"
#include "widgets/cute_button.h"
#include "widgets/diagnosis_panel.h"
#include "widgets/look.h"
#include "widgets/mistake_finder.h"
#include "widgets/worked_example_player.h"
#include "widgets/worksheet_view.h"

namespace sorelka {

namespace {

QStringList ToQt(const std::vector<std::string>& items) {
    QStringList out;
    for (const std::string& item : items) out << QString::fromStdString(item);
    return out;
}

QLabel* MakeText(const QString& name, const QString& text, int pixels, const QColor& colour,
                 QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->setFont(SchoolFont(pixels, true));
    SetTextColour(label, colour);
    return label;
}

PracticeFrame FractionFrame() {
    return {.size = {955, 714},
            .title = QStringLiteral("５．分数の表し方：練習問題"), .title_pixels = 28, .title_place = {24, 18, 520, 44},
            .menu_heading = QString::fromUtf8(fractions::kMenuHeading), .menu_place = {660, 16, 270, 0},
            .menu_items = ToQt(fractions::MenuItems()),
            .picture_name = QStringLiteral("Image3"), .picture = fractions::CakePicture(),
            .picture_place = {20, 598, 64, 64},
            .prompt_place = {96, 590, 620, 80}, .first_prompt = QStringLiteral("「メニュー」をえらんでね！"),
            .next_colour = QColor(0xFF, 0xC8, 0xDC), .next_place = {846, 570, 96, 60},
            .back_place = {714, 646, 110, 38}, .quit_place = {832, 646, 110, 38},
            .focus_line_place = {24, 68, 620, 36}};
}

}  // namespace

FractionPracticeScreen::FractionPracticeScreen(AppContext& ctx, QWidget* parent)
    : PracticeScreen(ctx, QStringLiteral("TForm10"), QStringLiteral("Form10"), FractionFrame(), parent),
      model_(ctx) {
    if (QScreen* screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
    BuildWorksheet();
    BuildFrame();
    BuildControls();
    // Under the paper of the worksheet, down to the prompt.
    panel_ = new DiagnosisPanel(this, {QRect(72, 346, 560, 236)}, prompt_);
    BuildExampleModes();
    Refresh();
}

FractionPracticeScreen::~FractionPracticeScreen() = default;

void FractionPracticeScreen::BuildWorksheet() {
    using fractions::MakeFigure;
    // The paper the calculation is written on.
    auto* paper = new ShapeWidget(QStringLiteral("Paper"), ShapeWidget::Kind::Frame, this);
    paper->SetColours(QColor(0xB8, 0xC0, 0xE8), Qt::white);
    paper->setGeometry(72, 116, 560, 220);

    auto* task = MakeText(QStringLiteral("Label11"), QString(), 24, kNavyColour, this);
    task->setGeometry(104, 130, 500, 36);

    MakeFigure(QStringLiteral("Label4"), Qt::AlignRight, this)->setGeometry(184, 234, 38, 42);
    MakeFigure(QStringLiteral("Label6"), Qt::AlignHCenter, this)->setGeometry(224, 210, 54, 42);
    MakeFigure(QStringLiteral("Label5"), Qt::AlignHCenter, this)->setGeometry(224, 256, 54, 42);
    fractions::MakeBar(QStringLiteral("Shape1"), this)->setGeometry(224, 252, 58, 2);
    MakeFigure(QStringLiteral("Label10"), Qt::AlignHCenter, this)->setGeometry(304, 238, 40, 36);
    MakeFigure(QStringLiteral("Label7"), Qt::AlignRight, this)->setGeometry(360, 234, 38, 42);
    MakeFigure(QStringLiteral("Label9"), Qt::AlignHCenter, this)->setGeometry(400, 210, 54, 42);
    MakeFigure(QStringLiteral("Label8"), Qt::AlignHCenter, this)->setGeometry(400, 256, 54, 42);
    fractions::MakeBar(QStringLiteral("Shape2"), this)->setGeometry(400, 252, 58, 2);

    MakeVerdictMark(this, QStringLiteral("Label3"), 84, QRect(752, 560, 84, 84));
}

void FractionPracticeScreen::BuildControls() {
    connect(menu_, &ChoiceList::chosen, this, &FractionPracticeScreen::ComboBox1Change);

    tens_ = new ChoiceList(QStringLiteral("ComboBox3"), QString::fromUtf8(fractions::kTensHeading),
                           ChoiceList::DigitItems(), this);
    tens_->SetDigitKeys(true);
    tens_->SetCentredItems(true);
    tens_->PlaceAt(816, 224, 24);
    connect(tens_, &ChoiceList::chosen, this, &FractionPracticeScreen::ComboBox3Change);

    ones_ = new ChoiceList(QStringLiteral("ComboBox2"), QString::fromUtf8(fractions::kOnesHeading),
                           ChoiceList::DigitItems(), this);
    ones_->SetDigitKeys(true);
    ones_->SetCentredItems(true);
    ones_->PlaceAt(840, 224, 24);
    connect(ones_, &ChoiceList::chosen, this, &FractionPracticeScreen::ComboBox2Change);

    actions_ = new ChoiceList(QStringLiteral("ComboBox4"),
                              QString::fromUtf8(fractions::kPracticeActionHeading),
                              ToQt(fractions::ActionItems()), this);
    actions_->PlaceAt(864, 223, 80);
    connect(actions_, &ChoiceList::chosen, this, &FractionPracticeScreen::ComboBox4Change);

    connect(next_, &QPushButton::clicked, this, &FractionPracticeScreen::CuteButton4Click);
}

void FractionPracticeScreen::Refresh(bool just_judged) {
    ApplyWorksheet(this, model_.worksheet());
    if (model_.TakeListReset()) ResetEntryLists();
    const auto& note = model_.note();
    panel_->Show(note, note ? fractions::FramedCell(this, fractions::StepCell(note->finding.step)) : QRect());
    player_->Offer(just_judged && note.has_value());
}

void FractionPracticeScreen::ResetEntryLists() {
    tens_->Reset();
    ones_->Reset();
    actions_->Reset();
}

void FractionPracticeScreen::FormCreate() {
    LeaveExampleModes();
    model_.FormCreate();
    Refresh();
}

void FractionPracticeScreen::ComboBox1Change(int index) {
    LeaveGuideAndExamples();
    model_.ChooseMenu(index);
    Refresh();
}

void FractionPracticeScreen::ShowGivenProblem(const fractions::FractionProblem& problem, int menu_choice) {
    menu_->ShowChosen(menu_choice - 1);
    model_.ShowGivenProblem(problem, menu_choice);
    Refresh();
}

void FractionPracticeScreen::ComboBox3Change(int index) {
    LeaveExampleModes();
    model_.ChooseTens(index);
    Refresh();
}

void FractionPracticeScreen::ComboBox2Change(int index) {
    LeaveExampleModes();
    model_.ChooseOnes(index);
    Refresh();
}

void FractionPracticeScreen::ComboBox4Change(int index) {
    LeaveExampleModes();
    model_.ChooseAction(index);
    Refresh(true);
    const std::string& mark = model_.worksheet().at("Label3").text;
    if (!mark.empty()) GuideJudged(mark == "○");
}

void FractionPracticeScreen::CuteButton4Click() {
    if (NextBringsAnotherExample() || GuideNext()) return;
    model_.Next();
    Refresh();
}

}  // namespace sorelka
