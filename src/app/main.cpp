#include <QApplication>
#include <QIcon>

#include "app/main_window.h"
#include "app/program.h"
#include "app/qt_services.h"
#include "core/cue_deck.h"
#include "core/random.h"
#include "drill/drill_log.h"

int main(int argc, char* argv[]) {
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
    return app.exec();
}
