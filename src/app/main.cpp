#include <QApplication>
#include <QDate>
#include <QGuiApplication>
#include <QIcon>
#include <QTextStream>
#include <cstdio>
#include <unistd.h>

#include "app/main_window.h"
#include "app/program.h"
#include "app/qt_services.h"
#include "core/cue_deck.h"
#include "core/random.h"
#include "drill/drill_log.h"
#include "record/record_store.h"
#include "report/export_command.h"
#include "report/teacher_pin.h"

namespace {

// The command line (an export or its help): no window is made, so no display
// is needed; the offscreen platform still gives the PDF writer its fonts.
int RunCommandLine(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    sorelka::NameApplication();
    QTextStream out(stdout);
    QTextStream err(stderr);
    return sorelka::report::RunCommandLine(QGuiApplication::arguments(),
                                           sorelka::record::RecordStore::DefaultPath(),
                                           QDate::currentDate(), out, err);
}

// `sorelka --set-teacher-pin`: the administrator sets the teacher's PIN
// for every user of this PC, in the system's settings.
int SetTeacherPin(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    sorelka::NameApplication();
    QTextStream in(stdin), out(stdout), err(stderr);
    const std::unique_ptr<QSettings> system = sorelka::report::SystemSettings();
    return sorelka::report::SetTeacherPinCommand(in, out, err, *system, ::isatty(STDIN_FILENO) == 1);
}

}  // namespace

int main(int argc, char* argv[]) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    if (arguments.contains(QStringLiteral("--set-teacher-pin"))) return SetTeacherPin(argc, argv);
    if (sorelka::report::WantsCommandLine(arguments)) return RunCommandLine(argc, argv);

    QApplication app(argc, argv);
    sorelka::NameApplication();

    sorelka::QtDialogs dialogs;
    sorelka::SystemClock clock;
    sorelka::SystemRandom random;
    const std::string exe_folder = sorelka::ExecutableFolder();
    // The icon the desktop entry names, from the icon theme; failing that, the
    // installed file found from the program's own folder (<prefix>/lib/sorelka/).
    QIcon icon = QIcon::fromTheme(QStringLiteral("sorelka"));
    if (icon.isNull())
        icon = QIcon(QString::fromStdString(exe_folder) +
                     QStringLiteral("../../share/icons/hicolor/256x256/apps/sorelka.png"));
    QApplication::setWindowIcon(icon);
    sorelka::QtSoundBackend sound;
    sorelka::CueDeck cues(exe_folder, sound, dialogs);

    sorelka::AppContext ctx{{}, cues, dialogs, clock, random, exe_folder, [] {
                                QApplication::closeAllWindows();
                                QApplication::exit(0);
                            }};
    sorelka::Program program(ctx, sorelka::DrillLog::DefaultPath());
    program.main_window()->show();
    const int code = app.exec();
    // Answers the record file has not taken yet wait a moment for it, then
    // in the journal for the next start (the user is told once).
    program.record_store().SettleBeforeQuit();
    return code;
}
