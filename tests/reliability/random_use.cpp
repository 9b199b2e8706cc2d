// A pupil who clicks anything: drives every form of the program through its
// widgets with seeded random events and checks after each event that nothing
// impossible happened. A failure names the seed and the event, so it can be
// replayed.
//   random_use [--events N] [--seed S] [--seeds K] [--faults] [--timings]
// runs N events for each of the seeds S, S+1, … S+K-1 (default 3000 events,
// seed 1, one seed). Exits non-zero on the first broken invariant.
// --faults also makes the record file go wrong at random moments: removed,
// replaced by garbage, held by another connection, or (as root, on a small
// tmpfs of its own) on a full disk; at the end every transaction the program
// handed to the record must be in the file.
#include <QAbstractButton>
#include <QApplication>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLabel>
#include <QFile>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <map>
#include <random>
#include <set>
#include <sys/mount.h>

#include "app/main_window.h"
#include "app/program.h"
#include "drill/drill_log.h"
#include "drill/drill_screen.h"
#include "record/record_store.h"
#include "record/schema.h"
#include "support/fakes.h"
#include "widgets/choice_list.h"
#include "widgets/exercise_screen.h"

namespace sorelka {
namespace {

using testing::SeededRandom;

struct Failure {
    std::string what;
};

class RandomPupil {
public:
    RandomPupil(unsigned seed, const QString& database, bool faults = false, bool full_disk = false)
        : seed_(seed), rng_(seed * 7919u + 17u), random_(seed), database_(database),
          faults_(faults), full_disk_(full_disk) {
        ctx_ = std::make_unique<AppContext>(AppContext{{}, cues_, dialogs_, clock_, random_,
                                                       ExecutableFolder(), [this] { ++quits_; }});
        program_ = std::make_unique<Program>(*ctx_, database);
        program_->main_window()->show();
        program_->main_window()->Timer3Timer();
        if (faults_) StartReplay();
    }
    ~RandomPupil() {
        EndFaults();
        program_.reset();
        QSqlDatabase::database(replay_, false).close();
        QSqlDatabase::database(holder_, false).close();
        QSqlDatabase::removeDatabase(replay_);
        QSqlDatabase::removeDatabase(holder_);
    }

    // What the faults did, for the summary.
    std::map<std::string, int> fault_counts() const { return fault_counts_; }
    std::size_t transactions() const { return transactions_; }

    // After the run: the faults end, the record catches up, and the file must
    // hold exactly what the program handed to it.
    void CheckTheFileHoldsEverything() {
        EndFaults();
        record::RecordStore& store = program_->record_store();
        QElapsedTimer waited;
        waited.start();
        while (store.kept() > 0 && waited.elapsed() < 30000) {
            store.Flush();
            QCoreApplication::processEvents(QEventLoop::AllEvents, 100);
        }
        if (store.kept() > 0) {
            std::string files;
            QDirIterator it(QFileInfo(database_).absolutePath(), QDir::Files, QDirIterator::Subdirectories);
            while (it.hasNext()) {
                it.next();
                files += " " + it.fileName().toStdString() + " " + std::to_string(it.fileInfo().size());
            }
            QFile head(database_);
            const QByteArray start = head.open(QIODevice::ReadOnly) ? head.read(16).toHex() : QByteArray("unreadable");
            Fail(std::to_string(store.kept()) + " transactions never written (open " +
                 std::to_string(store.is_open()) + ", read only " + std::to_string(store.read_only()) +
                 ", " + std::to_string(store.set_aside().size()) + " set aside, the file begins " +
                 start.toStdString() + "); the data folder holds" + files);
        }
        const std::string file = Dump(store.database());
        const std::string expected = Dump(QSqlDatabase::database(replay_));
        if (file != expected) Fail("the file does not hold every answer:\nfile:\n" + file.substr(0, 2000) +
                                   "\nexpected:\n" + expected.substr(0, 2000));
        QSqlQuery check(store.database());
        if (!check.exec("pragma integrity_check") || !check.next() || check.value(0).toString() != "ok")
            Fail("integrity check of the file failed");
    }

