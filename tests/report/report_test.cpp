// The class's figures against a plain count of random histories, the
// answers file (byte-order mark, a round trip, awkward names, the formula
// guard), and the printed report read back with pdftotext.
#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <algorithm>
#include <map>
#include <random>

#include "report/csv_export.h"
#include "report/mastery_report.h"
#include "report/pdf_report.h"
#include "report/report_data.h"
#include "support/history_rows.h"
#include "support/old_record_file.h"
#include "support/screen_support.h"
#include "topics/topic_table.h"

namespace sorelka {
namespace {

using namespace sorelka::testing;
using report::ReportFilter;

// RFC 4180 records, with the formula guard taken off again.
std::vector<QStringList> ParseCsv(const QString& text) {
    std::vector<QStringList> rows;
    QStringList row;
    QString cell;
    bool quoted = false, was_quoted = false;
    auto end_cell = [&] {
        static const QRegularExpression guarded(
            QStringLiteral("^'(?=['\\s\\x{3000}\\p{Cf}]*[=+\\-@\\t\\r＝＋－＠﹦−])"));
        if (guarded.match(cell).hasMatch()) cell.remove(0, 1);
        row << cell;
        cell.clear();
        was_quoted = false;
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') cell += '"', ++i;
            else if (c == '"') quoted = false;
            else cell += c;
        } else if (c == '"' && cell.isEmpty() && !was_quoted) {
            quoted = was_quoted = true;
        } else if (c == ',') {
            end_cell();
        } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            end_cell();
            rows.push_back(row);
            row.clear();
            ++i;
        } else {
            cell += c;
        }
    }
    return rows;
}

// A history of many draws: pupils (the guest among them), days, topics,
// times and kinds at random; about one answer in six to a find-the-mistake
// example.
void FillRandom(ScratchRecord& r, unsigned seed, int answers) {
    std::mt19937 rng(seed);
    const QString pupils[] = {"はなこ", "たろう", "O'Brien", ""};
    const QString kinds[] = {"", "", "quotient_too_big", "zero_missing", "product_slip", "point_missing",
                             "slip", "other"};
    for (const QString& p : pupils) r.learning->AddPupil(p);
    for (int i = 0; i < answers; ++i) {
        const bool right = rng() % 2;
        r.Answer(pupils[rng() % 4], QDate(2026, 10, 1).addDays(int(rng() % 60)).toString(Qt::ISODate),
                 1 + int(rng() % kAllTopics.size()), right, double(rng() % 600) / 10,
                 right ? QString() : kinds[rng() % std::size(kinds)], QStringLiteral("745 ÷ 6"),
                 QStringLiteral("124 あまり 1"),
                 rng() % 6 ? QStringLiteral("practice") : QStringLiteral("find_mistake"));
    }
}

