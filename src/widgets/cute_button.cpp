#include "widgets/cute_button.h"

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
    const QString sheet = QStringLiteral(
        "QPushButton { background: %1; color: %2; border: 2px solid %3; border-radius: 10px;"
        " padding: 2px 8px; }"
        "QPushButton:hover { background: %4; }"
        "QPushButton:pressed { background: %3; }"
        "QPushButton:focus { border: 3px solid #FFB000; }"
        "QPushButton:disabled { background: #D8D8D8; color: #909090; border-color: #B0B0B0; }");
    setStyleSheet(sheet.arg(background.name(), caption_colour.name(), background.darker(140).name(),
                            background.lighter(110).name()));
}

}  // namespace sorelka
