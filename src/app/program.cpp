#include "app/program.h"

#include <QApplication>
#include <QDateTime>
#include <QGuiApplication>

#include "app/main_window.h"
#include "app/my_record_window.h"
#include "app/teacher/pin_dialog.h"
#include "app/teacher/sign_in_dialog.h"
#include "sync/teacher_session.h"
#include "app/placeholder_screen.h"
#include "app/recommended_practice.h"
#include "app/work_practice.h"
#include <QEvent>
#include <QSqlQuery>
#include "coach/skill_catalogue.h"
#include "app/teacher/teacher_window.h"
#include "report/pin_tries.h"
#include "report/teacher_pin.h"
#include "record/private_files.h"
#include "record/system_settings.h"
#include "app/pupil_dialog.h"
#include "decimal_division/decimal_division_drill_screen.h"
#include "decimal_division/decimal_division_practice_screen.h"
#include "decimals/decimal_drill_screen.h"
#include "decimals/decimal_practice_screen.h"
#include "division/division_drill_screen.h"
#include "division/division_practice_screen.h"
#include "drill/drill_log.h"
#include "app/recorded_answers.h"
#include "fractions/fraction_drill_screen.h"
#include "fractions/fraction_practice_screen.h"
#include "multiplication/multiplication_drill_screen.h"
#include "multiplication/multiplication_practice_screen.h"
#include "rules/rules_drill_screen.h"
#include "record/learning_record.h"
#include "rules/rules_practice_screen.h"
#include "sync/class_sync.h"
#include "topics/topic_table.h"

namespace sorelka {

namespace {

// Makes a built screen; a screen without one is still a placeholder.
using MakeScreen = ExerciseScreen* (*)(AppContext&, DrillLog&, QWidget* parent);

template <class Screen>
ExerciseScreen* Practice(AppContext& ctx, DrillLog&, QWidget* parent) {
    return new Screen(ctx, parent);
}

template <class Screen>
ExerciseScreen* Drill(AppContext& ctx, DrillLog& log, QWidget* parent) {
    return new Screen(ctx, log, parent);
}

// The decimal practice screens: one screen class, the operation as data.
template <const decimals::PracticeVariant& variant>
ExerciseScreen* DecimalPractice(AppContext& ctx, DrillLog&, QWidget* parent) {
    return new decimals::DecimalPracticeScreen(ctx, variant, parent);
}

// The decimal drill screens: one screen class, the operation as data.
template <const decimals::DrillVariant& variant>
ExerciseScreen* DecimalDrill(AppContext& ctx, DrillLog& log, QWidget* parent) {
    return new decimals::DecimalDrillScreen(ctx, log, variant, parent);
}

enum class ScreenKind { Practice, Drill };

struct ScreenEntry {
    const char* name;
    const char* caption;
    Topic topic;
    ScreenKind kind;
    MakeScreen make;
};

// TForm2 … TForm15 in creation order, which is also the order of the menu buttons.
const ScreenEntry kScreens[] = {
    {"TForm2", "Sorelka", Topic::Division, ScreenKind::Practice, Practice<division::DivisionPracticeScreen>},
    {"TForm3", "Sorelka", Topic::Division, ScreenKind::Drill, Drill<division::DivisionDrillScreen>},
    {"TForm4", "Sorelka", Topic::DecimalAddition, ScreenKind::Practice,
     DecimalPractice<decimals::kAdditionPractice>},
    {"TForm5", "Sorelka", Topic::DecimalAddition, ScreenKind::Drill, DecimalDrill<decimals::kAdditionDrill>},
    {"TForm6", "Sorelka", Topic::DecimalSubtraction, ScreenKind::Practice,
     DecimalPractice<decimals::kSubtractionPractice>},
    {"TForm7", "Sorelka", Topic::DecimalSubtraction, ScreenKind::Drill,
     DecimalDrill<decimals::kSubtractionDrill>},
    {"TForm8", "Sorelka", Topic::Rules, ScreenKind::Practice, Practice<rules::RulesPracticeScreen>},
    {"TForm9", "Sorelka", Topic::Rules, ScreenKind::Drill, Drill<rules::RulesDrillScreen>},
    {"TForm10", "Form10", Topic::Fractions, ScreenKind::Practice, Practice<FractionPracticeScreen>},
    {"TForm11", "Form11", Topic::Fractions, ScreenKind::Drill, Drill<FractionDrillScreen>},
    {"TForm12", "Sorelka", Topic::DecimalMultiplication, ScreenKind::Practice,
     Practice<multiplication::MultiplicationPracticeScreen>},
    {"TForm13", "Sorelka", Topic::DecimalMultiplication, ScreenKind::Drill,
     Drill<multiplication::MultiplicationDrillScreen>},
    {"TForm14", "Sorelka", Topic::DecimalDivision, ScreenKind::Practice,
     Practice<decimal_division::DecimalDivisionPracticeScreen>},
    {"TForm15", "Sorelka", Topic::DecimalDivision, ScreenKind::Drill,
     Drill<decimal_division::DecimalDivisionDrillScreen>},
};

// "わり算　練習問題": a placeholder's heading.
QString ScreenTitle(const ScreenEntry& entry) {
    return QString::fromStdString(Describe(entry.topic).name) +
           (entry.kind == ScreenKind::Practice ? QStringLiteral("　練習問題") : QStringLiteral("　ドリル"));
}

}  // namespace

// Every form's showing tells the class server which screen this PC shows
// (the form, its topic, the menu item, the piece of work being worked);
// a screen hidden again leaves the main menu. One watch over all forms,
// so no screen knows of it.
class PresenceWatch final : public QObject {
public:
    PresenceWatch(AppContext& ctx, sync::ClassSync& sync, record::LearningRecord& record, WorkRunner& work,
                  std::vector<std::pair<QWidget*, std::optional<Topic>>> forms)
        : ctx_(ctx), sync_(sync), record_(record), work_(work), forms_(std::move(forms)) {
        for (auto& [form, topic] : forms_) form->installEventFilter(this);
        QObject::connect(&record_, &record::LearningRecord::pupilChanged, this, [this] { Tell(shown_); });
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Show && event->type() != QEvent::Hide) return false;
        if (!watched->isWidgetType()) return false;
        QWidget* form = static_cast<QWidget*>(watched);
        if (event->type() == QEvent::Show)
            Tell(form);
        else if (form == shown_)
            Tell(forms_.front().first->isVisible() ? forms_.front().first : nullptr);
        return false;
    }

private:
    void Tell(QWidget* form) {
        shown_ = form;
        sync::Presence p;
        const QString pupil = record_.current_pupil();
        if (!pupil.isEmpty() && record_.store().Ready()) {
            QSqlQuery q(record_.store().database());
            q.prepare(QStringLiteral("select id from pupils where name = ?"));
            q.addBindValue(pupil);
            if (q.exec() && q.next()) p.pupil_id = q.value(0).toLongLong();
        }
        if (form) {
            p.screen = form->objectName();
            for (auto& [f, topic] : forms_)
                if (f == form && topic) {
                    p.topic = TopicNumber(*topic);
                    p.menu_choice = ctx_.state.menu_choice;
                }
            p.work_id = work_.running();
        }
        sync_.SetPresence(p);
    }