TEST(ClassSummary, AgreesWithAPlainCountForEveryFilter) {
    ScratchRecord r;
    FillRandom(r, 7, 900);
    const std::vector<record::HistoryRow> all = r.learning->History();
    const ReportFilter filters[] = {
        {},
        {std::nullopt, QDate(2026, 10, 15), QDate(2026, 11, 10)},
        {QStringLiteral("はなこ"), std::nullopt, QDate(2026, 10, 20)},
        {QString(), QDate(2026, 11, 1), std::nullopt},
        {QStringLiteral("たろう"), std::nullopt, std::nullopt, Topic::DecimalSubtraction},
        {QString(), std::nullopt, std::nullopt},
    };
    for (const ReportFilter& f : filters) {
        // The plain count: group the rows of the filter by pupil and topic,
        // the pupil's own work apart from the find-the-mistake examples.
        std::map<std::pair<QString, Topic>, std::vector<const record::HistoryRow*>> groups;
        std::map<std::pair<QString, Topic>, std::pair<int, int>> found;
        for (const record::HistoryRow& h : all) {
            const QString who = h.pupil.isEmpty() ? record::kGuestName : h.pupil;
            const QDate day = QDate::fromString(h.answered_at.left(10), Qt::ISODate);
            if (f.pupil && who != (f.pupil->isEmpty() ? record::kGuestName : *f.pupil)) continue;
            const Topic topic = *TopicFromNumber(h.topic);
            if ((f.from && day < *f.from) || (f.to && day > *f.to) || (f.topic && topic != f.topic)) continue;
            if (h.mode == "find_mistake") {
                found[{who, topic}].first++;
                found[{who, topic}].second += h.correct;
            } else {
                groups[{who, topic}].push_back(&h);
            }
        }
        const std::vector<report::ClassRow> rows = report::ClassSummary(r.db(), f);
        for (const auto& [key, n] : found) groups[key];
        ASSERT_EQ(rows.size(), groups.size());
        for (const report::ClassRow& row : rows) {
            SCOPED_TRACE(Utf8(row.pupil) + " topic " + std::to_string(TopicNumber(row.topic)));
            const std::pair<int, int> found_here = found[{row.pupil, row.topic}];
            EXPECT_EQ(std::make_pair(row.found_answers, row.found_correct), found_here);
            const auto& g = groups[{row.pupil, row.topic}];
            if (g.empty()) continue;  // only examples
            ASSERT_EQ(row.answers, int(g.size()));
            EXPECT_EQ(row.correct, std::count_if(g.begin(), g.end(), [](auto* h) { return h->correct; }));
            std::vector<double> secs;
            QString last;
            for (auto* h : g) secs.push_back(h->seconds), last = std::max(last, h->answered_at.left(10));
            std::sort(secs.begin(), secs.end());
            const size_t n = secs.size();
            EXPECT_DOUBLE_EQ(row.median_seconds, n % 2 ? secs[n / 2] : (secs[n / 2 - 1] + secs[n / 2]) / 2);
            EXPECT_EQ(row.last_day, last);
            // The habit: among the last 20, a kind named twice or more, the most
            // frequent, then the most recent.
            std::map<QString, std::pair<int, qint64>> kinds;
            for (size_t i = n > 20 ? n - 20 : 0; i < n; ++i) {
                const QString& k = g[i]->error_kind;
                if (k.isEmpty() || k == "slip" || k == "other") continue;
                kinds[k].first++;
                kinds[k].second = std::max(kinds[k].second, g[i]->id);
            }
            QString habit;
            std::pair<int, qint64> best{0, 0};
            for (const auto& [k, v] : kinds)
                if (v.first >= 2 && v > best) best = v, habit = k;
            EXPECT_EQ(row.habit, habit);
        }
    }
    // Without a filter the habit is the learning record's own.
    for (const report::ClassRow& row : report::ClassSummary(r.db(), {})) {
        const QStringList habits =
            r.learning->Habits(row.pupil == record::kGuestName ? QString() : row.pupil, TopicNumber(row.topic));
        EXPECT_EQ(row.habit, habits.value(0));
    }
}