    void Run(int events) {
        for (event_ = 1; event_ <= events; ++event_) {
            try {
                timer_.start();
                Step();
                const double us = timer_.nsecsElapsed() / 1000.0;
                if (timings_) Record(us);
            } catch (const std::exception& e) {
                throw Failure{std::string("exception escaped: ") + e.what()};
            }
            Check();
        }
    }

    // Per screen: how long each event handler took (the fake dialogs never wait).
    struct Timing {
        std::vector<double> us;
        std::string worst_event;
    };
    void EnableTimings() { timings_ = true; }
    const std::map<std::string, Timing>& timings() const { return by_screen_; }

    std::string Where() const {
        return "seed " + std::to_string(seed_) + ", event " + std::to_string(event_) + " (" +
               last_ + ")";
    }
    int quits() const { return quits_; }
    std::size_t answers() const { return answers_; }

private:
    int Pick(int n) { return n <= 1 ? 0 : std::uniform_int_distribution<int>(0, n - 1)(rng_); }
    bool Chance(int percent) { return Pick(100) < percent; }

    void Step() {
        cues_.calls.clear();  // keep the fakes small over long runs
        dialogs_.shown.clear();
        if (faults_) {
            MaybeFault();
            // What the program's own timers do between clicks (this run
            // does not spin the event loop): retry kept rows, and now and
            // then copy the write-ahead log into the file.
            program_->record_store().Flush();
            if (event_ % 50 == 0 && program_->record_store().is_open())
                QSqlQuery(program_->record_store().database()).exec("pragma wal_checkpoint(passive)");
        }
        if (!open_ || !open_->isVisible()) {
            open_ = nullptr;
            if (Chance(85)) {
                const int i = Pick(static_cast<int>(program_->screens().size()));
                open_ = program_->screens()[i];
                last_ = "show " + open_->objectName().toStdString();
                open_->ShowModeless();
            } else if (Chance(50)) {
                last_ = "menu clock";
                program_->main_window()->Timer1Timer();
            } else {
                last_ = "menu quit, answered No";
                program_->main_window()->CuteButton2Click();
            }
            return;
        }
        const int roll = Pick(100);
        if (roll < 8 && qobject_cast<DrillScreen*>(open_)) GetGoing();
        else if (roll < 60) ChooseInAList();
        else if (roll < 85) PressAButton();
        else if (roll < 95) Ticks();
        else if (roll < 98) AdvanceClock();
        else {
            last_ = "close box of " + open_->objectName().toStdString();
            open_->reject();
        }
    }

    template <class T>
    std::vector<T*> Visible() {
        std::vector<T*> found;
        for (T* w : open_->findChildren<T*>())
            if (w->isVisible()) found.push_back(w);
        return found;
    }

    void ChooseInAList() {
        auto lists = Visible<ChoiceList>();
        if (lists.empty()) return;
        ChoiceList* list = lists[Pick(static_cast<int>(lists.size()))];
        // Mostly any item, often the last one (where "終わり" stands), now and
        // then a position outside the list.
        int index = Pick(list->count());
        if (Chance(25)) index = list->count() - 1;
        if (Chance(2)) index = Chance(50) ? -1 : list->count();
        last_ = "choose " + std::to_string(index) + " in " + list->objectName().toStdString();
        list->Choose(index);
    }

    // A pupil who wants questions: a menu item, then "スタート" or "次へ".
    void GetGoing() {
        auto* menu = open_->findChild<ChoiceList*>("ComboBox1");
        if (menu && menu->isVisible() && Chance(30)) menu->Choose(Pick(menu->count()));
        auto* button = open_->findChild<QAbstractButton*>(Chance(30) ? "CuteButton3" : "CuteButton4");
        last_ = "get going on " + open_->objectName().toStdString();
        if (button && button->isVisible() && button->isEnabled()) button->click();
    }

    void PressAButton() {
        std::vector<QAbstractButton*> buttons;
        for (QAbstractButton* b : Visible<QAbstractButton>())
            if (b->isEnabled()) buttons.push_back(b);
        if (buttons.empty()) return;
        QAbstractButton* b = buttons[Pick(static_cast<int>(buttons.size()))];
        last_ = "press " + b->objectName().toStdString() + " on " + open_->objectName().toStdString();
        b->click();
    }

