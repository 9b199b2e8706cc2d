#include "app/program.h"

#include <QGuiApplication>
#include <string_view>

#include "app/main_window.h"
#include "app/placeholder_screen.h"
#include "division/division_practice_screen.h"
#include "drill/drill_log.h"
#include "rules/rules_practice_screen.h"

namespace sorelka {

namespace {

struct ScreenSpec {
    const char* name;
    const char* caption;
    const char* title;
};

// TForm2 … TForm11 in creation order, which is also the order of the menu buttons.
constexpr ScreenSpec kScreens[] = {
    {"TForm2", "Sorelka", "わり算　練習問題"},
    {"TForm3", "Sorelka", "わり算　ドリル"},
    {"TForm4", "Sorelka", "小数のたし算　練習問題"},
    {"TForm5", "Sorelka", "小数のたし算　ドリル"},
    {"TForm6", "Sorelka", "小数のひき算　練習問題"},
    {"TForm7", "Sorelka", "小数のひき算　ドリル"},
    {"TForm8", "Sorelka", "計算のきまり　練習問題"},
    {"TForm9", "Sorelka", "計算のきまり　ドリル"},
    {"TForm10", "Form10", "分数の表し方　練習問題"},
    {"TForm11", "Form11", "分数の表し方　ドリル"},
};

}  // namespace

Program::Program(AppContext& ctx, const QString& database_path) : ctx_(ctx) {
    drill_log_ = std::make_unique<DrillLog>(database_path, ctx_.dialogs);
    main_window_ = std::make_unique<MainMenuWindow>(ctx_);
    forms_.push_back(main_window_.get());
    for (const ScreenSpec& spec : kScreens) {
        ExerciseScreen* screen = nullptr;
        if (std::string_view(spec.name) == "TForm2")
            screen = new division::DivisionPracticeScreen(ctx_, main_window_.get());
        else if (std::string_view(spec.name) == "TForm8")
            screen = new rules::RulesPracticeScreen(ctx_, main_window_.get());
        else
            screen = new PlaceholderScreen(ctx_, QString::fromUtf8(spec.name),
                                           QString::fromUtf8(spec.caption),
                                           QString::fromUtf8(spec.title), main_window_.get());
        forms_.push_back(screen);
        screens_.push_back(screen);
    }
    main_window_->SetScreens(screens_);
}

Program::~Program() {
    // The screens show the drill log's result set: they go first.
    main_window_.reset();
}

std::string ExecutableFolder() {
    return (QGuiApplication::applicationDirPath() + QLatin1Char('/')).toStdString();
}

}  // namespace sorelka

namespace sorelka {

void NameApplication() {
    QGuiApplication::setApplicationName(QStringLiteral("Sorelka"));
    QGuiApplication::setApplicationDisplayName(QStringLiteral("Sorelkaドリル"));
    QGuiApplication::setDesktopFileName(QStringLiteral("sorelka"));
}

}  // namespace sorelka