// The kept totals per pupil and topic equal a count of the answers: on a
// file of the layout before them (upgraded with its rows), after new
// answers, a pupil removed, the newest answer of a group removed, and
// answers changed.
TEST(ClassSummary, KeptTotalsFollowEveryChangeToTheAnswers) {
    QTemporaryDir folder;
    const QString path = folder.path() + "/kyozai.db";
    const QString made = MakeRecordFileAtLayout(path, 5, [](QSqlQuery& q) {
        bool ok = q.exec("insert into pupils (name) values ('はなこ')");
        for (int i = 0; ok && i < 30; ++i)
            ok = q.exec(QStringLiteral("insert into history (pupil_id, answered_at, topic, mode, problem,"
                                       " correct, seconds) values (%1, '2026-10-%2T10:00:00.000+09:00',"
                                       " %3, 'practice', '1 ÷ 1', %4, 3)")
                            .arg(i % 3 ? "1" : "null")
                            .arg(10 + i % 7)
                            .arg(1 + i % 2)
                            .arg(i % 2));
        return ok;
    });
    ASSERT_EQ(made, "");
    FakeDialogs dialogs;
    record::RecordStore store(path, dialogs, nullptr, record::RecordStore::CheckMode::Synchronous);
    record::LearningRecord learning(store);
    ASSERT_TRUE(store.Ready());
    auto mismatches = [&] {
        const QString counted = QStringLiteral(
            "select coalesce(pupil_id, 0), topic, count(*), sum(correct), max(answered_at) from history"
            " where mode <> 'find_mistake' group by 1, 2");
        const QString kept = QStringLiteral("select pupil_key, topic, answers, correct, last_at from history_totals");
        QSqlQuery q(store.database());
        q.exec(QStringLiteral("select (select count(*) from (%1 except %2)) + (select count(*) from (%2 except %1)),"
                              " (select count(*) from history_totals)")
                   .arg(counted, kept));
        return q.next() ? std::make_pair(q.value(0).toInt(), q.value(1).toInt()) : std::make_pair(-1, -1);
    };
    EXPECT_EQ(mismatches(), std::make_pair(0, 4)) << "upgraded";
    auto commit = [&](const QString& sql) { ASSERT_EQ(store.Commit({{sql, {}}}), record::RecordStore::Result::Written); };
    learning.AddPupil("たろう");
    for (int i = 0; i < 40; ++i)
        commit(QStringLiteral("insert into history (pupil_id, answered_at, topic, mode, problem, correct, seconds)"
                              " values (%1, '2026-11-%2T09:00:00.000+09:00', %3, 'drill', '2 ÷ 1', %4, 4)")
                   .arg(i % 2 ? "(select id from pupils where name = 'たろう')" : "null")
                   .arg(10 + i % 9)
                   .arg(1 + i % 5)
                   .arg(i % 3 ? 1 : 0));
    EXPECT_EQ(mismatches().first, 0) << "new answers";
    learning.DeletePupil("はなこ");
    EXPECT_EQ(mismatches(), std::make_pair(0, 10)) << "a pupil removed";
    commit("delete from history where id = (select max(id) from history where pupil_id is null and topic = 2)");
    commit("delete from history where pupil_id is null and topic = 5");
    EXPECT_EQ(mismatches(), std::make_pair(0, 9)) << "the newest answer and a whole group removed";
    commit("update history set topic = 4, correct = 1 - correct where id % 4 = 0");
    commit("update history set answered_at = '2026-09-01T08:00:00.000+09:00' where id % 5 = 0");
    EXPECT_EQ(mismatches().first, 0) << "answers changed";
    // Answers to find-the-mistake examples are kept apart, also when a row
    // changes its mode either way.
    for (int i = 0; i < 12; ++i)
        commit(QStringLiteral("insert into history (pupil_id, answered_at, topic, mode, problem, correct)"
                              " values (%1, '2026-12-%2T09:00:00.000+09:00', %3, 'find_mistake', '3 ÷ 1', %4)")
                   .arg(i % 2 ? "(select id from pupils where name = 'たろう')" : "null")
                   .arg(10 + i % 5)
                   .arg(1 + i % 5)
                   .arg(i % 2));
    EXPECT_EQ(mismatches().first, 0) << "find-the-mistake answers";
    commit("update history set mode = 'find_mistake' where mode = 'drill' and id % 3 = 0");
    commit("update history set mode = 'practice', correct = 1 - correct where mode = 'find_mistake' and id % 2 = 0");
    commit("delete from history where mode = 'find_mistake' and id % 5 = 0");
    EXPECT_EQ(mismatches().first, 0) << "modes changed";
    EXPECT_EQ(report::ClassSummary(store.database(), {}).size(), size_t(mismatches().second));
}

// ---------------------------------------------------------------- CSV

TEST(CsvCell, QuotesAndGuardsFormulas) {
    const std::pair<QString, QString> cases[] = {
        {"745 ÷ 6", "745 ÷ 6"},
        {"12.5", "12.5"},
        {"a,b", "\"a,b\""},
        {"say \"hi\"", "\"say \"\"hi\"\"\""},
        {"two\nlines", "\"two\nlines\""},
        {" padded ", "\" padded \""},
        {"=1+1", "'=1+1"},
        {"+81 3", "'+81 3"},
        {"-3", "'-3"},
        {"@SUM(A1)", "'@SUM(A1)"},
        {"\tx", "'\tx"},
        {"=HYPERLINK(\"x\",\"y\")", "\"'=HYPERLINK(\"\"x\"\",\"\"y\"\")\""},
        {"'=x", "''=x"},  // a quote already in front is kept, and guarded again
        {"O'Brien", "O'Brien"},
        {"'abc", "'abc"},
        // The same signs in full-width or small form, and behind white space
        // or an invisible character, are formulas to a spreadsheet too.
        {"＝1+1", "'＝1+1"},
        {"＋1", "'＋1"},
        {"－1", "'－1"},
        {"＠SUM(A1)", "'＠SUM(A1)"},
        {"﹦1", "'﹦1"},
        {"−1", "'−1"},  // the minus sign U+2212
        {"\u3000−3", "'\u3000−3"},
        {" =1+1", "\"' =1+1\""},
        {"\u3000=1+1", "'\u3000=1+1"},
        {"\u200B=1+1", "'\u200B=1+1"},
        {"\u3000\u200B＋1", "'\u3000\u200B＋1"},
        {"\u3000はなこ", "\u3000はなこ"},
        {"\u200Bはなこ", "\u200Bはなこ"},
        {"ー", "ー"},
    };
    for (const auto& [text, cell] : cases) {
        EXPECT_EQ(Utf8(report::CsvCell(text)), Utf8(cell));
        const auto parsed = ParseCsv(report::CsvCell(text) + "\r\n");
        ASSERT_EQ(parsed.size(), 1u);
        EXPECT_EQ(Utf8(parsed[0].value(0)), Utf8(text)) << "does not read back";
    }
}

