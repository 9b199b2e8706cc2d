#pragma once

#include <QStringList>
#include <vector>

#include "drill/drill_session.h"
#include "drill/score_sheet.h"
#include "widgets/exercise_screen.h"

class QLabel;
class QTimer;

namespace sorelka {

class ChoiceList;
class CuteButton;
class DrillLog;

// What one drill screen states differently from the others. The defaults are
// the division drill's.
struct DrillProfile {
    Topic topic = Topic::Division;                   // in the learning record
    QString title;                                   // Label1
    QStringList menu_items;                          // ComboBox1
    QString menu_heading = QStringLiteral("　メニュー");
    QString time_list = QStringLiteral("ComboBox7");
    QString time_heading = QStringLiteral("  時間");
    QStringList score_labels = {QStringLiteral("Label14"), QStringLiteral("Label15"),
                                QStringLiteral("Label16")};
    // The question-number label ("第 1 問"); empty when the screen has none.
    QString question_label;
    QString question_format = QStringLiteral("第 %1 問");
    QString time_prompt = QStringLiteral("「スタート」ボタンをおしてね！");
    QString next_prompt = QStringLiteral("「次へ」ボタンで 進めてね！");
    Cue time_cue = Cue::Choice;
    bool time_choice_enables_start = false;
    bool menu_choice_clears_time_list = false;
    bool show_clears_menu_selection = true;
    bool show_enables_next = false;
    // Cue 12 right after the log has been cleared at "スタート".
    bool start_cue_after_clearing_log = false;
    // The countdown starts afresh with every question, not only at "スタート".
    bool countdown_per_question = false;
    // After "ストップ": "スタート" and "成績表" on, "次へ" and "ストップ" off.
    bool stop_sets_buttons = false;
    std::vector<GridColumn> grid_columns;
    QRect grid_geometry{40, 130, 640, 470};
    QColor grid_background{Qt::white};
    QColor grid_text{Qt::black};
    bool grid_bold_titles = false;
    bool grid_bold_text = true;

    // Layout: the menu and time lists (left, top, width; height follows the
    // items), the score labels, the question label.
    QRect menu_place{780, 12, 160, 0};
    QRect time_place{610, 12, 160, 0};
    std::vector<QRect> score_places{{30, 66, 110, 40}, {150, 66, 110, 40}, {270, 66, 180, 40}};
    QRect question_place{40, 130, 160, 36};
    // The buttons CuteButton1 … CuteButton6, by number; empty = two columns
    // of three rows at the bottom right.
    std::vector<QRect> button_places;
    QRect prompt_place{30, 600, 640, 64};
};

// The prompt line along the bottom left and the six buttons in two rows of
// three beside it: "スタート" "次へ" "ストップ" over "成績表" "目次" "終る" (for
// drills whose entry lists reach down the right side).
void PlaceButtonsBesideThePrompt(DrillProfile& profile);

// The drill machinery every drill screen shares: menu and time choice,
// "スタート", "次へ", the countdown, "ストップ", the score line and the score
// sheet. A topic screen derives from it, builds its worksheet and entry lists,
// fills the hooks and calls RecordAnswer() from its finishing action.
class DrillScreen : public ExerciseScreen {
    Q_OBJECT
public:
    DrillScreen(AppContext& ctx, DrillLog& log, const QString& name, const QString& caption,
                DrillProfile profile, QWidget* parent);

    DrillSession& session() { return session_; }
    const DrillProfile& profile() const { return profile_; }

public slots:
    void FormCreate() override;
    void MenuItemChosen(int index);   // the menu list
    void TimeListChange(int index);   // time choice
    void StartDrill();                // "スタート"
    void NextQuestion();              // "次へ"
    void CountdownTick();             // Timer3
    void StopDrill();                 // "ストップ"
    void ToggleScoreSheet();          // "成績表"
    void BackToMenuPressed();         // "目次"
    void QuitPressed();               // "終る"

protected:
    // Hooks every drill screen fills.
    // Empties the worksheet, hides its lines and pictures and entry lists,
    // resets the step state. (The score line, question label and score sheet
    // are cleared by the machinery.)
    virtual void ClearWorksheet() = 0;
    // Draws a problem for `menu_choice` (always within the menu's range here).
    virtual void GenerateProblem(int menu_choice) = 0;
    virtual void ShowProblem() = 0;
    virtual void ResetEntryLists() = 0;
    virtual void HideEntryLists() = 0;
    // At the end of a drill: the worksheet's numbers vanish, lines and pictures
    // hide, the entry lists stay.
    virtual void ClearWorksheetNumbers() = 0;
    // The prompt line after "スタート" and "次へ" (empty on most screens).
    virtual QString ProblemPrompt() const { return QString(); }
    // Runs at the end of FinishDrill, after the score line is written (for a
    // screen whose score line shares a label with its worksheet).
    virtual void AfterFinish() {}
    // The worksheet's written cells as they stand, for the learning record.
    virtual WorkedRows WorkedRowsNow() const { return {}; }
    // The kind of mistake of a wrong answer, from the rows it was worked in.
    virtual Diagnosis DiagnoseAnswer(const WorkedRows& /*rows*/) const { return std::nullopt; }
    // The problem and the two answers of a judged question for the learning
    // record; by default the log row's texts without their padding spaces.
    virtual void FillAnswerTexts(const DrillRow& row, JudgedAnswer& answer) const;

    // The finishing action of a question: counts it when right, appends
    // `row` (its number filled in here) to the log, enables "次へ" and
    // "ストップ", shows the go-on prompt and plays cue 12. A question already
    // judged, or one left over from a finished drill, is ignored: returns false.
    bool RecordAnswer(bool right, DrillRow row);
    bool CanJudge() const { return session_.CanJudge(); }

    void SetPrompt(const QString& text);
    CuteButton* button(int number) const;
    DrillLog& log() { return log_; }

    void hideEvent(QHideEvent* event) override;

private:
    void ClearAll();
    void FinishDrill();
    bool MenuChoiceInRange() const;
    void ShowQuestionNumber();

    DrillLog& log_;
    DrillProfile profile_;
    DrillSession session_;
    ChoiceList* menu_list_ = nullptr;
    ChoiceList* time_list_ = nullptr;
    QLabel* prompt_ = nullptr;
    QLabel* question_label_ = nullptr;
    std::vector<QLabel*> score_labels_;
    std::vector<CuteButton*> buttons_;  // CuteButton1 … CuteButton6
    ScoreSheet* grid_ = nullptr;
    QTimer* countdown_ = nullptr;
    // The drills row of the drill on this screen, and the question on screen.
    std::string drill_key_;
    ProblemWatch watch_;
    int question_menu_choice_ = 0;
};

}  // namespace sorelka
