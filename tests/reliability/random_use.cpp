// A pupil who clicks anything: drives every form of the program through its
// widgets with seeded random events and checks after each event that nothing
// impossible happened. A failure names the seed and the event, so it can be
// replayed.
//   random_use [--events N] [--seed S] [--seeds K] [--faults] [--timings]
// runs N events for each of the seeds S, S+1, … S+K-1 (default 3000 events,
// seed 1, one seed). Exits non-zero on the first broken invariant.
// --faults also makes the record file go wrong at random moments (see
// record_faults.h) and runs the pupil in a program of its own that is now
// and then killed and started again on the same folder (restarted_runs.h);
// at the end every transaction any of those programs handed to the record
// must be in the file, once.
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
#include <signal.h>
#include <unistd.h>

#include "app/main_window.h"
#include "app/program.h"
#include "drill/drill_log.h"
#include "drill/drill_screen.h"
#include "record/pending_journal.h"
#include "record/record_store.h"
#include "reliability/record_faults.h"
#include "reliability/restarted_runs.h"
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
    // `faults`: the record's faults, and the program may be killed (see
    // RunChild); events are numbered from `first`.
    RandomPupil(unsigned seed, const QString& database, bool faults = false, bool full_disk = false,
                const LocalTime* clock = nullptr, int first = 1)
        : seed_(seed), rng_(seed * 7919u + 17u + unsigned(first) * 104729u), random_(seed + unsigned(first)),
          first_(first) {
        if (clock) clock_.now = *clock;
        ctx_ = std::make_unique<AppContext>(AppContext{{}, cues_, dialogs_, clock_, random_,
                                                       ExecutableFolder(), [this] { ++quits_; }});
        program_ = std::make_unique<Program>(*ctx_, database);
        program_->main_window()->show();
        program_->main_window()->StartupTick();
        if (faults) {
            faults_ = std::make_unique<RecordFaults>(database, full_disk, rng_, clock_);
            // Every transaction handed to the record, for the other program
            // that checks the file at the end.
            QObject::connect(&program_->record_store(), &record::RecordStore::accepted,
                             [this](const record::Transaction& t) {
                                 accepted_ = true;
                                 for (const record::Statement& statement : t)
                                     if (statement.sql == QLatin1String("delete from dorill")) log_cleared_ = true;
                                 Say("txn " + record::EncodeTransaction(t).toBase64().toStdString());
                             });
        }
    }
    ~RandomPupil() {
        faults_.reset();
        program_.reset();
    }

    // One line to the program that started this one, at once.
    static void Say(const std::string& line) {
        const std::string out = line + "\n";
        std::fwrite(out.data(), 1, out.size(), stdout);
        std::fflush(stdout);
    }

    // After the run: the faults end and the record catches up; everything
    // handed to it must have been written.
    void CatchUp() {
        faults_->End();
        record::RecordStore& store = program_->record_store();
        QElapsedTimer waited;
        waited.start();
        while (store.kept() > 0 && waited.elapsed() < 30000) {
            store.Flush();
            QCoreApplication::processEvents(QEventLoop::AllEvents, 100);
        }
        if (store.kept() == 0) return;
        std::string files;
        QDirIterator it(QFileInfo(store.path()).absolutePath(), QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            it.next();
            files += " " + it.fileName().toStdString() + " " + std::to_string(it.fileInfo().size());
        }
        QFile head(store.path());
        const QByteArray start = head.open(QIODevice::ReadOnly) ? head.read(16).toHex() : QByteArray("unreadable");
        Fail(std::to_string(store.kept()) + " transactions never written (open " +
             std::to_string(store.is_open()) + ", read only " + std::to_string(store.read_only()) +
             ", " + std::to_string(store.set_aside().size()) + " set aside, the file begins " +
             start.toStdString() + "); the data folder holds" + files);
    }

    void Run(int events) {
        for (event_ = first_; event_ <= events; ++event_) {
            try {
                timer_.start();
                if (faults_) FaultsAndDeath();
                Step();
                const double us = timer_.nsecsElapsed() / 1000.0;
                if (timings_) Record(us);
            } catch (const std::exception& e) {
                throw Failure{std::string("exception escaped: ") + e.what()};
            }
            Check();
        }
    }

    // The faults, and now and then the end of this program: a SIGKILL from
    // the program that started it, between two events. Likelier while a
    // fault lasts, when the record keeps answers. Never while the program's
    // rows are only in its open connection (the file removed or replaced
    // and no write since) or kept answers only in its memory (a disk so
    // full that not even the journal took them): no program can save what
    // a fault destroyed.
    void FaultsAndDeath() {
        const record::RecordStore& store = program_->record_store();
        if (faults_->file_disturbed() && accepted_ && store.kept() == 0) faults_->NoteWritten();
        accepted_ = false;
        if (event_ > first_ && !faults_->file_disturbed() && store.journaled() == store.kept() &&
            Pick(faults_->lasting() ? 40 : 1500) == 0) {
            const LocalTime& t = clock_.now;
            Say("die " + std::to_string(event_) + " " + std::to_string(t.year) + " " + std::to_string(t.month) +
                " " + std::to_string(t.day) + " " + std::to_string(t.hour) + " " + std::to_string(t.minute));
            for (;;) ::pause();
        }
        const std::map<std::string, int> before = faults_->counts();
        faults_->BeforeEvent();
        for (const auto& [what, n] : faults_->counts())
            if (!before.count(what) || before.at(what) != n) Say("fault " + what);
        // What the program's own timers do between clicks (this run does
        // not spin the event loop): retry kept rows, and now and then copy
        // the write-ahead log into the file.
        program_->record_store().Flush();
        if (event_ % 50 == 0 && program_->record_store().is_open())
            QSqlQuery(program_->record_store().database()).exec("pragma wal_checkpoint(passive)");
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
        if (!open_ || !open_->isVisible()) {
            open_ = nullptr;
            if (Chance(85)) {
                const int i = Pick(static_cast<int>(program_->screens().size()));
                open_ = program_->screens()[i];
                last_ = "show " + open_->objectName().toStdString();
                open_->ShowModeless();
            } else if (Chance(50)) {
                last_ = "menu clock";
                program_->main_window()->ShowClock();
            } else {
                last_ = "menu quit, answered No";
                program_->main_window()->QuitPressed();
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
            if (open_->metaObject()->indexOfSlot("ShowClock()") >= 0) QMetaObject::invokeMethod(open_, "ShowClock");
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
        // A program started again keeps the last drill of the one before in
        // the log until a drill of its own starts and clears it: "次へ" on a
        // screen just shown counts questions on top of those old rows.
        const bool caught_up = program_->record_store().kept() == 0 && log_cleared_;
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
    int first_ = 1;
    std::unique_ptr<RecordFaults> faults_;
    bool accepted_ = false;
    // The log holds this program's drill only (a first program starts with
    // an empty one).
    bool log_cleared_ = first_ == 1;
};

// The pupil in a program of its own (random_use --child): runs events
// `first`..`events` on the record at `database`, telling the program that
// started it every transaction, each fault, and when it wants to be killed.
int RunChild(unsigned seed, const QString& database, long first, long events, const LocalTime& clock,
             bool full_disk) {
    RandomPupil pupil(seed, database, true, full_disk, &clock, int(first));
    try {
        pupil.Run(static_cast<int>(events));
        pupil.CatchUp();
    } catch (const Failure& failure) {
        RandomPupil::Say("FAILED at " + pupil.Where() + ": " + failure.what);
        return 1;
    }
    RandomPupil::Say("end");
    return 0;
}

}  // namespace
}  // namespace sorelka

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    long events = 3000;
    long first = 1;
    unsigned seed = 1;
    unsigned seeds = 1;
    bool timings = false;
    bool faults = false;
    bool child = false;
    bool full_disk = false;
    QString folder;
    sorelka::LocalTime clock = sorelka::testing::FakeClock().now;
    for (int i = 1; i < argc; ++i) {
        const std::string flag = argv[i];
        if (flag == "--timings") timings = true;
        else if (flag == "--faults") faults = true;
        else if (flag == "--child") child = true;
        else if (flag == "--full-disk") full_disk = true;
    }
    for (int i = 1; i + 1 < argc; ++i) {
        const std::string flag = argv[i];
        if (flag == "--events") events = std::atol(argv[i + 1]);
        else if (flag == "--first") first = std::atol(argv[i + 1]);
        else if (flag == "--seed") seed = static_cast<unsigned>(std::atol(argv[i + 1]));
        else if (flag == "--seeds") seeds = static_cast<unsigned>(std::atol(argv[i + 1]));
        else if (flag == "--folder") folder = QString::fromLocal8Bit(argv[i + 1]);
        else if (flag == "--clock")
            std::sscanf(argv[i + 1], "%d-%d-%d-%d-%d", &clock.year, &clock.month, &clock.day, &clock.hour,
                        &clock.minute);
    }
    if (child) return sorelka::RunChild(seed, folder + "/kyozai.db", first, events, clock, full_disk);
    if (faults) return sorelka::RunWithRestarts(QCoreApplication::applicationFilePath(), events, seed, seeds);

    QElapsedTimer timer;
    timer.start();
    std::size_t answers = 0;
    std::map<std::string, std::vector<double>> us_by_screen;
    std::map<std::string, std::pair<double, std::string>> worst_by_screen;
    for (unsigned s = seed; s < seed + seeds; ++s) {
        QTemporaryDir data;
        sorelka::RandomPupil pupil(s, data.path() + "/kyozai.db");
        if (timings) pupil.EnableTimings();
        try {
            pupil.Run(static_cast<int>(events));
        } catch (const sorelka::Failure& failure) {
            std::printf("FAILED at %s: %s\n", pupil.Where().c_str(), failure.what.c_str());
            std::printf("replay: random_use --events %ld --seed %u\n", events, s);
            std::printf("0 passed, 1 failed\n");
            return 1;
        }
        answers += pupil.answers();
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
    std::printf("%u passed, 0 failed\n", seeds);
    return 0;
}
