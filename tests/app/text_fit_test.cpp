// Every text a screen writes into a label shows whole, measured in the fonts
// the package installs: prompts, hints, problem lines (the widest each family
// of problems produces over many draws), marks, score lines, and every text a
// label or list carries when its screen is shown. A text added to a screen
// belongs in the table below.
#include <gtest/gtest.h>

#include <QFontInfo>
#include <QAbstractButton>
#include <QFontMetrics>
#include <QLabel>
#include <QListWidget>
#include <QTemporaryDir>
#include <functional>
#include <map>
#include <random>
#include <set>

#include "app/main_window.h"
#include "app/program.h"
#include "decimals/decimal_numbers.h"
#include "decimals/decimal_practice.h"
#include "decimals/decimal_examples.h"
#include "decimals/decimal_sheet.h"
#include "division/division_examples.h"
#include "division/division_problem.h"
#include "division/practice_hints.h"
#include "drill/drill_screen.h"
#include "drill/drill_session.h"
#include "fractions/fraction_examples.h"
#include "fractions/fraction_problem.h"
#include "fractions/fraction_sheet.h"
#include "rules/calculation_steps.h"
#include "rules/expression_problems.h"
#include "rules/rules_examples.h"
#include "rules/rules_practice.h"
#include "support/fakes.h"
#include "support/pupil_notes.h"
#include "support/screen_support.h"
#include "widgets/choice_list.h"
#include "widgets/diagnosis_panel.h"
#include "widgets/exercise_screen.h"
#include "widgets/mistake_finder.h"
#include "widgets/worked_example_player.h"

