#include <QApplication>
#include <QDate>
#include <QGuiApplication>
#include <QIcon>
#include <QTextStream>
#include <cstdio>
#include <unistd.h>

#include "app/command_line.h"
#include "app/main_window.h"
#include "app/program.h"
#include "app/qt_services.h"
#include "core/cue_deck.h"
#include "core/random.h"
#include "drill/drill_log.h"
#include "record/record_store.h"
#include "record/system_settings.h"
#include "report/export_command.h"
#include "report/roster_command.h"
#include "sync/pg_connection.h"
#include "sync/roster_server.h"
#include "sync/server_config.h"
#include "sync/xapi_server.h"
#include "report/teacher_pin.h"

namespace {

// Where the system's settings are read from: the build's fixed folder, or,
// in a test-only build of the program, a scratch folder of the build tree.
QString SystemFolder() {
#ifdef SORELKA_SCRATCH_SYSTEM_FOLDER
    return QStringLiteral(SORELKA_SCRATCH_SYSTEM_FOLDER);
#else
    return sorelka::record::SystemConfigFolder();
#endif
}

// A refused command line: the reason and the usage on standard error, exit 2.
int Refuse(QTextStream& err, const QString& why) {
    if (!why.isEmpty()) err << QStringLiteral("sorelka: ") << why << Qt::endl;
    err << Qt::endl << sorelka::Usage() << Qt::flush;
    return sorelka::report::kExitBadArgument;
}

// The school's server as its administrator runs a command there: libpq's
// environment (PGHOST, PGPORT, PGDATABASE, PGUSER, as psql and add-pc.sh
// take them) and defaults. Empty when open, else why not.
QString OpenAsAdministrator(sorelka::sync::PgConnection& server) {
    sorelka::sync::ServerConfig owner;  // every field empty
    owner.port = 0;
    owner.sslmode.clear();
    return server.Open(owner, 10);
}

// The export: no window is made, so no display is needed; the offscreen
// platform still gives the PDF writer its fonts. A bad value ends with the
// usage too.
int RunExport(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    sorelka::NameApplication();
    QTextStream out(stdout);
    QTextStream err(stderr);
    // --export-xapi --server: the school's answers, read on the server by its administrator.
    auto from_server = [](std::optional<QDate> from, std::optional<QDate> to,
                          const sorelka::report::XapiSink& take) {
        sorelka::sync::PgConnection server;
        if (const QString why = OpenAsAdministrator(server); !why.isEmpty()) return why;
        return sorelka::sync::ReadServerAnswers(server, from, to, take);
    };
    const int code = sorelka::report::RunCommandLine(QGuiApplication::arguments(),
                                                     sorelka::record::RecordStore::DefaultPath(),
                                                     QDate::currentDate(), out, err, from_server);
    return code == sorelka::report::kExitBadArgument ? Refuse(err, QString()) : code;
}

// `sorelka --set-teacher-pin`: the administrator sets the teacher's PIN
// for every user of this PC, in the system's settings.
int SetTeacherPin(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    sorelka::NameApplication();
    QTextStream in(stdin), out(stdout), err(stderr);
    const sorelka::record::SystemSettingsFile system = sorelka::record::OpenSystemSettings(SystemFolder());
    return sorelka::report::SetTeacherPinCommand(in, out, err, *system.settings, ::isatty(STDIN_FILENO) == 1);
}

// `sorelka --import-roster PATH`: the school's class list into this PC's
// record; with --server, into the school's server, run there by its
// administrator as the database's owner (libpq's PGHOST, PGPORT,
// PGDATABASE, PGUSER, as psql and add-pc.sh take them). A PC that sends to
// the school's server takes its pupils from there, so there the record's
// import is refused.
int ImportRoster(int argc, char* argv[], const QString& path, bool to_server, bool new_year) {
    QCoreApplication app(argc, argv);
    sorelka::NameApplication();
    QTextStream out(stdout), err(stderr);
    if (!to_server) {
        if (sorelka::sync::ReadServerConfig(SystemFolder()).configured) {
            err << QStringLiteral("sorelka: このPCは学校のサーバーを使っています。名簿は学校のサーバーで "
                                  "sorelka --import-roster %1 --server として読みこんでください。")
                       .arg(path)
                << Qt::endl;
            return sorelka::report::kExitNotWritten;
        }
        return sorelka::report::ImportRosterCommand(path, sorelka::record::RecordStore::DefaultPath(), out, err);
    }
    const std::optional<sorelka::exchange::Roster> roster = sorelka::report::ReadRosterOrTell(path, err);
    if (!roster) return sorelka::report::kExitNotWritten;
    sorelka::sync::PgConnection server;
    if (const QString why = OpenAsAdministrator(server); !why.isEmpty()) {
        err << QStringLiteral("sorelka: ") << why << Qt::endl;
        return sorelka::report::kExitNotWritten;
    }
    sorelka::sync::ServerRosterImported done;
    if (const QString why = sorelka::sync::ImportRosterToServer(server, *roster, new_year, &done);
        !why.isEmpty()) {
        err << QStringLiteral("sorelka: ") << why << Qt::endl;
        return sorelka::report::kExitNotWritten;
    }
    out << done.Text() << Qt::endl;
    return 0;
}

}  // namespace

int main(int argc, char* argv[]) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    const sorelka::CommandLine line = sorelka::ReadCommandLine(arguments);
    switch (line.mode) {
        case sorelka::CommandMode::Refused: {
            QTextStream err(stderr);
            return Refuse(err, line.refusal);
        }
        case sorelka::CommandMode::Help: {
            QTextStream out(stdout);
            out << sorelka::Usage() << Qt::flush;
            return 0;
        }
        case sorelka::CommandMode::SetTeacherPin: return SetTeacherPin(argc, argv);
        case sorelka::CommandMode::Export: return RunExport(argc, argv);
        case sorelka::CommandMode::ImportRoster: return ImportRoster(argc, argv, line.value, line.to_server, line.new_school_year);
        case sorelka::CommandMode::Menu: break;
    }

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
    sorelka::Program program(ctx, sorelka::DrillLog::DefaultPath(), SystemFolder());
    program.main_window()->show();
    const int code = app.exec();
    // Answers the record file has not taken yet wait a moment for it, then
    // in the journal for the next start (the user is told once).
    program.record_store().SettleBeforeQuit();
    return code;
}