    void Ticks() {
        auto* drill = qobject_cast<DrillScreen*>(open_);
        auto* countdown = open_->findChild<QTimer*>("Timer3");
        if (!drill || !countdown || !countdown->isActive()) {
            last_ = "clock tick";
            for (const char* slot : {"Timer1Timer()", "ShowClock()"}) {
                if (open_->metaObject()->indexOfSlot(slot) >= 0)
                    QMetaObject::invokeMethod(open_, QByteArray(slot).chopped(2).constData());
            }
            return;
        }
        const int ticks = Chance(20) ? 1 + Pick(900) : 1 + Pick(5);
        last_ = std::to_string(ticks) + " countdown ticks on " + open_->objectName().toStdString();
        for (int i = 0; i < ticks && countdown->isActive(); ++i) drill->CountdownTick();
    }

    void AdvanceClock() {
        const int seconds = SecondsOfDay(clock_.now) + Pick(4000);
        clock_.Set(seconds / 3600 % 24, seconds / 60 % 60, seconds % 60);
        last_ = "clock now " + std::to_string(clock_.now.hour) + ":" + std::to_string(clock_.now.minute);
    }

    static int SecondsOfDay(const LocalTime& t) { return t.hour * 3600 + t.minute * 60 + t.second; }

    // Replays every transaction the program hands to the record into a
    // database in memory: what the file must hold at the end.
    void StartReplay() {
        replay_ = QStringLiteral("replay-%1").arg(seed_);
        holder_ = QStringLiteral("holder-%1").arg(seed_);
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", replay_);
        db.setDatabaseName(":memory:");
        db.open();
        QSqlQuery q(db);
        for (const record::Migration& step : record::Migrations())
            for (const QString& sql : step.statements) q.exec(sql);
        QObject::connect(&program_->record_store(), &record::RecordStore::accepted,
                         [this](const record::Transaction& t) {
                             ++transactions_;
                             QSqlQuery r(QSqlDatabase::database(replay_));
                             for (const record::Statement& st : t) {
                                 r.prepare(st.sql);
                                 for (const QVariant& v : st.values) r.addBindValue(v);
                                 r.exec();
                             }
                         });
    }

    static std::string Dump(const QSqlDatabase& db) {
        std::string out;
        // The class server's bookkeeping (a random id per file, what the
        // server confirmed) is no answer: it differs between any two files.
        QStringList tables = db.tables().filter(QRegularExpression("^(?!sync_)"));
        tables.sort();
        for (const QString& table : tables) {
            QSqlQuery q(db);
            q.exec("select * from \"" + table + "\" order by rowid");
            out += table.toStdString() + ":\n";
            while (q.next()) {
                for (int i = 0; i < q.record().count(); ++i)
                    out += q.value(i).toString().toStdString() + "|";
                out += "\n";
            }
        }
        return out;
    }

    void MaybeFault() {
        if (fault_events_left_ > 0 && --fault_events_left_ == 0) EndFaults();
        if (fault_events_left_ > 0 || !Chance(1) || Pick(10) != 0) return;  // about one event in 1000
        const int kind = Pick(full_disk_ ? 4 : 3);
        if (kind == 0) {
            ++fault_counts_["removed"];
            for (const char* side : {"", "-wal", "-shm"}) QFile::remove(database_ + side);
        } else if (kind == 1) {
            ++fault_counts_["replaced by garbage"];
            QFile garbage(database_ + ".garbage");
            if (garbage.open(QIODevice::WriteOnly)) garbage.write(QByteArray(1000 + Pick(9000), 'g'));
            garbage.close();
            QFile::remove(database_);
            QFile::rename(database_ + ".garbage", database_);
        } else if (kind == 2) {
            // Another program holds the write lock for a while.
            if (!QFile::exists(database_)) return;
            ++fault_counts_["held by another program"];
            QSqlDatabase db = QSqlDatabase::contains(holder_) ? QSqlDatabase::database(holder_, false)
                                                              : QSqlDatabase::addDatabase("QSQLITE", holder_);
            db.setDatabaseName(database_);
            db.setConnectOptions("QSQLITE_BUSY_TIMEOUT=100");
            if (db.open() && QSqlQuery(db).exec("begin immediate")) holding_ = true;
            fault_events_left_ = 5 + Pick(40);
        } else {
            ++fault_counts_["disk full"];
            QFile fill(Filler());
            if (fill.open(QIODevice::WriteOnly)) {
                const QByteArray block(4096, 'f');
                while (fill.write(block) == block.size() && fill.flush()) {
                }
            }
            fault_events_left_ = 20 + Pick(200);
        }
    }

