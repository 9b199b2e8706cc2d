// The teacher's view at a school's scale, against the synthetic school of
// bench/school/school_server.sh (24 classes × 30 pupils × 200 days × 50
// answers) on a local cluster: signing in, the view of one class opening
// and painting, the one-pupil tab, the CSV of one class's year, a PC's sync
// of one day's 50 answers, the program's memory; a lesson live (30 pupils
// of the viewed class answering a piece of work every few seconds and their
// PCs signalling their screens, while the teacher's live view and the
// piece's progress refresh); then the copy-everything path of the build
// before on a slice of the same data, for comparison.
//   school_bench [port (55433)] [copy database (sorelka_copy)] [the cluster's CA file]
// With the CA file the teacher signs in to "localhost" verified
// (sslmode=verify-full), as the program requires of a teacher's sign-in.
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <random>
#include <sys/resource.h>
#include <vector>

#include "app/teacher/class_data.h"
#include "app/teacher/teacher_window.h"
#include "history_fill.h"
#include "record/learning_record.h"
#include "report/report_data.h"
#include "support/fakes.h"
#include "sync/class_read.h"
#include "sync/class_record.h"
#include "sync/class_sync.h"
#include "sync/class_work.h"
#include "sync/pg_connection.h"
#include "sync/teacher_session.h"

