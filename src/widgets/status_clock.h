#pragma once

#include <QStatusBar>

class QLabel;

namespace sorelka {

class Clock;

// The two-panel status bar of the main window and the drill screens: panel 0
// stays empty, panel 1 shows the clock once the first tick has come.
class StatusClockBar : public QStatusBar {
    Q_OBJECT
public:
    explicit StatusClockBar(QWidget* parent);

    // Writes the current date and time into panel 1 ("mm/dd  hh:mm AM/PM").
    void ShowClock(const Clock& clock);
    QString panel_text(int panel) const;

private:
    QLabel* panel0_;
    QLabel* panel1_;
};

}  // namespace sorelka