    QString Filler() const { return QFileInfo(database_).absolutePath() + "/filler"; }

    void EndFaults() {
        fault_events_left_ = 0;
        if (holding_) {
            QSqlQuery(QSqlDatabase::database(holder_, false)).exec("commit");
            QSqlDatabase::database(holder_, false).close();
            holding_ = false;
        }
        QFile::remove(Filler());
    }

    void Fail(const std::string& what) { throw Failure{what}; }

    void Record(double us) {
        const std::string screen = open_ ? open_->objectName().toStdString() : "TForm1";
        Timing& t = by_screen_[screen];
        if (t.us.empty() || us > *std::max_element(t.us.begin(), t.us.end())) t.worst_event = last_;
        t.us.push_back(us);
    }

    void Check() {
        const ExerciseState& state = ctx_->state;
        if (state.correct_count > state.question_count)
            Fail("more right answers than questions");

        // While the record keeps writes it could not make (a fault), the file
        // lags behind the screens: its rows are checked once it caught up.
        const bool caught_up = program_->record_store().kept() == 0;
        const auto rows = caught_up ? program_->drill_log().Rows() : std::vector<DrillRow>{};
        if (caught_up) {
            if (rows.size() > last_rows_) answers_ += rows.size() - last_rows_;
            last_rows_ = rows.size();
        }
        std::set<int> numbers;
        for (const DrillRow& row : rows) {
            if (row.no < 1 || row.no > state.question_count)
                Fail("log row numbered " + std::to_string(row.no) + " with question_count " +
                     std::to_string(state.question_count));
            if (!numbers.insert(row.no).second)
                Fail("two log rows for question " + std::to_string(row.no));
        }

        static const QRegularExpression points(QStringLiteral("^(\\d+) 点$"));
        static const QRegularExpression time(QStringLiteral("^\\d+ 分 \\d+ 秒$"));
        static const QRegularExpression negative(QStringLiteral("^-\\d"));
        for (ExerciseScreen* screen : program_->screens()) {
            if (auto* drill = qobject_cast<DrillScreen*>(screen)) {
                const QStringList& names = drill->profile().score_labels;
                for (int i = 1; i < names.size() && i < 3; ++i) {
                    const QString text = screen->findChild<QLabel*>(names[i])->text();
                    if (text.isEmpty()) continue;
                    if (i == 1) {
                        const auto m = points.match(text);
                        if (!m.hasMatch() || m.captured(1).toInt() > 100)
                            Fail("score line shows \"" + text.toStdString() + "\"");
                    } else if (!time.match(text).hasMatch()) {
                        Fail("score line shows the time \"" + text.toStdString() + "\"");
                    }
                }
            }
            if (!screen->isVisible()) continue;
            for (QLabel* label : screen->findChildren<QLabel*>()) {
                if (!label->isVisible()) continue;
                const QString text = label->text();
                if (text == "-1" || negative.match(text).hasMatch())
                    Fail(label->objectName().toStdString() + " shows \"" + text.toStdString() + "\"");
            }
        }
    }

