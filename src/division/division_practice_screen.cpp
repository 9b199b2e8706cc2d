#include "division/division_practice_screen.h"

#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QTimer>
#include <cstdlib>

#include "division/division_cells.h"
#include "division/division_diagnosis.h"
#include "division/division_layout.h"
#include "division/practice_hints.h"
#include "widgets/accessibility.h"
#include "widgets/diagnosis_panel.h"
#include "widgets/choice_list.h"
#include "widgets/cute_button.h"
#include "widgets/look.h"
#include "widgets/mistake_finder.h"
#include "widgets/status_clock.h"
#include "widgets/worked_example_player.h"

namespace sorelka::division {

namespace {

QString Text(const std::string& utf8) {
    // Hints mark their line break with a carriage return; a label breaks on "\n".
    return QString::fromStdString(utf8).replace(QLatin1Char('\r'), QLatin1Char('\n'));
}

// Image1: a yellow pencil, writing.
QPixmap PencilPicture() {
    QPixmap pixmap(64, 64);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(32, 32);
    p.rotate(-45);
    const QColor outline(0x70, 0x50, 0x20);
    p.setPen(QPen(outline, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(QColor(0xFF, 0x9C, 0xB0));  // eraser
    p.drawRoundedRect(QRectF(14, -7, 12, 14), 3, 3);
    p.setBrush(QColor(0xC8, 0xC8, 0xD0));  // ferrule
    p.drawRect(QRectF(9, -7, 6, 14));
    p.setBrush(QColor(0xFF, 0xCC, 0x30));  // body
    p.drawRect(QRectF(-14, -7, 23, 14));
    QPainterPath wood;
    wood.moveTo(-14, -7);
    wood.lineTo(-26, 0);
    wood.lineTo(-14, 7);
    wood.closeSubpath();
    p.setBrush(QColor(0xF5, 0xD9, 0xA8));
    p.drawPath(wood);
    QPainterPath lead;
    lead.moveTo(-22, -2.3);
    lead.lineTo(-26, 0);
    lead.lineTo(-22, 2.3);
    lead.closeSubpath();
    p.setBrush(QColor(0x30, 0x30, 0x40));
    p.drawPath(lead);
    return pixmap;
}

}  // namespace

DivisionPracticeScreen::DivisionPracticeScreen(AppContext& ctx, QWidget* parent)
    : ExerciseScreen(ctx, QStringLiteral("TForm2"), QStringLiteral("Sorelka"), parent),
      model_(ctx) {
    auto* title = new QLabel(QStringLiteral("１．わり算：練習問題"), this);
    title->setObjectName(QStringLiteral("Label1"));
    title->setFont(SchoolFont(30, true));
    SetTextColour(title, kNavyColour);
    title->setGeometry(28, 18, 500, 44);

    problem_line_ = new QLabel(this);
    problem_line_->setObjectName(QStringLiteral("Label4"));
    problem_line_->setFont(SchoolFont(34, true));
    SetTextColour(problem_line_, kNavyColour);
    problem_line_->setAlignment(Qt::AlignCenter);
    problem_line_->setGeometry(176, 100, 560, 52);  // centred over the worksheet
    SetSpokenRole(problem_line_, QStringLiteral("もんだい"));

    view_ = std::make_unique<DivisionWorksheetView>(this, 626, 160);

    mark_ = new QLabel(this);
    mark_->setObjectName(QStringLiteral("Label3"));
    mark_->setFont(SchoolFont(120, true));
    SetTextColour(mark_, Qt::red);
    mark_->setAlignment(Qt::AlignCenter);
    mark_->setGeometry(634, 500, 150, 150);
    SetVerdictCell(mark_);

    menu_ = new ChoiceList(QStringLiteral("ComboBox1"), QStringLiteral("    メニュー"),
                           {QStringLiteral("１けたでわる"), QStringLiteral("２けたでわる"),
                            QStringLiteral("３けたでわる")},
                           this);
    menu_->PlaceAt(772, 14, 164);

    next_ = new CuteButton(QStringLiteral("CuteButton3"), QStringLiteral("次へ"), kPracticeGreen,
                           kNavyColour, this);
    next_->setGeometry(796, 500, 140, 48);
    auto* back = new CuteButton(QStringLiteral("CuteButton2"), QStringLiteral("目次"),
                                QColor(0xFF, 0xE0, 0x8A), kNavyColour, this);
    back->setGeometry(796, 556, 140, 48);
    auto* quit = new CuteButton(QStringLiteral("CuteButton1"), QStringLiteral("終る"), kNavyColour,
                                kCream, this);
    quit->setGeometry(796, 612, 140, 48);

    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("Image1"));
    picture->setPixmap(PencilPicture());
    picture->setGeometry(28, 596, 64, 64);

    prompt_ = new QLabel(this);
    prompt_->setObjectName(QStringLiteral("Label2"));
    prompt_->setFont(SchoolFont(22, true));
    SetTextColour(prompt_, Qt::red);
    prompt_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    prompt_->setWordWrap(true);  // the long hints take a second line
    prompt_->setGeometry(100, 586, 530, 84);

    status_ = new StatusClockBar(this);
    status_->setGeometry(0, height() - 24, width(), 24);

    clock_timer_ = new QTimer(this);
    clock_timer_->setObjectName(QStringLiteral("Timer1"));
    clock_timer_->setInterval(1000);
    connect(clock_timer_, &QTimer::timeout, this, &DivisionPracticeScreen::Timer1Timer);
    clock_timer_->start();

    connect(menu_, &ChoiceList::chosen, this, &DivisionPracticeScreen::MenuItemChosen);
    connect(view_->digit_list(Place::Ones), &ChoiceList::chosen, this, &DivisionPracticeScreen::OnesDigitChosen);
    connect(view_->digit_list(Place::Tens), &ChoiceList::chosen, this, &DivisionPracticeScreen::TensDigitChosen);
    connect(view_->digit_list(Place::Hundreds), &ChoiceList::chosen, this,
            &DivisionPracticeScreen::HundredsDigitChosen);
    connect(view_->digit_list(Place::Thousands), &ChoiceList::chosen, this,
            &DivisionPracticeScreen::ThousandsDigitChosen);
    connect(view_->action_list(), &ChoiceList::chosen, this, &DivisionPracticeScreen::ActionChosen);
    connect(next_, &QPushButton::clicked, this, &DivisionPracticeScreen::NextPressed);
    connect(back, &QPushButton::clicked, this, &DivisionPracticeScreen::CuteButton2Click);
    connect(quit, &QPushButton::clicked, this, &DivisionPracticeScreen::CuteButton1Click);

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
    LeaveGuide();
    LeaveExampleModes();
    ClearWorksheet();
    next_->show();
    ctx().state.menu_choice = index + 1;
    NewProblem();
}

void DivisionPracticeScreen::NextPressed() {
    if (finder_->active()) {
        ShowMistakeExample();
        return;
    }
    LeaveExampleModes();
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

void DivisionPracticeScreen::CuteButton1Click() { AskToQuit(QStringLiteral("終っても いいの？")); }

void DivisionPracticeScreen::CuteButton2Click() { ReturnToMenu(); }

void DivisionPracticeScreen::Timer1Timer() { status_->ShowClock(ctx().clock); }

}  // namespace sorelka::division
