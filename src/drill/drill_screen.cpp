#include "drill/drill_screen.h"

#include <QHeaderView>
#include <QLabel>
#include <QTimer>

#include "core/clock_text.h"
#include "drill/drill_log.h"
#include "widgets/choice_list.h"
#include "widgets/cute_button.h"
#include "widgets/look.h"

namespace sorelka {

void PlaceButtonsBesideThePrompt(DrillProfile& p) {
    p.prompt_place = QRect(30, 606, 560, 64);
    const int left = 606, step = 110, width = 102, height = 42, top = 600, row = 48;
    p.button_places = {
        {left + 2 * step, top + row, width, height},  // CuteButton1 "終る"
        {left + step, top + row, width, height},      // CuteButton2 "目次"
        {left, top, width, height},                   // CuteButton3 "スタート"
        {left + step, top, width, height},            // CuteButton4 "次へ"
        {left + 2 * step, top, width, height},        // CuteButton5 "ストップ"
        {left, top + row, width, height},             // CuteButton6 "成績表"
    };
}

namespace {

struct ButtonSpec {
    int number;
    const char* caption;
    QColor background;
    QColor caption_colour;
    int column;
    int row;
};

}  // namespace

DrillScreen::DrillScreen(AppContext& ctx, DrillLog& log, const QString& name,
                         const QString& caption, DrillProfile profile, QWidget* parent)
    : ExerciseScreen(ctx, name, caption, parent),
      log_(log),
      profile_(std::move(profile)),
      session_(ctx.state) {
    auto* title = new QLabel(profile_.title, this);
    title->setObjectName(QStringLiteral("Label1"));
    title->setFont(SchoolFont(28, true));
    SetTextColour(title, kNavyColour);
    title->setGeometry(24, 12, 520, 44);

    menu_list_ = new ChoiceList(QStringLiteral("ComboBox1"), profile_.menu_heading,
                                profile_.menu_items, this);
    menu_list_->PlaceAt(profile_.menu_place.left(), profile_.menu_place.top(),
                       profile_.menu_place.width());
    connect(menu_list_, &ChoiceList::chosen, this, &DrillScreen::MenuItemChosen);

    time_list_ = new ChoiceList(profile_.time_list, profile_.time_heading,
                                {QStringLiteral("　なし"), QStringLiteral("　５分"),
                                 QStringLiteral("１０分"), QStringLiteral("１５分")},
                                this);
    time_list_->PlaceAt(profile_.time_place.left(), profile_.time_place.top(),
                       profile_.time_place.width());
    connect(time_list_, &ChoiceList::chosen, this, &DrillScreen::TimeListChange);

    const QColor score_colour(0xC0, 0x00, 0x30);
    for (int i = 0; i < profile_.score_labels.size(); ++i) {
        auto* label = new QLabel(this);
        label->setObjectName(profile_.score_labels[i]);
        label->setFont(SchoolFont(26, true));
        SetTextColour(label, score_colour);
        if (i < static_cast<int>(profile_.score_places.size()))
            label->setGeometry(profile_.score_places[i]);
        score_labels_.push_back(label);
    }

    if (!profile_.question_label.isEmpty()) {
        question_label_ = new QLabel(this);
        question_label_->setObjectName(profile_.question_label);
        question_label_->setFont(SchoolFont(24, true));
        SetTextColour(question_label_, kNavyColour);
        question_label_->setGeometry(profile_.question_place);
    }

    prompt_ = new QLabel(this);
    prompt_->setObjectName(QStringLiteral("Label2"));
    prompt_->setFont(SchoolFont(22, true));
    SetTextColour(prompt_, Qt::red);
    prompt_->setWordWrap(true);
    prompt_->setGeometry(profile_.prompt_place);

    const ButtonSpec specs[] = {
        {3, "スタート", QColor(0xFF, 0xC8, 0xD8), kNavyColour, 0, 0},
        {4, "次へ", kPracticeGreen, kNavyColour, 1, 0},
        {5, "ストップ", QColor(0xFF, 0xD8, 0xA8), kNavyColour, 0, 1},
        {6, "成績表", kDrillSkyBlue, kNavyColour, 1, 1},
        {1, "終る", kNavyColour, kCream, 0, 2},
        {2, "目次", QColor(0xFF, 0xE8, 0x90), kNavyColour, 1, 2},
    };
    buttons_.resize(6, nullptr);
    for (const ButtonSpec& s : specs) {
        auto* b = new CuteButton(QStringLiteral("CuteButton%1").arg(s.number),
                                 QString::fromUtf8(s.caption), s.background, s.caption_colour, this);
        const bool placed = profile_.button_places.size() == buttons_.size();
        b->setGeometry(placed ? profile_.button_places[s.number - 1]
                              : QRect(690 + s.column * 126, 528 + s.row * 52, 118, 44));
        buttons_[s.number - 1] = b;
    }
    connect(button(3), &QPushButton::clicked, this, &DrillScreen::StartDrill);
    connect(button(4), &QPushButton::clicked, this, &DrillScreen::NextQuestion);
    connect(button(5), &QPushButton::clicked, this, &DrillScreen::StopDrill);
    connect(button(6), &QPushButton::clicked, this, &DrillScreen::ToggleScoreSheet);
    connect(button(1), &QPushButton::clicked, this, &DrillScreen::QuitPressed);
    connect(button(2), &QPushButton::clicked, this, &DrillScreen::BackToMenuPressed);

    grid_ = new ScoreSheet(log_.result_set(), profile_.grid_columns, this);
    grid_->setGeometry(profile_.grid_geometry);
    // Fonts are set on the widgets, not in the style sheet, so the cells and
    // the titles keep their own weights.
    grid_->setFont(SchoolFont(16, profile_.grid_bold_text));
    grid_->horizontalHeader()->setFont(SchoolFont(14, profile_.grid_bold_titles));
    SetStyleSheetWhenShown(
        grid_, QStringLiteral("QTableView { background: %1; color: %2; gridline-color: #9090B0; }"
                       "QHeaderView::section { padding: 3px 0px; }")
            .arg(profile_.grid_background.name(), profile_.grid_text.name()));

    countdown_ = new QTimer(this);
    countdown_->setObjectName(QStringLiteral("Timer3"));
    countdown_->setInterval(1000);
    connect(countdown_, &QTimer::timeout, this, &DrillScreen::CountdownTick);

    AddStatusBar(24);
}

CuteButton* DrillScreen::button(int number) const { return buttons_.at(number - 1); }

void DrillScreen::SetPrompt(const QString& text) { prompt_->setText(text); }

bool DrillScreen::MenuChoiceInRange() const {
    const int choice = ctx().state.menu_choice;
    return choice >= 1 && choice <= profile_.menu_items.size();
}

void DrillScreen::ClearAll() {
    ClearWorksheet();
    for (QLabel* label : score_labels_) label->clear();
    if (question_label_) question_label_->clear();
    grid_->hide();  // the score_sheet_shown flag stays as it is
}

void DrillScreen::ShowQuestionNumber() {
    if (question_label_)
        question_label_->setText(profile_.question_format.arg(ctx().state.question_count));
}

void DrillScreen::FormCreate() {
    session_.CloseQuestion();
    watch_.Close();
    ClearAll();
    HideEntryLists();
    if (profile_.show_clears_menu_selection) menu_list_->Reset();
    if (profile_.show_enables_next) button(4)->setEnabled(true);
    SetPrompt(QStringLiteral("メニューを選んでね！"));
    PlayCue(Cue::Choice);
}

void DrillScreen::MenuItemChosen(int index) {
    ClearAll();
    ctx().state.menu_choice = index + 1;
    if (profile_.menu_choice_clears_time_list) time_list_->Reset();
    SetPrompt(QStringLiteral("時間を選んでね！"));
    PlayCue(Cue::Choice);
}

void DrillScreen::TimeListChange(int index) {
    ClearAll();
    session_.SetTimeLimit(TimeLimitForItem(index));
    if (profile_.time_choice_enables_start) button(3)->setEnabled(true);
    SetPrompt(profile_.time_prompt);
    PlayCue(profile_.time_cue);
}

void DrillScreen::StartDrill() {
    if (!MenuChoiceInRange()) {
        SetPrompt(QStringLiteral("メニューを選んでね！"));
        return;
    }
    ClearAll();
    ctx().state.score_sheet_shown = false;
    const LocalTime now = ctx().clock.Now();
    session_.Start(SecondsOfDay(now));
    if (ctx().recorder)
        drill_key_ = ctx().recorder->StartDrill(
            {profile_.topic, ctx().state.menu_choice, session_.time_limit_seconds(), now});
    GenerateProblem(ctx().state.menu_choice);
    session_.BeginQuestion();
    ShowProblem();
    question_menu_choice_ = ctx().state.menu_choice;
    watch_.Shown(ctx().clock);
    ResetEntryLists();
    ShowQuestionNumber();
    log_.ClearDrillLog();
    if (profile_.start_cue_after_clearing_log) PlayCue(Cue::Begin);
    if (session_.time_limit_seconds() > 0) {
        session_.RestartCountdown();
        countdown_->start();
    } else {
        countdown_->stop();
    }
    SetPrompt(ProblemPrompt());
    PlayCue(Cue::Choice);
}

void DrillScreen::NextQuestion() {
    if (!MenuChoiceInRange()) {
        SetPrompt(QStringLiteral("メニューを選んでね！"));
        return;
    }
    ClearAll();
    session_.BeginQuestion();
    GenerateProblem(ctx().state.menu_choice);
    ShowProblem();
    question_menu_choice_ = ctx().state.menu_choice;
    watch_.Shown(ctx().clock);
    ResetEntryLists();
    ShowQuestionNumber();
    if (profile_.countdown_per_question && session_.time_limit_seconds() > 0) {
        session_.RestartCountdown();
        countdown_->start();
    }
    SetPrompt(ProblemPrompt());
    PlayCue(Cue::Choice);
}

bool DrillScreen::RecordAnswer(bool right, DrillRow row) {
    if (!session_.Judge(right)) return false;
    row.no = session_.question_number();
    if (LearningRecorder* recorder = ctx().recorder) {
        const LocalTime now = ctx().clock.Now();
        JudgedAnswer answer;
        answer.topic = profile_.topic;
        answer.menu_choice = question_menu_choice_;
        FillAnswerTexts(row, answer);
        answer.correct = right;
        answer.answered_at = now;
        answer.seconds = watch_.TakeVerdict(now).value_or(0);
        answer.worked_rows = WorkedRowsNow();
        if (!right) answer.finding = DiagnoseAnswer(answer.worked_rows);
        recorder->RecordDrillAnswer(drill_key_, row.no, answer, row,
                                    session_.Figures(SecondsOfDay(now)));
    } else {
        log_.AppendDrillRow(row);
    }
    button(4)->setEnabled(true);
    button(5)->setEnabled(true);
    SetPrompt(profile_.next_prompt);
    PlayCue(Cue::Begin);
    return true;
}

void DrillScreen::CountdownTick() {
    if (!session_.Tick()) return;
    countdown_->stop();  // before the message box, so no second time-out can start
    PlayCue(Cue::Wrong);
    ctx().dialogs.ShowMessage("時間だから、ドリルを終わるよ！");
    FinishDrill();
}

void DrillScreen::FillAnswerTexts(const DrillRow& row, JudgedAnswer& answer) const {
    answer.problem = WithoutPadding(row.mnd);
    answer.right_answer = WithoutPadding(row.kai);
    answer.entered_answer = WithoutPadding(row.kot);
}

void DrillScreen::FinishDrill() {
    const LocalTime now = ctx().clock.Now();
    const ScoreLine line = session_.Finish(SecondsOfDay(now));
    watch_.Close();
    if (ctx().recorder && !drill_key_.empty())
        ctx().recorder->FinishDrill(drill_key_, session_.Figures(SecondsOfDay(now)), now);
    const QString texts[] = {QString::fromStdString(line.questions),
                             QString::fromStdString(line.points), QString::fromStdString(line.time)};
    for (std::size_t i = 0; i < score_labels_.size() && i < 3; ++i) score_labels_[i]->setText(texts[i]);
    if (question_label_) question_label_->clear();
    ClearWorksheetNumbers();
    countdown_->stop();
    AfterFinish();
}

void DrillScreen::StopDrill() {
    FinishDrill();
    if (profile_.stop_sets_buttons) {
        button(3)->setEnabled(true);
        button(4)->setEnabled(false);
        button(5)->setEnabled(false);
        button(6)->setEnabled(true);
    }
    SetPrompt(QStringLiteral("おつかれさま！"));
    PlayCue(Cue::Score);
}

void DrillScreen::ToggleScoreSheet() {
    ExerciseState& state = ctx().state;
    if (!state.score_sheet_shown) {
        state.score_sheet_shown = true;
        grid_->move(grid_->x(), 130);
        grid_->show();
        grid_->raise();
        countdown_->stop();
        SetPrompt(QStringLiteral("もう一度「成績表」ボタンをおすと、消えるよ！"));
    } else {
        state.score_sheet_shown = false;
        grid_->hide();
        SetPrompt(QStringLiteral("おつかれさま！"));
    }
}

void DrillScreen::BackToMenuPressed() {
    countdown_->stop();
    ReturnToMenu();
}

void DrillScreen::QuitPressed() { AskToQuit(QStringLiteral("終わってもいいの？")); }

void DrillScreen::hideEvent(QHideEvent* event) {
    // However the screen is left, a hidden screen's countdown must not time out
    // over the main menu.
    countdown_->stop();
    ExerciseScreen::hideEvent(event);
}

}  // namespace sorelka