    AppContext& ctx_;
    sync::ClassSync& sync_;
    record::LearningRecord& record_;
    WorkRunner& work_;
    std::vector<std::pair<QWidget*, std::optional<Topic>>> forms_;  // the main menu first
    QWidget* shown_ = nullptr;
};

QString Program::DefaultSystemFolder() { return record::SystemConfigFolder(); }

Program::Program(AppContext& ctx, const QString& database_path, QString system_folder)
    : ctx_(ctx), system_folder_(std::move(system_folder)) {
    record_ = std::make_unique<record::RecordStore>(database_path, ctx_.dialogs, &ctx_.clock);
    // The school's server, when one is configured: a worker of its own sends
    // what the file holds; a commit only tells it to look (once the commit
    // has returned, so the rows are in the file).
    sync_ = sync::ClassSync::FromSettings(database_path, system_folder_);
    if (sync_) {
        sync::ClassSync* sync = sync_.get();
        QObject::connect(record_.get(), &record::RecordStore::accepted, sync, [sync] {
            QMetaObject::invokeMethod(sync, &sync::ClassSync::Nudge, Qt::QueuedConnection);
        });
        sync_->Start();
    }
    drill_log_ = std::make_unique<DrillLog>(*record_);
    // Start-up reads the roster only (the last pupil's name), never the history.
    learning_ = std::make_unique<record::LearningRecord>(*record_);
    learning_->RestoreLastPupil();
    // Every judged answer keeps the pupil's mastery of the skills it speaks about.
    learning_->TraceMastery(coach::ObserveStoredAnswer);
    answers_ = std::make_unique<RecordedAnswers>(*learning_, *drill_log_);
    ctx_.recorder = answers_.get();
    ctx_.choose_pupil = [this] { ChoosePupil(); };
    ctx_.open_own_record = [this] { OpenOwnRecord(); };
    ctx_.open_teacher_view = [this] { OpenTeacherView(); };
    ctx_.open_recommended = [this](const std::string& focus) { OpenRecommended(focus); };
    main_window_ = std::make_unique<MainMenuWindow>(ctx_);
    forms_.push_back(main_window_.get());
    for (const ScreenEntry& entry : kScreens) {
        ExerciseScreen* screen =
            entry.make ? entry.make(ctx_, *drill_log_, main_window_.get())
                      : new PlaceholderScreen(ctx_, QString::fromUtf8(entry.name),
                                              QString::fromUtf8(entry.caption),
                                              ScreenTitle(entry), main_window_.get());
        forms_.push_back(screen);
        screens_.push_back(screen);
    }
    recommended_ = std::make_unique<RecommendedScreens>(ctx_);
    for (std::size_t i = 0; i < std::size(kScreens); ++i)
        if (kScreens[i].kind == ScreenKind::Practice) recommended_->Add(screens_[i], kScreens[i].topic);
    main_window_->SetScreens(screens_);
    work_ = std::make_unique<WorkRunner>(ctx_, *learning_, *answers_, *recommended_);
    main_window_->SetWorkSource([this] { return static_cast<int>(work_->OpenPieces().size()); },
                                [this] { work_->OpenDialog(main_window_.get()); });
    if (sync_) {
        // A new list from the server: the button counts again, and a piece
        // being worked that was withdrawn ends.
        QObject::connect(sync_.get(), &sync::ClassSync::workChanged, main_window_.get(), [this] {
            work_->ListChanged();
            main_window_->ShowWork();
        });
        std::vector<std::pair<QWidget*, std::optional<Topic>>> watched{{main_window_.get(), std::nullopt}};
        for (std::size_t i = 0; i < std::size(kScreens); ++i) watched.push_back({screens_[i], kScreens[i].topic});
        presence_ = std::make_unique<PresenceWatch>(ctx_, *sync_, *learning_, *work_, std::move(watched));
    }
}