TEST(CsvExport, StartsWithTheMarkAndReadsBackToTheRows) {
    ScratchRecord r;
    FillRandom(r, 3, 120);
    // Names a spreadsheet would misread.
    const QString awkward[] = {"=1+2", "a,\"b\"", "ふたり\nめ", "@かな", "-ひく"};
    for (const QString& name : awkward) r.Answer(name, "2026-12-01", 2, false, 3.5, "column_shift", "=2+3", "-1");
    const std::vector<record::HistoryRow> rows = r.learning->History();
    QString error;
    const QString path = r.folder.path() + "/kiroku.csv";
    ASSERT_TRUE(report::ExportCsv(r.db(), {}, path, &error)) << Utf8(error);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    ASSERT_TRUE(bytes.startsWith("\xEF\xBB\xBF"));
    const auto parsed = ParseCsv(QString::fromUtf8(bytes.mid(3)));
    ASSERT_EQ(parsed.size(), rows.size() + 1);
    EXPECT_EQ(parsed[0], report::CsvHeader());
    for (size_t i = 0; i < rows.size(); ++i) {
        const record::HistoryRow& h = rows[i];
        const QStringList& c = parsed[i + 1];
        ASSERT_EQ(c.size(), report::CsvHeader().size());
        const QStringList expected = {
            QString::number(h.id), h.pupil_id ? QString::number(*h.pupil_id) : QString(),
            h.pupil.isEmpty() ? record::kGuestName : h.pupil, h.answered_at, QString::number(h.topic),
            report::TopicName(*TopicFromNumber(h.topic)), h.mode, QString::number(h.menu_choice),
            h.drill_id ? QString::number(*h.drill_id) : QString(),
            h.question_no ? QString::number(*h.question_no) : QString(), h.problem, h.right_answer,
            h.entered_answer, h.correct ? "1" : "0", c.value(14), h.error_kind,
            report::KindLabel(TopicFromNumber(h.topic), h.error_kind), h.error_step, h.worked_rows};
        EXPECT_EQ(c, expected) << "row " << i;
        EXPECT_EQ(c.value(14).toDouble(), h.seconds) << "row " << i;  // "3.0" as SQLite writes it
    }
    // A filter writes its rows only.
    ASSERT_TRUE(report::ExportCsv(r.db(), {QStringLiteral("a,\"b\""), std::nullopt, std::nullopt}, path, &error));
    QFile one(path);
    ASSERT_TRUE(one.open(QIODevice::ReadOnly));
    EXPECT_EQ(ParseCsv(QString::fromUtf8(one.readAll().mid(3))).size(), 2u);
}