namespace {

using namespace sorelka;

double PeakMiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

void Report(const char* what, const std::vector<double>& ms) {
    std::printf("%-44s median %8.1f ms  (min %.1f, max %.1f, n=%zu)  peak RSS %.1f MiB\n", what, Median(ms),
                *std::min_element(ms.begin(), ms.end()), *std::max_element(ms.begin(), ms.end()), ms.size(),
                PeakMiB());
    std::fflush(stdout);
}

void Settle() {
    for (int i = 0; i < 3; ++i) QApplication::processEvents();
}

double Mean(const std::vector<double>& v) {
    double sum = 0;
    for (double x : v) sum += x;
    return v.empty() ? 0 : sum / v.size();
}

// What the server's EXPLAIN ANALYZE of `sql` says its execution took, in ms.
double ServerMs(sync::TeacherSession& session, const QString& sql, const std::vector<sync::PgValue>& values) {
    const sync::PgResult r = session.Exec(QStringLiteral("explain (analyze, timing off) ") + sql, values);
    for (int i = 0; r.ok() && i < r.rows(); ++i)
        if (r.text(i, 0).startsWith(QStringLiteral("Execution Time:")))
            return r.text(i, 0).section(QLatin1Char(' '), 2, 2).toDouble();
    return -1;
}

// The CPU time a server backend has used so far, in ns (the server runs on
// this machine), -1 when it cannot be read.
qint64 BackendCpuNs(const QString& pid) {
    QFile file(QStringLiteral("/proc/%1/schedstat").arg(pid));
    if (!file.open(QIODevice::ReadOnly)) return -1;
    return file.readAll().split(' ').value(0).toLongLong();
}

// A lesson live: the 30 pupils of `klass`, each on a PC of its own (pc_ids
// "live-01" … owned by the PCs' role), answer a piece of work every 3–6 s
// (each answer sent as the sync sends it: a transaction with one insert …
// returning id), their PCs signal every 20 s and at each change of screen
// (about every 90 s; with `quiet_while_answering`, every 20 s only when it
// sent no answer in them), and the teacher's live view and the piece's progress
// refresh every 5 s. Before it, ten minutes of such answers are put in
// with the server's times of then, so the live view reads a full window.
// The answers and the signals go on two connections of the PCs' role, so
// the CPU time of each one's server process tells their loads apart. A PC
// reads its work list when the server notifies a change, when a pupil sits
// down and every 30 minutes: for 30 PCs, with two pupils each in a 45-minute
// lesson, 30 × (2 / 2700 + 1 / 1800) ≈ 0.039 reads a second. One read a
// second is timed here by a PC of a role of its own ("live_fetch", pc_id
// "live-fetch", whose pupil is the first pupil's name, so her answers from
// "live-01" count as sent from another PC), on a third connection, and its
// load is reported at that rate.
void LiveLesson(const sync::ServerConfig& pc, const QString& klass, int seconds, bool quiet_while_answering) {
    sync::ServerConfig owner = pc;
    owner.user = QStringLiteral("postgres");
    owner.password.clear();
    sync::PgConnection admin, pc_link, signal_link;
    if (const QString why = admin.Open(owner, 10); !why.isEmpty()) {
        std::fprintf(stderr, "live lesson: %s\n", qPrintable(why));
        return;
    }
    pc_link.Open(pc, 10);
    signal_link.Open(pc, 10);
    admin.Exec(QStringLiteral("do $$ begin if not exists (select from pg_roles where rolname = 'live_fetch') then"
                              " create role live_fetch login password 'bench' in role sorelka_writer; end if; end $$"));
    sync::ServerConfig fetcher = pc;
    fetcher.user = QStringLiteral("live_fetch");
    sync::PgConnection fetch_link;
    fetch_link.Open(fetcher, 10);
    QString problem;
    auto teacher = sync::TeacherSession::SignIn(pc, QStringLiteral("teacher_bench"), QStringLiteral("bench"), &problem);
    if (!teacher) return;
    const sync::MadeWork piece = sync::MakeWork(
        *teacher, klass, {.title = QStringLiteral("わり算 10問"), .topic = 1, .menu_choice = 1, .problems = 10,
                          .due_day = QDate::currentDate()});
    const QByteArray work = QByteArray::number(piece.id), klass8 = klass.toUtf8();
    const std::pair<const char*, std::vector<sync::PgValue>> setup[] = {
        {"insert into pc_owners (pc_id, owner) select 'live-' || lpad(s::text, 2, '0'), 'pc_bench'"
         " from generate_series(1, 30) s on conflict do nothing",
         {}},
        {"insert into pupils (pc_id, id, name, class_name, created_at) select 'live-' || lpad(s::text, 2, '0'), 1,"
         " 'せいと' || lpad(s::text, 2, '0'), $1::text, '2026-12-10' from generate_series(1, 30) s"
         " on conflict do nothing",
         {klass8}},
        {"insert into pc_owners (pc_id, owner) values ('live-fetch', 'live_fetch') on conflict do nothing", {}},
        {"insert into pupils (pc_id, id, name, class_name, created_at) values ('live-fetch', 1, 'せいと01', $1::text,"
         " '2026-12-10') on conflict do nothing",
         {klass8}},
        {"insert into class_pupils (class_name, name, archived) select $1::text, 'せいと' || lpad(s::text, 2, '0'),"
         " false from generate_series(1, 30) s on conflict do nothing",
         {klass8}},
        {"delete from history where pc_id like 'live-%'", {}},
        {"delete from pc_presence where pc_id like 'live-%'", {}},
        // Ten minutes of answers, one every 4.5 s per pupil, the newest 10 for the piece.
        {"insert into history (pc_id, id, pupil_id, answered_at, topic, mode, menu_choice, problem, correct,"
         " error_kind, work_id, skill, received_at)"
         " select 'live-' || lpad(s::text, 2, '0'), k, 1, 't', 1, 'practice', 1, '745 ÷ 6', (k % 4 <> 0)::int,"
         " case when k % 4 = 0 then 'zero_missing' end, case when k > 123 then $1::bigint end, 'div_zero',"
         " now() - (133 - k) * interval '4.5 s' from generate_series(1, 30) s, generate_series(1, 133) k",
         {work}},
    };
    for (const auto& [sql, values] : setup) {
        const sync::PgResult r = admin.Exec(QString::fromUtf8(sql), values);
        if (!r.ok()) std::fprintf(stderr, "live lesson: %s\n", qPrintable(r.error()));
    }
    // The rows of an earlier run deleted: their index entries gone, as in a
    // school that never deletes answers.
    admin.Exec(QStringLiteral("vacuum analyze history"));

    std::mt19937 draw(7);
    auto between = [&](double low, double high) { return std::uniform_real_distribution<double>(low, high)(draw); };
    struct Pupil {
        QByteArray pc_id;
        int next_id = 134;
        double answer_at, signal_at, screen_at;
        int screen = 3;
    };
    std::vector<Pupil> pupils(30);
    for (int s = 0; s < 30; ++s) {
        pupils[s].pc_id = QStringLiteral("live-%1").arg(s + 1, 2, 10, QLatin1Char('0')).toUtf8();
        pupils[s].answer_at = between(0, 6);
        pupils[s].signal_at = between(0, 20);
        pupils[s].screen_at = between(0, 90);
    }
    const QString answer = QStringLiteral(
        "insert into history (pc_id, id, pupil_id, answered_at, topic, mode, menu_choice, problem, correct,"
        " error_kind, work_id, skill) values ($1, $2::bigint, 1, '2026-12-10T10:00:00.000+09:00', 1, 'practice', 1,"
        " '745 ÷ 6', $3::integer, case when $3::integer = 0 then 'zero_missing' end, $4::bigint, 'div_zero')"
        " on conflict do nothing returning id");
    const QString signal = QStringLiteral(
        "insert into pc_presence (pc_id, pupil_id, screen, topic, menu_choice, work_id) values ($1, 1, $2, 1, 1, $3::bigint)"
        " on conflict (pc_id) do update set pupil_id = excluded.pupil_id, screen = excluded.screen,"
        " topic = excluded.topic, menu_choice = excluded.menu_choice, work_id = excluded.work_id");
    const QString fetch = QStringLiteral(
        "select id, class_name, title, topic, menu_choice, skill, recommended, problems, due_day, pupils,"
        " withdrawn, pc_id, pupil_id, answered_elsewhere from sorelka_pc_work()");
    std::vector<double> answers_ms, signals_ms, live_ms, progress_ms, live_server, progress_server, fetches_ms;
    const QString fetch_pid = fetch_link.Exec(QStringLiteral("select pg_backend_pid()")).text(0, 0);
    if (fetch_link.Exec(fetch).rows() == 0) std::fprintf(stderr, "live lesson: the fetching PC has no work\n");
    const qint64 fetch_cpu0 = BackendCpuNs(fetch_pid);
    double fetch_at = 0;
    const QString answer_pid = pc_link.Exec(QStringLiteral("select pg_backend_pid()")).text(0, 0);
    const QString signal_pid = signal_link.Exec(QStringLiteral("select pg_backend_pid()")).text(0, 0);
    // Each statement once before counting, so neither counts its first planning.
    signal_link.Exec(signal, {QByteArray("live-01"), QByteArray("TForm3"), work});
    const qint64 answer_cpu0 = BackendCpuNs(answer_pid), signal_cpu0 = BackendCpuNs(signal_pid);
    QElapsedTimer clock;
    clock.start();
    double refresh_at = 0;
    for (;;) {
        const double now = clock.nsecsElapsed() / 1e9;
        if (now >= seconds) break;
        bool idle = true;
        for (Pupil& p : pupils) {
            if (now >= p.answer_at) {
                QElapsedTimer t;
                t.start();
                pc_link.Exec(QStringLiteral("begin"));
                pc_link.Exec(answer, {p.pc_id, QByteArray::number(p.next_id++), QByteArray(draw() % 4 ? "1" : "0"),
                                      work});
                pc_link.Exec(QStringLiteral("commit"));
                answers_ms.push_back(t.nsecsElapsed() / 1e6);
                p.answer_at = now + between(3, 6);
                // An answer arriving tells the server the PC is there.
                if (quiet_while_answering) p.signal_at = now + 20;
                idle = false;
            }
            if (now >= p.signal_at || now >= p.screen_at) {
                if (now >= p.screen_at) p.screen = p.screen == 3 ? 1 : 3, p.screen_at = now + between(60, 120);
                QElapsedTimer t;
                t.start();
                const sync::PgResult r = signal_link.Exec(signal, {p.pc_id, "TForm" + QByteArray::number(p.screen), work});
                if (!r.ok()) std::fprintf(stderr, "signal: %s\n", qPrintable(r.error()));
                signals_ms.push_back(t.nsecsElapsed() / 1e6);
                p.signal_at = now + 20;
                idle = false;
            }
        }
        if (now >= fetch_at) {
            QElapsedTimer t;
            t.start();
            const sync::PgResult r = fetch_link.Exec(fetch);
            if (!r.ok()) std::fprintf(stderr, "fetch: %s\n", qPrintable(r.error()));
            fetches_ms.push_back(t.nsecsElapsed() / 1e6);
            fetch_at = now + 1;
            idle = false;
        }
        if (now >= refresh_at) {
            QElapsedTimer t;
            t.start();
            const auto live = sync::Live(*teacher, klass);
            live_ms.push_back(t.nsecsElapsed() / 1e6);
            t.restart();
            const auto progress = sync::WorkProgress(*teacher, klass);
            progress_ms.push_back(t.nsecsElapsed() / 1e6);
            if (!live.ok() || !progress.ok())
                std::fprintf(stderr, "live: %s %s\n", qPrintable(live.problem), qPrintable(progress.problem));
            live_server.push_back(ServerMs(*teacher, QStringLiteral("select * from sorelka_live($1)"), {klass8}));
            progress_server.push_back(
                ServerMs(*teacher, QStringLiteral("select * from sorelka_work_progress($1)"), {klass8}));
            refresh_at = now + 5;
            idle = false;
        }
        if (idle) QThread::msleep(5);
    }
    Report("live view of 30 pupils, one refresh", live_ms);
    Report("  of which the server's execution", live_server);
    Report("work progress of the class, one refresh", progress_ms);
    Report("  of which the server's execution", progress_server);
    Report("an answer sent (begin, insert, commit)", answers_ms);
    Report("a screen signal sent (one upsert)", signals_ms);
    const double answer_cpu = (BackendCpuNs(answer_pid) - answer_cpu0) / 1e6;
    const double signal_cpu = (BackendCpuNs(signal_pid) - signal_cpu0) / 1e6;
    const double answer_rate = answers_ms.size() / double(seconds), signal_rate = signals_ms.size() / double(seconds);
    std::printf("in %d s: %.2f answers/s, %.2f signals/s; the signals' wall time is %.1f %% of the answers'\n",
                seconds, answer_rate, signal_rate,
                100.0 * signal_rate * Mean(signals_ms) / std::max(1e-9, answer_rate * Mean(answers_ms)));
    std::printf("server CPU: answers %.1f ms (%.3f ms each), signals %.1f ms (%.3f ms each): the signals' load is "
                "%.1f %% of the answers'\n",
                answer_cpu, answer_cpu / std::max<std::size_t>(1, answers_ms.size()), signal_cpu,
                signal_cpu / std::max<std::size_t>(1, signals_ms.size()), 100.0 * signal_cpu / std::max(1e-9, answer_cpu));
    const double fetch_cpu = (BackendCpuNs(fetch_pid) - fetch_cpu0) / 1e6;
    Report("a PC's work list read (sorelka_pc_work)", fetches_ms);
    const double fetch_each = fetch_cpu / std::max<std::size_t>(1, fetches_ms.size());
    const double fetch_load = 30 * (2.0 / 2700 + 1.0 / 1800) * seconds * fetch_each;
    std::printf("work lists: server CPU %.3f ms each; at 0.039 reads/s %.1f %% of the answers'; with the signals "
                "%.1f %%\n",
                fetch_each, 100.0 * fetch_load / std::max(1e-9, answer_cpu),
                100.0 * (fetch_load + signal_cpu) / std::max(1e-9, answer_cpu));
    sync::WithdrawWork(*teacher, piece.id);
}

// The lesson twice: the PCs signalling every 20 s, then only when they sent
// no answer in them. SCHOOL_BENCH_LIVE_SECONDS: each one's length (60).
void LiveLessons(const sync::ServerConfig& pc, const QString& klass) {
    const int seconds = qEnvironmentVariableIntValue("SCHOOL_BENCH_LIVE_SECONDS");
    for (bool quiet : {false, true}) {
        std::printf("lesson live, the PCs signalling every 20 s%s:\n", quiet ? " only without answers" : "");
        LiveLesson(pc, klass, seconds > 0 ? seconds : 60, quiet);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir settings;
    qputenv("XDG_CONFIG_HOME", settings.path().toLocal8Bit());
    QApplication app(argc, argv);
    sync::ServerConfig pc;
    pc.host = QStringLiteral("127.0.0.1");
    pc.port = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 55433;
    pc.database = QStringLiteral("sorelka");
    pc.user = QStringLiteral("pc_bench");
    pc.password = QStringLiteral("bench");
    pc.sslmode = QStringLiteral("disable");
    if (argc > 3) {
        pc.host = QStringLiteral("localhost");
        pc.sslmode = QStringLiteral("verify-full");
        pc.sslrootcert = QString::fromLocal8Bit(argv[3]);
    }
    const QString copy_database = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QStringLiteral("sorelka_copy");
    const QString kClass = QStringLiteral("4年1組");

    // SCHOOL_BENCH_ONLY_LIVE=1: the lesson alone.
    if (qEnvironmentVariableIntValue("SCHOOL_BENCH_ONLY_LIVE") == 1) {
        LiveLessons(pc, kClass);
        return 0;
    }

    QTemporaryDir folder;
    testing::FakeServices fx;
    record::RecordStore store(folder.filePath("kyozai.db"), fx.dialogs, &fx.clock);
    record::LearningRecord learning(store);
    std::printf("start: peak RSS %.1f MiB\n", PeakMiB());

    std::vector<double> sign_in, opens, pupil_tab, csv, sync_ms;
    std::unique_ptr<TeacherWindow> window;
    for (int round = 0; round < 5; ++round) {
        QElapsedTimer t;
        t.start();
        QString problem;
        auto session = sync::TeacherSession::SignIn(pc, QStringLiteral("teacher_bench"), QStringLiteral("bench"), &problem);
        if (!session) {
            std::fprintf(stderr, "no sign-in: %s\n", qPrintable(problem));
            return 1;
        }
        sign_in.push_back(t.nsecsElapsed() / 1e6);
        t.restart();
        window = std::make_unique<TeacherWindow>(learning, fx.ctx, nullptr);
        window->SignIn(std::move(session));
        window->show();
        Settle();
        window->repaint();
        opens.push_back(t.nsecsElapsed() / 1e6);
    }
    Report("sign-in (teacher's role, one connection)", sign_in);
    Report("view of one class opens and paints", opens);

    window->findChild<QTabWidget*>(QStringLiteral("TeacherTabs"))->setCurrentIndex(1);
    auto* choice = window->findChild<QComboBox*>(QStringLiteral("PupilChoice"));
    for (int i = 1; i <= 6 && i < choice->count(); ++i) {
        QElapsedTimer t;
        t.start();
        choice->setCurrentIndex(i);
        Settle();
        window->repaint();
        pupil_tab.push_back(t.nsecsElapsed() / 1e6);
    }
    Report("one-pupil tab (a year of 10,000 answers)", pupil_tab);

    {
        QString problem;
        auto session = sync::TeacherSession::SignIn(pc, QStringLiteral("teacher_bench"), QStringLiteral("bench"), &problem);
        const auto data = ClassData::OnServer(*session, kClass);
        for (int round = 0; round < 3; ++round) {
            QElapsedTimer t;
            t.start();
            QString error;
            const QString path = folder.filePath("class.csv");
            if (!data->Export(ExportFormat::Csv, {}, QDate(2026, 12, 9), path, &error))
                std::fprintf(stderr, "csv: %s\n", qPrintable(error));
            csv.push_back(t.nsecsElapsed() / 1e6);
            if (round == 0) std::printf("CSV of the class's year: %.1f MiB\n", QFileInfo(path).size() / 1048576.0);
        }
    }
    Report("CSV of one class's year (300,000 answers)", csv);

    // A PC's day: 50 answers in a fresh record file, sent to the full server.
    for (int round = 0; round < 3; ++round) {
        QTemporaryDir day;
        testing::FakeDialogs dialogs;
        testing::FakeClock clock;
        record::RecordStore pc_store(day.filePath("kyozai.db"), dialogs, &clock);
        record::LearningRecord pc_learning(pc_store);
        pc_learning.AddPupil(QStringLiteral("はなこ"));
        pc_learning.ChoosePupil(QStringLiteral("はなこ"));
        pc_store.Commit(bench::AnswersToSend(pc_learning, clock.Now(), 50));
        QElapsedTimer t;
        t.start();
        sync::SyncTiming timing;
        timing.idle_ms = 20;
        sync::ClassSync sync(pc_store.path(), pc, timing);
        sync.Start();
        if (!sync.WaitUntilSent(60000)) std::fprintf(stderr, "sync: %s\n", qPrintable(sync.status().problem));
        sync_ms.push_back(t.nsecsElapsed() / 1e6);
        sync.Stop();
    }
    Report("a PC's sync of 50 answers (7.2 M on the server)", sync_ms);
    LiveLessons(pc, kClass);
    window.reset();
    std::printf("peak RSS of the signed-in view throughout: %.1f MiB\n", PeakMiB());

    // The build before: every row the reader may read, copied into a record
    // in memory, then the class's figures counted there.
    sync::ServerConfig owner = pc;
    owner.user = QStringLiteral("postgres");
    owner.password.clear();
    owner.database = copy_database;
    QElapsedTimer t;
    t.start();
    sync::ClassHistory history = sync::ReadClass(owner, 30);
    const double read_ms = t.nsecsElapsed() / 1e6;
    const std::size_t rows = history.answers.size();
    sync::ClassRecord::Pack(history);
    const double pack_ms = t.nsecsElapsed() / 1e6 - read_ms;
    QString problem;
    const auto copy = sync::ClassRecord::Open(history, &problem);
    const double open_ms = t.nsecsElapsed() / 1e6 - read_ms - pack_ms;
    if (copy) report::ClassSummary(copy->database(), {});
    const double all_ms = t.nsecsElapsed() / 1e6;
    std::printf("copy-everything path, %zu answers: read %.0f ms + copy %.0f ms + open %.0f ms, with the class's "
                "figures %.0f ms; image %.1f MiB; peak RSS %.1f MiB %s\n",
                rows, read_ms, pack_ms, open_ms, all_ms, history.record.size() / 1048576.0, PeakMiB(),
                qPrintable(problem));
    return 0;
}
