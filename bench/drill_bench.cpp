// The drill log on a real SQLite file, and the division drill's handlers on
// the offscreen platform: appending one answer (committed before it returns),
// clearing a 100-row log, "スタート" with its database work, a digit, "終わり".
#include <benchmark/benchmark.h>

#include <QDate>
#include <QElapsedTimer>
#include <QSqlQuery>
#include <QVariantList>
#include <algorithm>
#include <QTemporaryDir>
#include <memory>
#include <vector>

#include "coach/skill_catalogue.h"
#include "decimals/decimal_drill_screen.h"
#include "division/division_drill_screen.h"
#include "division/division_layout.h"
#include "history_fill.h"
#include "drill/drill_log.h"
#include "app/recorded_answers.h"
#include "record/learning_record.h"
#include "fractions/fraction_drill_screen.h"
#include "rules/rules_drill_screen.h"
#include "support/fakes.h"
#include "widgets/choice_list.h"

namespace sorelka {
namespace {

DrillRow Row(int no) { return {no, " 745 ÷ 6", "124", "124", "○", 1, 1}; }

void BM_AppendDrillRow(benchmark::State& state) {
    QTemporaryDir folder;
    testing::FakeDialogs dialogs;
    DrillLog log(folder.path() + "/kyozai.db", dialogs);
    log.ClearDrillLog();
    int no = 0;
    double worst = 0;
    for (auto _ : state) {
        QElapsedTimer t;
        t.start();
        log.AppendDrillRow(Row(++no));
        worst = std::max(worst, t.nsecsElapsed() / 1000.0);
        if (no % 100 == 0) {
            state.PauseTiming();
            log.ClearDrillLog();
            state.ResumeTiming();
        }
    }
    state.counters["worst_us"] = worst;
}
BENCHMARK(BM_AppendDrillRow)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(false);

// A judged drill answer as the program writes it: the dorill row, the history
// row and the drill's figures in one transaction, on a file whose history
// already holds 400,000 rows (40 pupils x 200 school days x 50 answers).
using bench::FillHistory;

// A file database whose history already holds 400,000 rows, with はなこ
// chosen: the learning record's benchmarks write on it.
struct HistoryRig {
    QTemporaryDir folder;
    testing::FakeDialogs dialogs;
    DrillLog log{folder.path() + "/kyozai.db", dialogs};
    record::LearningRecord learning{log.store()};
    HistoryRig() {
        log.ClearDrillLog();  // the file is made by its first write
        FillHistory(log.store());
        learning.AddPupil(QStringLiteral("はなこ"));
        learning.ChoosePupil(QStringLiteral("はなこ"));
        // As the program does: each answer keeps the pupil's mastery in its
        // transaction; the file's mastery is built once, before the answers.
        learning.TraceMastery(coach::ObserveStoredAnswer);
        learning.mastery()->RebuildIfMissing();
    }
};

// Times `answer(no)` for every iteration and reports the median, the worst
// and the history's size. After every hundredth write the program copies the
// write-ahead log into the file, outside the click; a loop without an event
// loop must do it itself, or the log grows without end. The median of the
// first answers after each copy shows whether the log's new start is paid
// in the click. `between(no)` runs
// untimed after each answer.
template <class Answer, class Between>
void TimeAnswers(benchmark::State& state, HistoryRig& rig, Answer answer, Between between) {
    int no = 0;
    std::vector<double> times;
    double worst = 0;
    std::vector<double> after_copy;  // the first answers after each copy
    int worst_at = 0;  // the answer's place after the last copy of the log (1 = the first after it)
    for (auto _ : state) {
        ++no;
        QElapsedTimer t;
        t.start();
        answer(no);
        times.push_back(t.nsecsElapsed() / 1000.0);
        if ((no + 49) % 100 == 0) after_copy.push_back(times.back());
        if (times.back() > worst) worst = times.back(), worst_at = (no + 49) % 100 + 1;
        if (no % 100 == 50) rig.log.store().CopyLogIntoFile();
        state.PauseTiming();
        between(no);
        state.ResumeTiming();
    }
    std::sort(times.begin(), times.end());
    QSqlQuery q(rig.log.store().database());
    q.exec("select count(*) from history");
    q.next();
    state.counters["median_us"] = times[times.size() / 2];
    state.counters["p99_us"] = times[times.size() * 99 / 100];
    state.counters["worst_us"] = times.back();
    state.counters["worst_at"] = worst_at;
    std::sort(after_copy.begin(), after_copy.end());
    state.counters["after_copy_median_us"] = after_copy.empty() ? 0 : after_copy[after_copy.size() / 2];
    state.counters["history_rows"] = q.value(0).toDouble();
}

void BM_DrillAnswerWithHistory(benchmark::State& state) {
    HistoryRig rig;
    RecordedAnswers answers(rig.learning, rig.log);
    rig.log.ClearDrillLog();
    const std::string drill = answers.StartDrill({Topic::Division, 1, 0, {2026, 12, 8, 10, 0, 0, 0, 540}});
    JudgedAnswer answer;
    answer.topic = Topic::Division;
    answer.menu_choice = 1;
    answer.problem = "745 ÷ 6";
    answer.right_answer = answer.entered_answer = "124 あまり 1";
    answer.correct = true;
    answer.seconds = 41.2;
    answer.worked_rows = {{"Label5", "745"}, {"Label6", "6"}, {"Label7", "124"}, {"Label8", "6"},
                          {"Label9", "14"}, {"Label10", "12"}, {"Label11", "25"}, {"Label12", "24"},
                          {"Label13", "1"}};
    TimeAnswers(
        state, rig,
        [&](int no) { answers.RecordDrillAnswer(drill, no, answer, Row(no), {no, no, 100, no * 40}); },
        [&](int no) {
            if (no % 100 == 0) rig.log.ClearDrillLog();
        });
}
BENCHMARK(BM_DrillAnswerWithHistory)->Unit(benchmark::kMicrosecond)->Iterations(2000);

// A wrong practice answer as the practice screens record it: its history row
// with the kind of mistake, then the pupil's habits on the topic for the
// panel, on the 400,000-row file.
void BM_WrongPracticeAnswerAndHabits(benchmark::State& state) {
    HistoryRig rig;
    RecordedAnswers answers(rig.learning, rig.log);
    JudgedAnswer answer;
    answer.topic = Topic::Division;
    answer.menu_choice = 1;
    answer.problem = "408 ÷ 4";
    answer.right_answer = "102 あまり 0";
    answer.entered_answer = "12 あまり 0";
    answer.seconds = 30.5;
    answer.worked_rows = {{"Label5", "408"}, {"Label6", "4"}, {"Label7", "12"}, {"Label8", "4"},
                          {"Label9", "8"}, {"Label10", "8"}, {"Label11", "0"}};
    answer.finding = Finding{"zero_missing", "quotient:2", "商に ０を たてわすれたよ"};
    TimeAnswers(
        state, rig,
        [&](int) {
            answers.RecordPractice(answer);
            benchmark::DoNotOptimize(answers.Habits(answer.topic));
        },
        [](int) {});
}
BENCHMARK(BM_WrongPracticeAnswerAndHabits)->Unit(benchmark::kMicrosecond)->Iterations(2000);

// The same transaction written straight through the store, without the
// score-sheet grids re-reading the drill log afterwards; with the argument 1
// the pupil's mastery of the answer's skills is brought up to date in it, as
// the program does (its states read before the first answer).
void BM_DrillAnswerTransactionOnly(benchmark::State& state) {
    const bool mastery = state.range(0) == 1;
    HistoryRig rig;
    const QString uid = record::LearningRecord::NewDrillKey();
    rig.log.store().Commit(
        {rig.learning.DrillStartStatement(uid, {Topic::Division, 1, 0, {2026, 12, 8, 10, 0, 0, 0, 540}})});
    JudgedAnswer answer;
    answer.topic = Topic::Division;
    answer.problem = "745 ÷ 6";
    answer.right_answer = answer.entered_answer = "124 あまり 1";
    answer.worked_rows = {{"Label5", "745"}, {"Label6", "6"}, {"Label7", "124"}};
    answer.menu_choice = 1;
    answer.correct = true;
    if (mastery) rig.learning.mastery()->Skills(rig.learning.current_pupil());
    TimeAnswers(
        state, rig,
        [&](int no) {
            record::Transaction t{
                {"insert into dorill (\"NO\", MND, KAI, KOT, HNT, AMS, AMI) values (?, ?, ?, ?, ?, ?, ?)",
                 {no, " 745 ÷ 6", "124", "124", "○", 1, 1}},
                rig.learning.HistoryStatement(answer, record::AnswerMode::Drill, uid, no),
                rig.learning.DrillFiguresStatement(uid, {no, no, 100, no}, std::nullopt)};
            if (mastery)
                for (record::Statement& s : rig.learning.MasteryStatements(answer)) t.push_back(std::move(s));
            rig.log.store().Commit(std::move(t));
        },
        [](int) {});
}
BENCHMARK(BM_DrillAnswerTransactionOnly)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond)->Iterations(2000);

void BM_ClearDrillLogOf100Rows(benchmark::State& state) {
    QTemporaryDir folder;
    testing::FakeDialogs dialogs;
    DrillLog log(folder.path() + "/kyozai.db", dialogs);
    for (auto _ : state) {
        state.PauseTiming();
        for (int i = 1; i <= 100; ++i) log.AppendDrillRow(Row(i));
        state.ResumeTiming();
        log.ClearDrillLog();
    }
}
BENCHMARK(BM_ClearDrillLogOf100Rows)->Unit(benchmark::kMicrosecond)->Iterations(30)->Repetitions(3);

// One drill screen on its own file database with fake services, shown, with a
// menu item chosen as a pupil would.
template <class Screen>
struct Rig {
    QTemporaryDir folder;
    testing::FakeServices services;
    DrillLog log{folder.path() + "/kyozai.db", services.dialogs};
    std::unique_ptr<Screen> screen;