namespace sorelka {
namespace {

using namespace sorelka::testing;

using testing::SeededRandom;

constexpr int kDraws = 1500;

QString Shown(const std::string& utf8) {
    // Texts mark their line breaks with a carriage return; the labels break on "\n".
    return QString::fromStdString(utf8).replace(QLatin1Char('\r'), QLatin1Char('\n'));
}

using Texts = std::vector<QString>;

void Add(Texts& texts, const std::string& text) { texts.push_back(Shown(text)); }

Texts DivisionHints() {
    Texts texts{Shown(division::kChooseMenuPrompt), Shown(division::kGoOnPrompt)};
    for (int step = 0; step <= 10; ++step) {
        if (auto hint = division::StepHint(step)) Add(texts, *hint);
        if (auto hint = division::DigitHint(step)) Add(texts, *hint);
    }
    return texts;
}

Texts DivisionProblemLines() {
    SeededRandom random{20261209};
    std::set<std::string> lines;
    for (int menu = 1; menu <= 3; ++menu)
        for (int i = 0; i < kDraws; ++i) {
            division::DivisionProblem p;
            division::GenerateProblem(menu, random, p);
            lines.insert(division::ProblemText(p));
            lines.insert(division::AnswerText(p));
        }
    Texts texts;
    for (const auto& line : lines) Add(texts, line);
    return texts;
}

Texts DecimalPracticePrompts() {
    return {Shown(decimals::kChooseMenuPrompt), Shown(decimals::kChooseAnswerPrompt),
            Shown(decimals::kFinishPrompt), Shown(decimals::kNextPrompt)};
}

Texts DecimalEquations(decimals::Operation operation) {
    SeededRandom random{20261209};
    Texts texts;
    decimals::DecimalSheet sheet(decimals::PracticeSheetPlace(operation));
    for (int places = 1; places <= 3; ++places)
        for (int i = 0; i < kDraws / 3; ++i) {
            sheet.Draw(random, places);
            Add(texts, sheet.Equation(false));
            Add(texts, sheet.Equation(true));
        }
    return texts;
}

Texts RulesPracticePrompts() {
    Texts texts{Shown(rules::kGoOnPrompt), Shown(rules::kChooseBoxCalculation),
                Shown(rules::kChooseMenu), Shown(rules::kFinishAdditionText),
                Shown(rules::kConfirmFirstText), Shown(rules::kChooseAnswerText)};
    for (int kind = 1; kind <= 2; ++kind)
        for (int op = rules::kAdd; op <= rules::kDivide; ++op)
            for (int row = 0; row <= 7; ++row)
                if (auto text = rules::StepPromptText(kind, op, row)) Add(texts, *text);
    return texts;
}

// Every problem text of every family, as set and as completed with its answer.
Texts RulesProblemLines(rules::Variant variant, bool completed) {
    SeededRandom random{20261209};
    std::set<std::string> lines;
    for (int menu = rules::kParenthesesMenu; menu <= rules::kBoxMenu; ++menu)
        for (int i = 0; i < kDraws; ++i) {
            rules::ExpressionProblem p;
            rules::GenerateProblem(menu, random, p, variant);
            lines.insert(p.problem_text);
            if (completed) lines.insert(rules::CompletedProblemText(p));
        }
    Texts texts;
    for (const auto& line : lines) Add(texts, line);
    return texts;
}

// The numbers of the fraction worksheet, by label: whole parts, numerators, denominators.
std::map<QString, Texts> FractionFigures(fractions::Variant variant) {
    SeededRandom random{20261209};
    std::map<QString, std::set<int>> numbers;
    for (int family = 1; family <= 3; ++family)
        for (int i = 0; i < kDraws; ++i) {
            auto p = fractions::DrawFractionProblem(family, variant, random);
            if (!p) continue;
            numbers["Label4"].insert(p->problem_whole);
            numbers["Label6"].insert(p->problem_numerator);
            numbers["Label5"].insert(p->problem_denominator);
            numbers["Label7"].insert(p->answer_whole);
            numbers["Label9"].insert(p->answer_numerator);
            numbers["Label8"].insert(p->answer_denominator);
        }
    // The pupil writes up to two digits into any slot.
    for (auto& [label, set] : numbers) set.insert(99);
    std::map<QString, Texts> texts;
    for (const auto& [label, set] : numbers)
        for (int n : set) texts[label].push_back(QString::number(n));
    texts["Label9"].push_back(QStringLiteral("□"));
    return texts;
}

Texts FractionPrompts() {
    Texts texts{QStringLiteral("「メニュー」をえらんでね！"), Shown(fractions::kChooseMenuPrompt),
                Shown(fractions::kDigitChosenPrompt), Shown(fractions::kGoOnPrompt)};
    for (int menu = 1; menu <= 3; ++menu) Add(texts, fractions::FamilyPrompt(menu));
    return texts;
}

const Texts kFractionTasks{QStringLiteral("帯分数か整数に直しなさい。"),
                           QStringLiteral("仮分数に直しなさい。"), QStringLiteral("□を求めなさい。")};
const Texts kMarks{QStringLiteral("○"), QStringLiteral("×")};

// The prompts every drill screen writes, with this screen's own.
Texts DrillPrompts(const DrillScreen* screen) {
    return {QStringLiteral("メニューを選んでね！"), QStringLiteral("時間を選んでね！"),
            screen->profile().time_prompt, screen->profile().next_prompt,
            QStringLiteral("おつかれさま！"), QStringLiteral("もう一度「成績表」ボタンをおすと、消えるよ！")};
}

// The widest score line a drill can show: hundreds of questions, full marks, an hour and more.
std::map<QString, QString> ScoreTexts(const DrillScreen* screen) {
    const ScoreLine line = MakeScoreLine(999, 999, 99 * 60 + 59);
    const QStringList& labels = screen->profile().score_labels;
    return {{labels[0], QString::fromStdString(line.questions)},
            {labels[1], QString::fromStdString(line.points)},
            {labels[2], QString::fromStdString(line.time)}};
}

// Empty when `text` shows whole in `label` where it stands; otherwise what it lacks.
std::string Clipped(const QLabel* label, const QString& text) {
    const int m = label->margin();
    const QRect room = label->contentsRect().adjusted(m, m, -m, -m);
    int flags = int(label->alignment());
    if (label->wordWrap()) flags |= Qt::TextWordWrap;
    const QRect need = QFontMetrics(label->font()).boundingRect(room, flags, text);
    if (need.width() <= room.width() && need.height() <= room.height()) return {};
    return "needs " + std::to_string(need.width()) + " x " + std::to_string(need.height()) +
           " px, has " + std::to_string(room.width()) + " x " + std::to_string(room.height());
}

struct TextFitTest : ::testing::Test {
    QTemporaryDir data;
    FakeServices services;
    std::unique_ptr<Program> program;
    int checked = 0;