void Program::ChoosePupil() {
    QWidget* over = QApplication::activeWindow();
    PupilDialog dialog(*learning_, over ? over : main_window_.get());
    dialog.exec();
}

void Program::OpenRecommended(const std::string& focus) { recommended_->Open(focus); }

void Program::OpenOwnRecord() {
    if (own_record_)
        own_record_->Refresh();
    else
        own_record_ = std::make_unique<MyRecordWindow>(*learning_, ctx_, nullptr);
    own_record_->show();
    own_record_->raise();
    own_record_->activateWindow();
}

report::TeacherPin& Program::teacher_pin() {
    if (!pin_) {
        settings_ = record::ProgramSettings();
        // The user's own file alone: QSettings would otherwise look for
        // missing keys in folders the environment names.
        settings_->setFallbacksEnabled(false);
        record::SystemSettingsFile system = record::OpenSystemSettings(system_folder_);
        system_settings_ = std::move(system.settings);
        report::TeacherPin::Options options;
        options.system_problem = system.problem;
        options.tries = report::RecordTryStore(*record_);
        pin_ = std::make_unique<report::TeacherPin>(
            *settings_, *system_settings_, [this] { return !learning_->Roster().empty(); },
            [] { return QDateTime::currentMSecsSinceEpoch(); }, std::move(options));
    }
    return *pin_;
}

void Program::OpenTeacherView() {
    // The PIN or the sign-in is asked at every opening: a view left open is closed first.
    if (teacher_) teacher_->close();
    QWidget* over = QApplication::activeWindow();
    if (!over) over = main_window_.get();
    std::unique_ptr<sync::TeacherSession> session;
    // With a school server the teacher signs in with their own account; the
    // PIN and this PC's record remain for a server that cannot be reached.
    if (const sync::ServerConfig* server = sync_ ? sync_->config() : nullptr) {
        SignInDialog sign_in(*server, over);
        if (sign_in.exec() == QDialog::Accepted)
            session = sign_in.TakeSession();
        else if (!sign_in.this_pc_only())
            return;
    }
    if (!session) {
        PinDialog dialog(teacher_pin(), over);
        if (dialog.exec() != QDialog::Accepted) return;
    }
    // A new view each time: the last one may show another teacher's classes.
    teacher_ = std::make_unique<TeacherWindow>(*learning_, ctx_, nullptr);
    teacher_->ShowServerStatus(sync_.get());
    if (session) teacher_->SignIn(std::move(session));
    teacher_->show();
    teacher_->raise();
    teacher_->activateWindow();
}

Program::~Program() {
    presence_.reset();
    sync_.reset();
    work_.reset();
    ctx_.recorder = nullptr;
    ctx_.choose_pupil = nullptr;
    ctx_.open_own_record = nullptr;
    ctx_.open_teacher_view = nullptr;
    ctx_.open_recommended = nullptr;
    teacher_.reset();
    own_record_.reset();
    // The screens show the drill log's result set: they go first (their
    // guides with them: the guides' lines are the screens' children).
    main_window_.reset();
    recommended_.reset();
    drill_log_.reset();
}

std::string ExecutableFolder() {
    return (QGuiApplication::applicationDirPath() + QLatin1Char('/')).toStdString();
}

}  // namespace sorelka

namespace sorelka {

void NameApplication() {
    // No display name: Qt would append it to every title bar. The desktop shows
    // "Sorelkaドリル" from the desktop entry, which it finds by the desktop file
    // name and by the window class ("Sorelka", the application name).
    QGuiApplication::setApplicationName(QStringLiteral("Sorelka"));
    QGuiApplication::setDesktopFileName(QStringLiteral("sorelka"));
}

}  // namespace sorelka
