// Drives screens the way a pupil does and saves pictures of them, for looking
// at the screens in a real window: run under xvfb-run.
//   screenshots <output folder>
#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include "app/main_window.h"
#include "app/program.h"
#include "widgets/exercise_screen.h"
#include "drill/drill_log.h"
#include "support/fakes.h"
#include "widgets/choice_list.h"

using namespace sorelka;
using namespace sorelka::testing;

namespace {

QString out_dir;

void Save(QWidget* w, const QString& name) {
    QApplication::processEvents();
    w->grab().save(out_dir + "/" + name + ".png");
}

void Pick(QWidget* root, const QByteArray& list, int index) {
    root->findChild<ChoiceList*>(QString::fromUtf8(list))->Choose(index);
    QApplication::processEvents();
}

void Press(QWidget* root, const char* button) {
    QTest::mouseClick(root->findChild<QAbstractButton*>(button), Qt::LeftButton);
}

void DivisionDrill(Program& program, FakeServices& services) {
    QWidget* s = program.screens()[1];
    static_cast<ExerciseScreen*>(s)->ShowModeless();
    services.random.Feed({0, 735, 4});  // menu 1, kind 1 (5/9): 745 ÷ 6
    Pick(s, "ComboBox1", 0);
    Pick(s, "ComboBox7", 1);
    services.random.script.clear();
    services.random.Feed({5, 645, 4});  // kind 2: 745 ÷ 6
    Press(s, "CuteButton3");
    // 745 ÷ 6 written as at school: 1, 6, 14, 2, 12, 25, then the 4 pending.
    const int steps[][2] = {{4, 1}, {6, 0}, {2, 6}, {6, 0}, {3, 1}, {2, 4}, {6, 0}, {3, 2},
                            {6, 0}, {3, 1}, {2, 2}, {6, 0}, {3, 2}, {2, 5}, {6, 0}, {2, 4}};
    for (const auto& step : steps) Pick(s, QStringLiteral("ComboBox%1").arg(step[0]).toUtf8(), step[1]);
    Save(s, "TForm3-drill");
    const int rest[][2] = {{6, 0}, {3, 2}, {2, 4}, {6, 0}, {2, 1}, {6, 6}};
    for (const auto& step : rest) Pick(s, QStringLiteral("ComboBox%1").arg(step[0]).toUtf8(), step[1]);
    Press(s, "CuteButton4");
    Press(s, "CuteButton5");
    Press(s, "CuteButton6");
    Save(s, "TForm3-score-sheet");
    s->hide();
}

ExerciseScreen* Open(Program& program, int index) {
    ExerciseScreen* s = program.screens()[index];
    s->ShowModeless();
    return s;
}

void Steps(QWidget* s, std::initializer_list<std::pair<int, int>> steps) {
    for (const auto& [list, item] : steps) Pick(s, QStringLiteral("ComboBox%1").arg(list).toUtf8(), item);
}

void DivisionPractice(Program& program, FakeServices& services) {
    ExerciseScreen* s = Open(program, 0);
    services.random.Feed({5, 645, 4});  // 745 ÷ 6
    Pick(s, "ComboBox1", 0);
    Steps(s, {{4, 1}, {6, 0}, {2, 6}, {6, 0}, {3, 1}, {2, 4}, {6, 0}, {3, 2}, {6, 0},
              {3, 1}, {2, 2}, {6, 0}, {3, 2}, {2, 5}});
    Save(s, "TForm2-practice");
    Steps(s, {{6, 0}, {2, 4}, {6, 0}, {3, 2}, {2, 4}, {6, 0}, {2, 1}, {6, 6}});
    Save(s, "TForm2-finished");
    s->hide();
}

void DecimalPractice(Program& program, FakeServices& services) {
    ExerciseScreen* add = Open(program, 2);
    services.random.Feed({0, 234, 139});  // 2.35 + 1.4
    Pick(add, "ComboBox1", 1);
    Steps(add, {{5, 3}, {4, 7}, {3, 5}, {7, 0}});
    Save(add, "TForm4-finished");
    add->hide();
    ExerciseScreen* sub = Open(program, 4);
    services.random.Feed({0, 51, 48});  // 5.2 - 4.9
    Pick(sub, "ComboBox1", 0);
    Steps(sub, {{5, 0}, {4, 3}, {7, 0}});
    Save(sub, "TForm6-finished");
    sub->hide();
}

void FractionPractice(Program& program, FakeServices& services) {
    ExerciseScreen* s = Open(program, 8);
    services.random.Feed({1, 2});  // 7/3
    Pick(s, "ComboBox1", 0);
    Steps(s, {{3, 0}, {2, 2}, {4, 0}, {3, 0}, {2, 3}, {4, 1}, {3, 0}, {2, 1}, {4, 2}, {4, 4}});
    Save(s, "TForm10-finished");
    s->hide();
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    out_dir = argc > 1 ? argv[1] : QDir::currentPath();
    QDir().mkpath(out_dir);
    QTemporaryDir data;
    FakeServices services;
    services.ctx.exe_folder = ExecutableFolder();
    Program program(services.ctx, data.path() + "/kyozai.db");
    program.main_window()->show();
    Save(program.main_window(), "TForm1-menu");
    DivisionPractice(program, services);
    DivisionDrill(program, services);
    DecimalPractice(program, services);
    FractionPractice(program, services);
    return 0;
}
