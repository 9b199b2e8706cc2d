#include "widgets/look.h"

#include <QLabel>
#include <QPainter>
#include <QPalette>
#include <QStringList>
#include <QTextDocument>
#include <QWidget>

namespace sorelka {

QFont SchoolFont(int pixel_size, bool bold) {
    QFont font;
    // The rounded school gothic where it is installed, then its free
    // look-alike, then a plain Japanese gothic.
    font.setFamilies({QStringLiteral("HG丸ｺﾞｼｯｸM-PRO"), QStringLiteral("MotoyaLMaru"),
                      QStringLiteral("Noto Sans CJK JP")});
    font.setPixelSize(pixel_size);
    font.setBold(bold);
    return font;
}

void SetTextColour(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    palette.setColor(QPalette::Text, colour);
    palette.setColor(QPalette::ButtonText, colour);
    widget->setPalette(palette);
}

void SetBackground(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

QLabel* MakeBoldLabel(QWidget* parent, const QString& name, int pixels, const QColor& colour, const QRect& place) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->setFont(SchoolFont(pixels, true));
    SetTextColour(label, colour);
    label->setGeometry(place);
    return label;
}

QPixmap DrawnPicture(int width, int height, const std::function<void(QPainter&)>& draw) {
    QPixmap pixmap(width, height);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    draw(painter);
    painter.end();
    return pixmap;
}

QString PlainToolTip(const QString& text) {
    // Text Qt shows as plain text anyway stays as it is.
    if (!Qt::mightBeRichText(text)) return text;
    return QStringLiteral("<p style=\"white-space:pre-wrap\">%1</p>").arg(text.toHtmlEscaped());
}

}  // namespace sorelka
