#pragma once

#include <QStatusBar>

class QLabel;

namespace sorelka {

class Clock;

// The two-panel status bar of the main window and the exercise screens:
// panel 0 names the pupil ("なまえ：はなこ") and a click on it asks to choose
// another; panel 1 shows the clock once the first tick has come.
class StatusClockBar : public QStatusBar {
    Q_OBJECT
public:
    explicit StatusClockBar(QWidget* parent);

    // Writes the current date and time into panel 1 ("mm/dd  hh:mm AM/PM").
    void ShowClock(const Clock& clock);
    QString panel_text(int panel) const;
    // Panel 0: "なまえ：" and the pupil's name, exactly as written.
    void ShowPupil(const QString& name);

signals:
    // Panel 0 was clicked.
    void pupilPanelClicked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLabel* panel0_;
    QLabel* panel1_;
};

}  // namespace sorelka