    template <class Make>
    Rig(Make make, int menu_item) : screen(make(services.ctx, log)) {
        screen->ShowModeless();
        screen->template findChild<ChoiceList*>("ComboBox1")->Choose(menu_item);
    }
};

// "スタート" with 100 rows like `row` left in the log; `draws` script the
// problem it sets (none: whatever the fake gives).
template <class Screen, class Make>
void StartWith100Rows(benchmark::State& state, Make make, int menu_item, DrillRow row,
                      const std::vector<int>& draws = {}) {
    Rig<Screen> rig(make, menu_item);
    double worst = 0;
    for (auto _ : state) {
        state.PauseTiming();
        for (int i = 1; i <= 100; ++i) {
            row.no = i;
            rig.log.AppendDrillRow(row);
        }
        rig.services.cues.clear();
        rig.services.random.Feed(draws);
        state.ResumeTiming();
        QElapsedTimer t;
        t.start();
        rig.screen->StartDrill();
        worst = std::max(worst, t.nsecsElapsed() / 1000.0);
    }
    state.counters["worst_us"] = worst;
}

// A question answered and finished with "終わり", logged: `prepare` runs
// untimed before each answer, `answer` is timed; every question is drawn from
// `draws`.
template <class Screen, class Make, class Prepare, class Answer>
void AnswerAndFinish(benchmark::State& state, Make make, int menu_item,
                     const std::vector<int>& draws, Prepare prepare, Answer answer) {
    Rig<Screen> rig(make, menu_item);
    rig.services.random.Feed(draws);
    rig.screen->StartDrill();
    double worst = 0;
    for (auto _ : state) {
        state.PauseTiming();
        prepare(*rig.screen);
        state.ResumeTiming();
        QElapsedTimer t;
        t.start();
        answer(*rig.screen);
        worst = std::max(worst, t.nsecsElapsed() / 1000.0);
        state.PauseTiming();
        rig.services.random.Feed(draws);
        rig.screen->NextQuestion();
        rig.services.cues.clear();
        state.ResumeTiming();
    }
    if (rig.log.Rows().empty()) state.SkipWithError("nothing was logged");
    state.counters["worst_us"] = worst;
}

auto Division = [](AppContext& ctx, DrillLog& log) {
    return std::make_unique<division::DivisionDrillScreen>(ctx, log, nullptr);
};
auto Fraction = [](AppContext& ctx, DrillLog& log) {
    return std::make_unique<FractionDrillScreen>(ctx, log, nullptr);
};
auto DecimalAddition = [](AppContext& ctx, DrillLog& log) {
    return std::make_unique<decimals::DecimalDrillScreen>(ctx, log, decimals::kAdditionDrill, nullptr);
};
auto Rules = [](AppContext& ctx, DrillLog& log) {
    return std::make_unique<rules::RulesDrillScreen>(ctx, log, nullptr);
};
auto Nothing = [](auto&) {};
const DrillRow kDecimalRow{0, " 1.234 ＋ 4.321", " 5.555", " 5.555", " ○"};

// "スタート" on each drill with 100 rows left in the log.
void BM_StartDrillClearing100Rows(benchmark::State& state) {
    StartWith100Rows<division::DivisionDrillScreen>(state, Division, 2, Row(0));
}
void BM_FractionStartDrillClearing100Rows(benchmark::State& state) {
    StartWith100Rows<FractionDrillScreen>(state, Fraction, 0, Row(0));
}
void BM_DecimalStartDrillClearing100Rows(benchmark::State& state) {  // three places
    StartWith100Rows<decimals::DecimalDrillScreen>(state, DecimalAddition, 2, kDecimalRow);
}
void BM_RulesStartDrillClearing100Rows(benchmark::State& state) {  // 735 - ( 123 + 456 ) = ?
    StartWith100Rows<rules::RulesDrillScreen>(state, Rules, 0, Row(0), {0, 72, 4, 11, 2, 455});
}
BENCHMARK(BM_StartDrillClearing100Rows)->Unit(benchmark::kMicrosecond)->Iterations(50)->Repetitions(3);
BENCHMARK(BM_FractionStartDrillClearing100Rows)->Unit(benchmark::kMicrosecond)->Iterations(50)->Repetitions(3);
BENCHMARK(BM_DecimalStartDrillClearing100Rows)->Unit(benchmark::kMicrosecond)->Iterations(50)->Repetitions(3);
BENCHMARK(BM_RulesStartDrillClearing100Rows)->Unit(benchmark::kMicrosecond)->Iterations(50)->Repetitions(3);

// A digit (or two and an action), then "終わり" with its log row, on each drill.
void BM_DigitAndFinish(benchmark::State& state) {
    AnswerAndFinish<division::DivisionDrillScreen>(
        state, Division, 0, {}, Nothing, [](division::DivisionDrillScreen& s) {
            s.HundredsDigitChosen(1);
            s.ActionChosen(division::kFinish);
        });
}
void BM_FractionEntryAndFinish(benchmark::State& state) {
    AnswerAndFinish<FractionDrillScreen>(state, Fraction, 0, {}, Nothing, [](FractionDrillScreen& s) {
        s.TensDigitChosen(1);
        s.OnesDigitChosen(2);
        s.ActionChosen(0);  // " 整数"
        s.ActionChosen(4);  // "終わり"
    });
}
void BM_DecimalDigitAndFinish(benchmark::State& state) {
    AnswerAndFinish<decimals::DecimalDrillScreen>(
        state, DecimalAddition, 1, {}, Nothing, [](decimals::DecimalDrillScreen& s) {
            s.OnesDigitChosen(3);
            s.ActionChosen(0);  // "終わり"
        });
}
// A box question, □ + 23 = 58 worked as 58 - 23: the calculation and the tens
// digit untimed, the ones digit and "終わり" timed.
void BM_RulesDigitAndFinish(benchmark::State& state) {
    AnswerAndFinish<rules::RulesDrillScreen>(
        state, Rules, 3, {0, 2, 4, 1, 2},
        [](rules::RulesDrillScreen& s) {
            s.OperationChosen(1);  // " －"
            s.TensDigitChosen(3);
        },
        [](rules::RulesDrillScreen& s) {
            s.OnesDigitChosen(5);
            s.ActionChosen(4);  // "終わり"
        });
}
BENCHMARK(BM_DigitAndFinish)->Unit(benchmark::kMicrosecond)->Iterations(200)->Repetitions(3);
BENCHMARK(BM_FractionEntryAndFinish)->Unit(benchmark::kMicrosecond)->Iterations(200)->Repetitions(3);
BENCHMARK(BM_DecimalDigitAndFinish)->Unit(benchmark::kMicrosecond)->Iterations(200)->Repetitions(3);
BENCHMARK(BM_RulesDigitAndFinish)->Unit(benchmark::kMicrosecond)->Iterations(200)->Repetitions(3);

}  // namespace
}  // namespace sorelka
