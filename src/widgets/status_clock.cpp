#include "widgets/status_clock.h"

#include <QLabel>
#include <QMouseEvent>

#include "core/clock_text.h"
#include "widgets/accessibility.h"
#include "widgets/look.h"

namespace sorelka {

StatusClockBar::StatusClockBar(QWidget* parent) : QStatusBar(parent) {
    setObjectName(QStringLiteral("StatusBar1"));
    setSizeGripEnabled(false);
    setFont(SchoolFont(14));
    panel0_ = new QLabel(this);
    panel0_->setObjectName(QStringLiteral("Panel0"));
    panel0_->setFixedWidth(680);
    panel0_->setTextFormat(Qt::PlainText);  // a name is shown as typed, never as markup
    panel0_->setCursor(Qt::PointingHandCursor);
    panel0_->setToolTip(QStringLiteral("なまえをえらぶ"));
    panel0_->installEventFilter(this);
    panel1_ = new QLabel(this);
    panel1_->setObjectName(QStringLiteral("Panel1"));
    panel1_->setAlignment(Qt::AlignCenter);
    panel1_->setMinimumWidth(160);
    SetSpokenRole(panel1_, QStringLiteral("時こく"));
    addWidget(panel0_);
    addWidget(panel1_, 1);
}

void StatusClockBar::ShowClock(const Clock& clock) {
    panel1_->setText(QString::fromStdString(ClockText(clock.Now())));
    RefreshSpokenName(panel1_);
}

void StatusClockBar::ShowPupil(const QString& name) {
    panel0_->setText(QStringLiteral("なまえ：") + name);
}

bool StatusClockBar::eventFilter(QObject* watched, QEvent* event) {
    if (watched == panel0_ && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        emit pupilPanelClicked();
        return true;
    }
    return QStatusBar::eventFilter(watched, event);
}

QString StatusClockBar::panel_text(int panel) const {
    return panel == 0 ? panel0_->text() : panel1_->text();
}

}  // namespace sorelka
