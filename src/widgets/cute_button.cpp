#include "widgets/cute_button.h"

#include <QEvent>

#include "widgets/accessibility.h"
#include "widgets/look.h"

namespace sorelka {

CuteButton::CuteButton(const QString& name, const QString& caption, const QColor& background,
                       const QColor& caption_colour, QWidget* parent)
    : QPushButton(caption, parent) {
    setObjectName(name);
    setFont(SchoolFont(20, true));
    setCursor(Qt::PointingHandCursor);
    WatchKeyboard();  // Enter presses the button, as Space does
    SetColours(background, caption_colour);
}

void CuteButton::SetColours(const QColor& background, const QColor& caption_colour) {
    background_ = background;
    caption_colour_ = caption_colour;
    // The colours come as a style sheet, which waits until the button is
    // first shown, painted or asked its size: parsing and matching it is much
    // of what a button costs, and most buttons wait on screens not yet opened.
    if (colours_applied_) ApplyColours();
    else colours_waiting_ = true;
}

bool CuteButton::event(QEvent* event) {
    if (colours_waiting_ && (event->type() == QEvent::Show || event->type() == QEvent::Paint))
        ApplyColours();
    return QPushButton::event(event);
}

QSize CuteButton::sizeHint() const {
    if (colours_waiting_) const_cast<CuteButton*>(this)->ApplyColours();
    return QPushButton::sizeHint();
}

QSize CuteButton::minimumSizeHint() const {
    if (colours_waiting_) const_cast<CuteButton*>(this)->ApplyColours();
    return QPushButton::minimumSizeHint();
}

void CuteButton::ApplyColours() {
    colours_waiting_ = false;
    colours_applied_ = true;
    const QString sheet = QStringLiteral(
        "QPushButton { background: %1; color: %2; border: 2px solid %3; border-radius: 10px;"
        " padding: 2px 8px; }"
        "QPushButton:hover { background: %4; }"
        "QPushButton:pressed { background: %3; }"
        "QPushButton:focus { border: 3px solid #FFB000; }"
        "QPushButton:disabled { background: #D8D8D8; color: #909090; border-color: #B0B0B0; }");
    setStyleSheet(sheet.arg(background_.name(), caption_colour_.name(), background_.darker(140).name(),
                            background_.lighter(110).name()));
}

}  // namespace sorelka
