#pragma once

#include <QMainWindow>
#include <functional>
#include <vector>

#include "core/app_context.h"

class QLabel;
class QTimer;

namespace sorelka {

class CuteButton;
class ExerciseScreen;
class HelpWindow;
class StatusClockBar;

// The main menu: every topic, each with a practice and a drill button,
// the clock, help, About and quit.
class MainMenuWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainMenuWindow(AppContext& ctx);

    // The ten exercise screens in button order (practice, drill per topic).
    void SetScreens(std::vector<ExerciseScreen*> screens);
    // The help file that "使い方" opens: exe_folder + "Sorelka.hlp".
    QString help_file() const { return help_file_; }
    HelpWindow* help_window() const { return help_window_; }
    // "かだい": `open_count` counts the pieces open for the pupil chosen now
    // (the button hides at none), `open` lists them and runs the one chosen.
    void SetWorkSource(std::function<int()> open_count, std::function<void()> open);

public slots:
    void FormCreate();
    void ShowClock();    // Timer1
    void StartupTick();  // Timer3, the one-shot start-up tick
    void QuitPressed();  // "終る"
    void utorial1Click();     // help contents
    void About1Click();
    // "なまえ" → "なまえをえらぶ…" and panel 0: choose the pupil.
    void ChoosePupil1Click();
    // Panel 0 names the current pupil; the work button counts their pieces.
    void ShowPupil();
    void ShowWork();

private:
    void ShowScreen(int index);
    void BuildMenu();

    AppContext& ctx_;
    std::vector<ExerciseScreen*> screens_;
    QString help_file_;
    QLabel* prompt_ = nullptr;
    CuteButton* work_button_ = nullptr;
    std::function<int()> work_count_;
    std::function<void()> open_work_;
    QLabel* image_ = nullptr;
    StatusClockBar* status_ = nullptr;
    QTimer* clock_timer_ = nullptr;
    QTimer* startup_timer_ = nullptr;
    HelpWindow* help_window_ = nullptr;
};

}  // namespace sorelka
