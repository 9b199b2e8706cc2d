// Opens every window of the program at once in a real X server, named as the
// program names itself, and prints "<object name> <X window id>" for each,
// then "ready", and keeps running until killed. tests/window_titles_test.sh
// reads the title bars' _NET_WM_NAME of those windows.
#include <QApplication>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

#include "app/main_window.h"
#include "app/program.h"
#include "app/qt_services.h"
#include "support/fakes.h"
#include "widgets/exercise_screen.h"

using namespace sorelka;

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    NameApplication();
    QTemporaryDir data;
    testing::FakeServices services;
    Program program(services.ctx, data.path() + "/kyozai.db");
    program.main_window()->show();
    for (ExerciseScreen* screen : program.screens()) screen->ShowModeless();

    auto print = [](QWidget* w, const QString& name) {
        std::printf("%s 0x%llx\n", qPrintable(name), static_cast<unsigned long long>(w->winId()));
    };
    for (QWidget* form : program.forms()) print(form, form->objectName());
    // A real message box of the program, over the main window.
    QTimer::singleShot(0, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
            print(box, QStringLiteral("message"));
        std::printf("ready\n");
        std::fflush(stdout);
    });
    QApplication::setActiveWindow(program.main_window());
    QtDialogs dialogs;
    dialogs.ShowMessage("時間だから、ドリルを終わるよ！");
    return app.exec();
}
