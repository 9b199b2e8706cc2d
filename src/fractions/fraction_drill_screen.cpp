#include "fractions/fraction_drill_screen.h"

#include <QLabel>
#include <QScreen>

#include "fractions/fraction_cells.h"
#include "fractions/fraction_diagnosis.h"
#include "fractions/fraction_layout.h"
#include "fractions/fraction_look.h"
#include "widgets/choice_list.h"
#include "widgets/look.h"
#include "widgets/worksheet_view.h"

namespace sorelka {

namespace {

using namespace sorelka::fractions;

QStringList ToQt(const std::vector<std::string>& items) {
    QStringList out;
    for (const std::string& item : items) out << QString::fromStdString(item);
    return out;
}

// Label11 as the task line: the width of the paper, one row below the score line.
constexpr int kTaskLeft = 96;
const QRect kTaskPlace{kTaskLeft, 138, 520, 36};
// The score line is one compact row between the top of the paper and the
// score sheet, which is shown at top 130 and must not cover it.
constexpr int kScoreTop = 112;
constexpr int kScoreHeight = 18;
constexpr int kScorePixels = 17;
// Label11 as the first label of the score line.
const QRect kScorePlace{kTaskLeft, kScoreTop, 130, kScoreHeight};

DrillProfile FractionDrillProfile() {
    DrillProfile p;
    p.title = QStringLiteral("５．分数の表し方：ドリル");
    p.topic = Topic::Fractions;
    p.menu_items = ToQt(MenuItems());
    p.menu_heading = QString::fromUtf8(kMenuHeading);
    p.time_list = QStringLiteral("ComboBox5");
    p.score_labels = {QStringLiteral("Label11"), QStringLiteral("Label12"),
                      QStringLiteral("Label13")};
    p.score_places = {kScorePlace, {232, kScoreTop, 120, kScoreHeight}, {360, kScoreTop, 200, kScoreHeight}};
    p.question_label = QStringLiteral("Label3");
    p.question_place = QRect(88, 238, 130, 36);
    p.next_prompt = QString::fromUtf8(kGoOnPrompt);
    p.time_cue = Cue::Step;
    p.time_choice_enables_start = true;
    p.show_clears_menu_selection = false;
    p.start_cue_after_clearing_log = true;
    p.stop_sets_buttons = true;
    p.grid_columns = {{kFieldNo, QStringLiteral("番号"), 40, Qt::AlignHCenter},
                      {kFieldMnd, QStringLiteral("問題"), 150, Qt::AlignLeft},
                      {kFieldKai, QStringLiteral("正解"), 90, Qt::AlignLeft},
                      {kFieldKot, QStringLiteral("答え"), 90, Qt::AlignLeft},
                      {kFieldHnt, QStringLiteral("判定"), 0, Qt::AlignLeft}};
    p.grid_geometry = QRect(72, 130, 489, 473);
    p.menu_place = QRect(652, 12, 290, 0);
    p.time_place = QRect(652, 140, 104, 0);
    // One column under the time list, left of the entry lists (which reach
    // down to top 592): スタート 次へ ストップ 成績表 目次 終る.
    p.button_places = {QRect(652, 550, 150, 44), QRect(652, 500, 150, 44), QRect(652, 300, 150, 44),
                       QRect(652, 350, 150, 44), QRect(652, 400, 150, 44), QRect(652, 450, 150, 44)};
    return p;
}

}  // namespace

FractionDrillScreen::FractionDrillScreen(AppContext& ctx, DrillLog& log, QWidget* parent)
    : DrillScreen(ctx, log, QStringLiteral("TForm11"), QStringLiteral("Form11"),
                  FractionDrillProfile(), parent),
      sheet_(Variant::Drill, ctx) {
    if (QScreen* screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
    for (const char* name : {"Label11", "Label12", "Label13"})
        findChild<QLabel*>(QString::fromUtf8(name))->setFont(SchoolFont(kScorePixels, true));
    task_score_ = findChild<QLabel*>(QStringLiteral("Label11"));
    score_font_ = task_score_->font();
    score_palette_ = task_score_->palette();
    BuildWorksheet();
    BuildLists();

    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("Image1"));
    picture->setPixmap(CakePicture());
    picture->setGeometry(20, 602, 64, 64);
    // The two-line prompts stand beside the picture.
    findChild<QLabel*>(QStringLiteral("Label2"))->setGeometry(96, 596, 580, 76);

    // The score sheet lies over the worksheet while it is shown.
    findChild<QWidget*>(QStringLiteral("DBGrid1"))->raise();

    // The show handler also runs once as the form is created.
    FractionDrillScreen::FormCreate();
}

void FractionDrillScreen::BuildWorksheet() {
    // The paper the problem is written on, under the question number, the
    // task line, the score line and the worksheet.
    auto* paper = new ShapeWidget(QStringLiteral("Paper"), ShapeWidget::Kind::Frame, this);
    paper->SetColours(QColor(0xB8, 0xC0, 0xE8), Qt::white);
    paper->setGeometry(72, 104, 568, 236);
    paper->lower();
    BuildFigures(this, Variant::Drill);
}

void FractionDrillScreen::BuildLists() {
    const EntryLists lists = BuildEntryLists(this, Variant::Drill, kDrillActionHeading);
    tens_ = lists.tens;
    ones_ = lists.ones;
    actions_ = lists.actions;
    connect(tens_, &ChoiceList::chosen, this, &FractionDrillScreen::TensDigitChosen);
    connect(ones_, &ChoiceList::chosen, this, &FractionDrillScreen::OnesDigitChosen);
    connect(actions_, &ChoiceList::chosen, this, &FractionDrillScreen::ActionChosen);
}

void FractionDrillScreen::Refresh() {
    ApplyWorksheet(this, sheet_.worksheet(), FractionLayout(Variant::Drill));
    if (sheet_.TakeListReset()) {
        tens_->Reset();
        ones_->Reset();
        actions_->Reset();
    }
    if (const auto prompt = sheet_.TakePrompt()) SetPrompt(QString::fromStdString(*prompt));
}

void FractionDrillScreen::ClearWorksheet() {
    sheet_.ClearWorksheet();
    Refresh();
}

void FractionDrillScreen::GenerateProblem(int menu_choice) { sheet_.GenerateProblem(menu_choice); }

void FractionDrillScreen::ShowProblem() {
    Refresh();
    task_score_->setFont(SchoolFont(24, true));
    SetTextColour(task_score_, kNavyColour);
    task_score_->setGeometry(kTaskPlace);
    task_score_->setText(QString::fromStdString(sheet_.task_line()));
}

void FractionDrillScreen::ResetEntryLists() {
    sheet_.ResetEntryLists();
    Refresh();
}

void FractionDrillScreen::HideEntryLists() {
    sheet_.HideEntryLists();
    Refresh();
}

void FractionDrillScreen::ClearWorksheetNumbers() {
    sheet_.ClearWorksheetNumbers();
    Refresh();
}

QString FractionDrillScreen::ProblemPrompt() const {
    return QString::fromStdString(FamilyPrompt(ctx().state.menu_choice));
}

void FractionDrillScreen::AfterFinish() {
    // The number of questions joins the points and the time in one row.
    task_score_->setFont(score_font_);
    task_score_->setPalette(score_palette_);
    task_score_->setGeometry(kScorePlace);
}

bool FractionDrillScreen::IgnoreEntry(ChoiceList* list) {
    if (CanJudge()) return false;
    list->Reset();
    return true;
}

void FractionDrillScreen::TensDigitChosen(int index) {
    if (IgnoreEntry(tens_)) return;
    sheet_.ChooseDigit(Place::Tens, index);
    Refresh();
}

void FractionDrillScreen::OnesDigitChosen(int index) {
    if (IgnoreEntry(ones_)) return;
    sheet_.ChooseDigit(Place::Ones, index);
    Refresh();
}

void FractionDrillScreen::ActionChosen(int index) {
    if (IgnoreEntry(actions_)) return;
    ChooseActionItem(sheet_, index, [this] { sheet_.ApplyAction(Action::Finish, [this] { JudgeAndLog(); }); });
    Refresh();
}

void FractionDrillScreen::JudgeAndLog() {
    const FractionSheet::DrillAnswer answer = sheet_.JudgeForDrillLog();
    RecordAnswer(IsRight(answer.verdict), answer.row);
}

WorkedRows FractionDrillScreen::WorkedRowsNow() const { return FractionWorkedRows(sheet_.worksheet()); }

Diagnosis FractionDrillScreen::DiagnoseAnswer(const WorkedRows& rows) const {
    return fractions::DiagnoseFraction(ctx().state.menu_choice, fractions::Variant::Drill,
                                      sheet_.problem(), rows);
}

}  // namespace sorelka
