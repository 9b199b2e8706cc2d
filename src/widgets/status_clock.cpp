#include "widgets/status_clock.h"

#include <QLabel>

#include "core/clock_text.h"
#include "widgets/look.h"

namespace sorelka {

StatusClockBar::StatusClockBar(QWidget* parent) : QStatusBar(parent) {
    setObjectName(QStringLiteral("StatusBar1"));
    setSizeGripEnabled(false);
    setFont(SchoolFont(14));
    panel0_ = new QLabel(this);
    panel0_->setObjectName(QStringLiteral("Panel0"));
    panel0_->setFixedWidth(680);
    panel1_ = new QLabel(this);
    panel1_->setObjectName(QStringLiteral("Panel1"));
    panel1_->setAlignment(Qt::AlignCenter);
    panel1_->setMinimumWidth(160);
    addWidget(panel0_);
    addWidget(panel1_, 1);
}

void StatusClockBar::ShowClock(const Clock& clock) {
    panel1_->setText(QString::fromStdString(ClockText(clock.Now())));
}

QString StatusClockBar::panel_text(int panel) const {
    return panel == 0 ? panel0_->text() : panel1_->text();
}

}  // namespace sorelka