    unsigned seed_;
    std::mt19937 rng_;
    SeededRandom random_;
    testing::FakeCuePlayer cues_;
    testing::FakeDialogs dialogs_;
    testing::FakeClock clock_;
    std::unique_ptr<AppContext> ctx_;
    std::unique_ptr<Program> program_;
    ExerciseScreen* open_ = nullptr;
    int event_ = 0;
    int quits_ = 0;
    bool timings_ = false;
    QElapsedTimer timer_;
    std::map<std::string, Timing> by_screen_;
    std::size_t answers_ = 0;
    std::size_t last_rows_ = 0;
    std::string last_;
    QString database_;
    bool faults_ = false;
    bool full_disk_ = false;
    bool holding_ = false;
    int fault_events_left_ = 0;
    std::map<std::string, int> fault_counts_;
    std::size_t transactions_ = 0;
    QString replay_;
    QString holder_;
};

}  // namespace
}  // namespace sorelka

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    long events = 3000;
    unsigned seed = 1;
    unsigned seeds = 1;
    bool timings = false;
    bool faults = false;
    std::map<std::string, std::vector<double>> us_by_screen;
    std::map<std::string, std::pair<double, std::string>> worst_by_screen;
    for (int i = 1; i < argc; ++i)
        if (std::string(argv[i]) == "--timings") timings = true;
        else if (std::string(argv[i]) == "--faults") faults = true;
    for (int i = 1; i + 1 < argc; ++i) {
        const std::string flag = argv[i];
        if (flag == "--events") events = std::atol(argv[i + 1]);
        else if (flag == "--seed") seed = static_cast<unsigned>(std::atol(argv[i + 1]));
        else if (flag == "--seeds") seeds = static_cast<unsigned>(std::atol(argv[i + 1]));
    }
    QElapsedTimer timer;
    timer.start();
    std::size_t answers = 0;
    std::size_t transactions = 0;
    std::map<std::string, int> fault_counts;
    bool full_disk = false;
    for (unsigned s = seed; s < seed + seeds; ++s) {
        QTemporaryDir data;
        const QByteArray disk_size = "size=" + QByteArray::number(8 + events / 4000) + "m";
        // A full disk needs a small file system of its own (root only),
        // unmounted after the pupil has gone. It grows with the run: every
        // replaced file leaves its set-aside copy and write-ahead log behind,
        // and a long run would otherwise fill the disk with them for good.
        struct SmallDisk {
            QByteArray at;
            bool mounted;
            ~SmallDisk() {
                if (mounted) ::umount2(at.constData(), MNT_DETACH);
            }
        } disk{data.path().toLocal8Bit(), faults && ::mount("tmpfs", data.path().toLocal8Bit().constData(),
                                                           "tmpfs", 0, disk_size.constData()) == 0};
        const bool mounted = disk.mounted;
        full_disk = full_disk || mounted;
        sorelka::RandomPupil pupil(s, data.path() + "/kyozai.db", faults, mounted);
        if (timings) pupil.EnableTimings();
        try {
            pupil.Run(static_cast<int>(events));
            if (faults) pupil.CheckTheFileHoldsEverything();
        } catch (const sorelka::Failure& failure) {
            std::printf("FAILED at %s: %s\n", pupil.Where().c_str(), failure.what.c_str());
            std::printf("replay: random_use --events %ld --seed %u\n", events, s);
            std::printf("0 passed, 1 failed\n");
            return 1;
        }
        answers += pupil.answers();
        transactions += pupil.transactions();
        for (const auto& [what, n] : pupil.fault_counts()) fault_counts[what] += n;

        for (const auto& [screen, t] : pupil.timings()) {
            auto& all = us_by_screen[screen];
            all.insert(all.end(), t.us.begin(), t.us.end());
            const double worst = *std::max_element(t.us.begin(), t.us.end());
            if (worst > worst_by_screen[screen].first) worst_by_screen[screen] = {worst, t.worst_event};
        }
    }
    if (timings) {
        std::printf("event handlers by screen (budget: median under 2 ms, worst under 20 ms):\n");
        for (auto& [screen, us] : us_by_screen) {
            std::sort(us.begin(), us.end());
            std::printf("handler %-8s events %6zu  median %7.3f ms  worst %7.2f ms  (%s)\n",
                        screen.c_str(), us.size(), us[us.size() / 2] / 1000.0,
                        us.back() / 1000.0, worst_by_screen[screen].second.c_str());
        }
    }
    std::printf("random use: %ld events for each of seeds %u..%u (%ld in all, %zu answers logged) "
                "in %.1f s; every invariant held\n",
                events, seed, seed + seeds - 1, events * seeds, answers, timer.elapsed() / 1000.0);
    if (faults) {
        std::printf("faults:");
        for (const auto& [what, n] : fault_counts) std::printf(" %s %d;", what.c_str(), n);
        std::printf(" %zu transactions, every one in the file at the end%s\n", transactions,
                    full_disk ? "" : " (no full disk: mounting a tmpfs was refused)");
    }
    std::printf("%u passed, 0 failed\n", seeds);
    return 0;
}