// Answers stored under a number no topic has (a newer program's, from the
// server) are left out of the figures, never counted under another topic
// and never a crash; the answers file keeps them with their number.
TEST(ReportData, AnswersUnderAnUnknownTopicNumberAreLeftOutOfTheFiguresButExported) {
    ScratchRecord r;
    r.Answer("はなこ", "2026-12-07", 1, false, 5, "zero_missing");
    for (int unknown : {0, 8, 9}) r.Answer("はなこ", "2026-12-08", unknown, false, 7, "zero_missing");
    const QDate today(2026, 12, 8);
    for (const ReportFilter& f : {ReportFilter{}, ReportFilter{QStringLiteral("はなこ"), QDate(2026, 12, 1), today}}) {
        const std::vector<report::ClassRow> rows = report::ClassSummary(r.db(), f);
        ASSERT_EQ(rows.size(), 1u);
        EXPECT_EQ(rows[0].topic, Topic::Division);
        EXPECT_EQ(rows[0].answers, 1);
        const std::vector<report::KindCount> kinds = report::KindCounts(r.db(), f);
        ASSERT_EQ(kinds.size(), 1u);
        EXPECT_EQ(kinds[0].count, 1);
        EXPECT_EQ(report::RecentWrong(r.db(), f, 10).size(), 1u);
    }
    const std::vector<report::WeeklyPercent> weeks = report::WeeklyPercents(r.db(), "はなこ", today);
    ASSERT_EQ(weeks.size(), kAllTopics.size());
    for (const report::WeeklyPercent& w : weeks) EXPECT_EQ(w.percent[7].has_value(), w.topic == Topic::Division);
    const report::OwnRecord own = report::ReadOwnRecord(r.db(), "はなこ", today);
    for (const report::OwnTopicWeek& week : own.topics)
        EXPECT_EQ(week.answers, week.topic == Topic::Division ? 1 : 0) << TopicNumber(week.topic);
    EXPECT_EQ(own.last_mistakes.size(), 1u);

    QString error;
    const QString csv = r.folder.path() + "/all.csv";
    ASSERT_TRUE(report::ExportCsv(r.db(), {}, csv, &error)) << Utf8(error);
    QFile file(csv);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const auto parsed = ParseCsv(QString::fromUtf8(file.readAll().mid(3)));
    ASSERT_EQ(parsed.size(), 5u);
    EXPECT_EQ(parsed[1].mid(4, 2), QStringList({"1", "わり算"}));
    EXPECT_EQ(parsed[4].mid(4, 2), QStringList({"9", ""}));
    EXPECT_EQ(parsed[4].value(16), "zero_missing") << "an unknown topic's kind keeps its id";
    ASSERT_TRUE(report::ExportPdf(r.db(), {}, today, r.folder.path() + "/all.pdf", &error)) << Utf8(error);
}

// ---------------------------------------------------------------- PDF

