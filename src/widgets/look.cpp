#include "widgets/look.h"

#include <QEvent>
#include <QFontDatabase>
#include <QLabel>
#include <QPainter>
#include <QPalette>
#include <QStringList>
#include <QTextDocument>
#include <QWidget>
#include <utility>

namespace sorelka {

namespace {

// The rounded school gothic where it is installed, then its free look-alike,
// then a plain Japanese gothic: those of them this computer has, so that Qt
// does not look for a missing family's stand-ins at every new font size.
const QStringList& SchoolFamilies() {
    static const QStringList families = [] {
        const QStringList wanted = {QStringLiteral("HG丸ｺﾞｼｯｸM-PRO"), QStringLiteral("MotoyaLMaru"),
                                    QStringLiteral("Noto Sans CJK JP")};
        QStringList present;
        for (const QString& family : wanted)
            if (QFontDatabase::hasFamily(family)) present << family;
        return present.isEmpty() ? wanted : present;
    }();
    return families;
}

}  // namespace

QFont SchoolFont(int pixel_size, bool bold) {
    QFont font;
    font.setFamilies(SchoolFamilies());
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

namespace {

// Runs its work when the watched widget is first shown or painted, then goes.
class OnFirstShow final : public QObject {
public:
    OnFirstShow(QWidget* widget, std::function<void()> work) : QObject(widget), work_(std::move(work)) {
        widget->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if ((event->type() == QEvent::Show || event->type() == QEvent::Paint) && work_) {
            watched->removeEventFilter(this);
            std::exchange(work_, nullptr)();
            deleteLater();
        }
        return false;
    }

private:
    std::function<void()> work_;
};

void WhenShown(QWidget* widget, std::function<void()> work) {
    if (widget->isVisible()) work();
    else new OnFirstShow(widget, std::move(work));
}

}  // namespace

void SetStyleSheetWhenShown(QWidget* widget, const QString& sheet) {
    WhenShown(widget, [widget, sheet] { widget->setStyleSheet(sheet); });
}

void SetPictureWhenShown(QLabel* label, std::function<QPixmap()> draw) {
    WhenShown(label, [label, draw = std::move(draw)] { label->setPixmap(draw()); });
}

QString PlainToolTip(const QString& text) {
    // Text Qt shows as plain text anyway stays as it is.
    if (!Qt::mightBeRichText(text)) return text;
    return QStringLiteral("<p style=\"white-space:pre-wrap\">%1</p>").arg(text.toHtmlEscaped());
}

}  // namespace sorelka