    void SetUp() override {
        program = std::make_unique<Program>(services.ctx, data.path() + "/kyozai.db");
    }
    QWidget* form(const char* name) const {
        for (QWidget* f : program->forms())
            if (f->objectName() == QLatin1String(name)) return f;
        ADD_FAILURE() << "no form " << name;
        return nullptr;
    }
    QLabel* label(QWidget* root, const QString& name) const {
        QLabel* found = root->findChild<QLabel*>(name, Qt::FindDirectChildrenOnly);
        EXPECT_NE(found, nullptr) << Utf8(root->objectName()) << " has no label " << Utf8(name);
        return found;
    }
    void ExpectFits(QLabel* label, const QString& text, const QString& where) {
        ++checked;
        const std::string why = Clipped(label, text);
        EXPECT_TRUE(why.empty()) << Utf8(where) << ": \"" << Utf8(text) << "\" " << why;
    }
    void ExpectAllFit(QWidget* root, const QString& name, const Texts& texts) {
        QLabel* l = label(root, name);
        if (!l) return;
        const QString where = root->objectName() + "." + name;
        const QString family = QFontInfo(l->font()).family();
        EXPECT_TRUE(family == "MotoyaLMaru" || family == "Noto Sans CJK JP" ||
                    family == "HG丸ｺﾞｼｯｸM-PRO")
            << Utf8(where) << " is measured in " << Utf8(family) << ", not an installed school font";
        for (const QString& text : texts) ExpectFits(l, text, where);
    }
    void StartDrill(QWidget* screen) {
        ClickItem(screen, "ComboBox1", 0);
        auto* drill = static_cast<DrillScreen*>(screen);
        ClickItem(screen, drill->profile().time_list, 1);
        Click(screen, "CuteButton3");
    }
};

TEST_F(TextFitTest, EveryTextShowsWholeInItsLabel) {
    auto* practice_division = form("TForm2");
    auto* practice_rules = form("TForm8");
    auto* drill_rules = form("TForm9");
    auto* practice_fractions = form("TForm10");
    auto* drill_fractions = form("TForm11");
    const auto practice_figures = FractionFigures(fractions::Variant::Practice);
    const auto drill_figures = FractionFigures(fractions::Variant::Drill);

    // Screen, label, texts; `before` brings the screen to the state in which
    // the label shows them (where a label moves or changes its font).
    struct Entry {
        QWidget* screen;
        QString label;
        Texts texts;
        std::function<void(QWidget*)> before = nullptr;
    };
    std::vector<Entry> table{
        {practice_division, "Label2", DivisionHints()},
        {practice_division, "Label4", DivisionProblemLines()},
        {practice_division, "Label3", kMarks},
        {form("TForm4"), "Label2", DecimalPracticePrompts()},
        {form("TForm4"), "Label4", DecimalEquations(decimals::Operation::Addition)},
        {form("TForm4"), "Label3", kMarks},
        {form("TForm6"), "Label2", DecimalPracticePrompts()},
        {form("TForm6"), "Label4", DecimalEquations(decimals::Operation::Subtraction)},
        {form("TForm6"), "Label3", kMarks},
        {practice_rules, "Label2", RulesPracticePrompts()},
        {practice_rules, "Label3", RulesProblemLines(rules::Variant::Practice, true)},
        {practice_rules, "Label21", kMarks},
        {drill_rules, "Label2", {Shown(rules::kChooseBoxCalculation)}},
        {drill_rules, "Label3", RulesProblemLines(rules::Variant::Drill, false)},
        {practice_fractions, "Label2", FractionPrompts()},
        {practice_fractions, "Label11", kFractionTasks},
        {practice_fractions, "Label3", kMarks},
        {drill_fractions, "Label2", FractionPrompts()},
        {drill_fractions, "Label11", kFractionTasks, [this](QWidget* s) { StartDrill(s); }},
    };
    for (const auto& [name, texts] : practice_figures) table.push_back({practice_fractions, name, texts});
    for (const auto& [name, texts] : drill_figures) table.push_back({drill_fractions, name, texts});
    for (const char* name : {"TForm3", "TForm5", "TForm7", "TForm9", "TForm11"}) {
        auto* drill = static_cast<DrillScreen*>(form(name));
        table.push_back({drill, "Label2", DrillPrompts(drill)});
        // The score line once a drill has stopped ("ストップ").
        for (const auto& [label, text] : ScoreTexts(drill))
            table.push_back({drill, label, {text},
                             [this](QWidget* s) { StartDrill(s); Click(s, "CuteButton5"); }});
        if (!drill->profile().question_label.isEmpty())
            table.push_back({drill, drill->profile().question_label,
                             {drill->profile().question_format.arg(999)},
                             [this](QWidget* s) { StartDrill(s); }});
    }

    for (const Entry& entry : table) {
        auto* screen = static_cast<ExerciseScreen*>(entry.screen);
        screen->ShowModeless();
        if (entry.before) entry.before(screen);
        ExpectAllFit(screen, entry.label, entry.texts);
        screen->hide();
    }
    EXPECT_GT(checked, 1000);
}

// Titles, headings, captions and list items: every text a screen carries when
// it is shown, and every item of every list, shows whole.
TEST_F(TextFitTest, EveryTextOfAScreenAsShownAndEveryListItemShowsWhole) {
    for (QWidget* f : program->forms()) {
        if (auto* screen = qobject_cast<ExerciseScreen*>(f)) screen->ShowModeless();
        else f->show();
        Settle();
        for (QLabel* l : f->findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly))
            if (!l->text().isEmpty() && l->isVisibleTo(f))
                ExpectFits(l, l->text(), f->objectName() + "." + l->objectName());
        for (ChoiceList* list : f->findChildren<ChoiceList*>(QString(), Qt::FindDirectChildrenOnly)) {
            const bool hidden = list->isHidden();
            list->show();
            Settle();
            const QFontMetrics metrics(list->view()->font());
            const bool centred = list->centred_items();
            for (int i = 0; i < list->count(); ++i) {
                const QString text = list->view()->item(i)->text();
                const QRect room = list->ItemRect(i);
                const int need = metrics.horizontalAdvance(centred ? text.trimmed() : text) +
                                 (centred ? 0 : 6);
                EXPECT_LE(need, room.width())
                    << Utf8(f->objectName() + "." + list->objectName()) << " item \"" << Utf8(text)
                    << "\"";
            }
            if (hidden) list->hide();
        }
        f->hide();
    }
}

// Whether the panel's lines (`shown`) break only between the phrases of
// `text` (at a space, or after a "、"), and no line starts or ends with a
// sign of a calculation.
::testing::AssertionResult BreaksBetweenPhrases(const QString& shown, const QString& text) {
    int at = 0;
    for (const QChar c : shown) {
        const bool after_comma = at > 0 && text[at - 1] == u'、';
        if (c == u'\n' && after_comma && at < text.size() && !text[at].isSpace()) continue;
        if (at >= text.size() || (c != text[at] && !(c == u'\n' && text[at].isSpace())))
            return ::testing::AssertionFailure() << "a line breaks inside a phrase: " << Utf8(shown);
        ++at;
    }
    for (const QString& line : shown.split(u'\n')) {
        const QString no_start = QStringLiteral("＋－×÷＝）");
        const QString no_end = QStringLiteral("＋－×÷＝（");
        if (!line.isEmpty() && (no_start.contains(line.front()) || no_end.contains(line.back())))
            return ::testing::AssertionFailure() << "a line starts or ends inside a calculation: " << Utf8(line);
    }
    return ::testing::AssertionSuccess();
}

// On the rules worksheet, the calculation a note is about stands written
// while the panel shows: its cells, filled as full as they get.
std::vector<QLabel*> WriteCalculationOf(QWidget* screen, const DiagnosisNote& note) {
    const QString cell = QString::fromStdString(rules::StepField(note.finding.step, "cell"));
    if (cell.isEmpty()) return {};
    const int n = cell.mid(5).toInt();
    const auto [first, last] = n <= 7 ? std::pair{4, 7} : n <= 13 ? std::pair{8, 13} : std::pair{14, 20};
    std::vector<QLabel*> written;
    for (int k = first; k <= last; ++k) {
        auto* label = screen->findChild<QLabel*>(QStringLiteral("Label%1").arg(k));
        label->setText(k == 7 ? QStringLiteral("＋") : k == 13 ? QStringLiteral("×") : QStringLiteral("8888"));
        written.push_back(label);
    }
    return written;
}

// Every note the buggy pupils of each topic meet, with the habit line, as the
// panel lays it out: type as large as the prompt line's at least, lines
// broken only between phrases, whole within the room it takes and clear of
// the calculation on the worksheet.
TEST_F(TextFitTest, EveryPanelTextBreaksBetweenPhrasesAndShowsWhole) {
    using decimals::Operation;
    const struct {
        const char* form;
        PupilNotes notes;
    } cases[] = {
        {"TForm2", DivisionPupilNotes(100)},
        {"TForm4", DecimalPupilNotes(Operation::Addition, 200)},
        {"TForm6", DecimalPupilNotes(Operation::Subtraction, 200)},
        {"TForm8", RulesPupilNotes(120)},
        {"TForm10", FractionPupilNotes(100)},
    };
    for (const auto& c : cases) {
        auto* screen = static_cast<ExerciseScreen*>(form(c.form));
        screen->ShowModeless();
        auto* panel = screen->findChild<DiagnosisPanel*>(QStringLiteral("DiagnosisPanel"));
        ASSERT_NE(panel, nullptr) << c.form;
        EXPECT_GE(panel->font().pixelSize(), label(screen, "Label2")->font().pixelSize()) << c.form;
        EXPECT_GT(c.notes.size(), 20u) << c.form;
        for (const auto& [text, note] : c.notes) {
            const std::vector<QLabel*> written =
                QString(c.form) == "TForm8" ? WriteCalculationOf(screen, note) : std::vector<QLabel*>{};
            panel->Show(note, QRect());
            ExpectFits(panel, panel->text(), screen->objectName() + ".DiagnosisPanel");
            EXPECT_TRUE(BreaksBetweenPhrases(panel->text(), Shown(text)));
            for (QLabel* cell : written) {
                EXPECT_FALSE(panel->geometry().intersects(cell->geometry()))
                    << Utf8(cell->objectName()) << " under " << text;
                cell->clear();
            }
        }
        panel->Hide();
        screen->hide();
    }
}

// The lines of the worked examples over many problems of every menu item,
// as the prompt line shows them (broken at spaces where too long), the
// find-the-mistake prompt, and the captions of the buttons that start them.
TEST_F(TextFitTest, EveryLineOfAWorkedExampleAndEveryExampleButtonShowsWhole) {
    SeededRandom random{20261209};
    constexpr int kExamples = 150;
    std::map<std::string, std::set<std::string>> lines;  // per form
    auto add = [&](const char* form, const auto& example) {
        lines[form].insert(example.opening);
        for (const auto& step : example.steps) lines[form].insert(step.line);
    };
    for (int menu = 1; menu <= 3; ++menu)
        for (int i = 0; i < kExamples; ++i) {
            division::DivisionProblem p;
            division::GenerateProblem(menu, random, p);
            add("TForm2", division::DivisionWorkedExample(p));
            using decimals::Operation;
            add("TForm4", decimals::DecimalWorkedExample(Operation::Addition,
                                                         decimals::DrawProblem(Operation::Addition, random, menu)));
            add("TForm6", decimals::DecimalWorkedExample(
                              Operation::Subtraction, decimals::DrawProblem(Operation::Subtraction, random, menu)));
            if (auto f = fractions::DrawFractionProblem(menu, fractions::Variant::Practice, random))
                add("TForm10", fractions::FractionWorkedExample(menu, *f));
        }
    for (int menu = 1; menu <= 4; ++menu)
        for (int i = 0; i < kExamples; ++i) {
            rules::ExpressionProblem p;
            if (rules::GenerateProblem(menu, random, p, rules::Variant::Practice))
                add("TForm8", rules::RulesWorkedExample(p));
        }
    for (const char* name : {"TForm2", "TForm4", "TForm6", "TForm8", "TForm10"}) {
        auto* screen = static_cast<ExerciseScreen*>(form(name));
        screen->ShowModeless();
        Settle();
        QLabel* prompt = label(screen, "Label2");
        ASSERT_GT(lines[name].size(), 10u) << name;
        lines[name].insert(kFindTheMistakePrompt);
        for (const std::string& line : lines[name])
            ExpectFits(prompt, FittedText(prompt, QString::fromStdString(line)), QString(name) + ".Label2");
        for (const char* button : {"WorkedExample", "WorkedExampleNext", "FindTheMistake"}) {
            auto* b = screen->findChild<QAbstractButton*>(button);
            ASSERT_NE(b, nullptr) << name << " " << button;
            const QFontMetrics metrics(b->font());
            EXPECT_LE(metrics.horizontalAdvance(b->text()) + 12, b->width()) << name << " " << button;
            EXPECT_LE(metrics.height() + 4, b->height()) << name << " " << button;
        }
        screen->hide();
    }
}

}  // namespace
}  // namespace sorelka