QString Output(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

TEST(PdfReport, HoldsEveryPupilTheTopicsAndTheDatabasesTotals) {
    ScratchRecord r;
    FillRandom(r, 11, 300);
    const QString path = r.folder.path() + "/kiroku.pdf";
    QString error;
    ASSERT_TRUE(report::ExportPdf(r.db(), {}, QDate(2026, 12, 8), path, &error)) << Utf8(error);
    const QStringList pages = Output("pdftotext", {"-layout", path, "-"}).split('\f', Qt::SkipEmptyParts);
    const QStringList pupils = {"はなこ", "たろう", "O'Brien", "ゲスト"};
    ASSERT_EQ(pages.size(), pupils.size());
    for (int i = 0; i < pupils.size(); ++i) {
        SCOPED_TRACE(Utf8(pupils[i]));
        const QString& page = pages[i];
        EXPECT_TRUE(page.contains(pupils[i]));
        // The weekly chart below the tables, its newest Monday under it.
        EXPECT_TRUE(page.contains(QStringLiteral("週ごとの正答率")) && page.contains(QStringLiteral("12/7")));
        const QString who = pupils[i] == "ゲスト" ? "pupil_id is null"
                                                 : "pupil_id = (select id from pupils where name = '" +
                                                       QString(pupils[i]).replace("'", "''") + "')";
        for (Topic t : kAllTopics)
            if (r.Count("select count(*) from history where topic = " + QString::number(TopicNumber(t)) + " and " + who)) {
                EXPECT_TRUE(page.contains(report::TopicName(t)));
            }
        // The totals line: the pupil's own answers and right answers as the
        // database counts them, and the find-the-mistake examples apart.
        const QString totals = page.section("合計", 1).section('\n', 0, 0);
        const QStringList figures = totals.split(' ', Qt::SkipEmptyParts);
        ASSERT_GE(figures.size(), 2);
        const QString own = " and mode <> 'find_mistake'";
        EXPECT_EQ(figures[0].toInt(), r.Count("select count(*) from history where " + who + own));
        EXPECT_EQ(figures[1].toInt(), r.Count("select sum(correct) from history where " + who + own));
        const QString found = " and mode = 'find_mistake'";
        EXPECT_TRUE(totals.contains(QStringLiteral("%1 / %2")
                                        .arg(r.Count("select sum(correct) from history where " + who + found))
                                        .arg(r.Count("select count(*) from history where " + who + found))))
            << Utf8(totals);
    }
    // Every font is embedded.
    const QStringList fonts = Output("pdffonts", {path}).split('\n', Qt::SkipEmptyParts).mid(2);
    ASSERT_FALSE(fonts.isEmpty());
    for (const QString& line : fonts) EXPECT_TRUE(line.contains(" yes ")) << Utf8(line);
}

// A pupil whose tables fill the page (every topic, every skill, many kinds,
// the most frequent under long ids of a newer program's kinds, shown as they
// are) gets the weekly chart on a page of its own, never left out; the kinds
// table shows the most frequent and counts the rest in one row.
TEST(PdfReport, AChartWithoutRoomBelowTheTablesGoesOnThePageAfter) {
    report::ReportReader reader;
    reader.pupils = [](const ReportFilter&) { return QStringList{QStringLiteral("はなこ")}; };
    reader.summary = [](const ReportFilter&) {
        std::vector<report::ClassRow> rows;
        for (Topic t : kAllTopics) rows.push_back({"はなこ", t, 10, 5, 12.5, "2026-12-01", "slip"});
        return rows;
    };
    reader.kinds = [](const ReportFilter&) {
        std::vector<report::KindCount> kinds;
        for (int i = 0; i < 7; ++i)
            kinds.push_back({Topic::DecimalDivision, QStringLiteral("newer_kind_%1_").arg(i).repeated(10), 2});
        for (Topic t : kAllTopics)
            for (const KindInfo& k : Describe(t).kinds) kinds.push_back({t, QString::fromStdString(k.id), 1});
        return kinds;
    };
    reader.weekly = [](const QString&, QDate, std::optional<Topic>) {
        std::vector<report::WeeklyPercent> weeks;
        for (Topic t : kAllTopics) weeks.push_back({t, {50, 60, std::nullopt, 70, 80, 90, 100, 100}});
        return weeks;
    };
    reader.levels = [] {
        std::vector<report::SkillLevel> levels;
        for (Topic t : kAllTopics)
            for (const TopicSkill& s : Describe(t).skills) levels.push_back({"はなこ", std::string(s.info.id), Level::A});
        return levels;
    };
    ScratchRecord r;
    const QString path = r.folder.path() + "/kiroku.pdf";
    QString error;
    ASSERT_TRUE(report::ExportPdf(reader, {}, QDate(2026, 12, 8), path, &error)) << Utf8(error);
    const QStringList pages = Output("pdftotext", {"-layout", path, "-"}).split('\f', Qt::SkipEmptyParts);
    ASSERT_EQ(pages.size(), 2);
    EXPECT_TRUE(pages[0].contains(QStringLiteral("習熟度")));
    EXPECT_TRUE(pages[0].contains(QStringLiteral("ほかの %1 種類").arg(reader.kinds({}).size() - 7)));
    EXPECT_FALSE(pages[0].contains(QStringLiteral("週ごとの正答率")));
    EXPECT_TRUE(pages[1].contains(QStringLiteral("週ごとの正答率")) && pages[1].contains(QStringLiteral("12/7")));
    for (Topic t : kAllTopics) EXPECT_TRUE(pages[1].contains(report::TopicName(t))) << TopicNumber(t);
}

TEST(PdfReport, AnUnwritablePlaceIsToldAndLeavesNoFile) {
    ScratchRecord r;
    QString error;
    EXPECT_FALSE(report::ExportPdf(r.db(), {}, QDate(2026, 12, 8), r.folder.path() + "/no/such/x.pdf", &error));
    EXPECT_TRUE(error.contains("書きこめません"));
    EXPECT_FALSE(report::ExportCsv(r.db(), {}, r.folder.path() + "/no/such/x.csv", &error));
    EXPECT_TRUE(error.contains("書きこめません"));
}

}  // namespace
}  // namespace sorelka
