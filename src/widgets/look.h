#pragma once

#include <QColor>
#include <QFont>
#include <QPixmap>
#include <QString>
#include <functional>

#include "core/worksheet.h"

class QLabel;
class QPainter;
class QRect;
class QWidget;

namespace sorelka {

// The program's rounded school font at a pixel height.
QFont SchoolFont(int pixel_size, bool bold = false);

inline QColor ToQColor(Rgb rgb) { return QColor::fromRgb(rgb); }

// Colours shared by the screens.
inline const QColor kMenuBackground{0xEA, 0xEA, 0xFF};
inline const QColor kPracticeGreen{0xBD, 0xE8, 0xD7};
inline const QColor kDrillSkyBlue{0xA6, 0xCA, 0xF0};
inline const QColor kNavyColour{0x00, 0x00, 0x80};
inline const QColor kCream{0xFF, 0xFB, 0xF0};

// Sets a widget's palette text colour (labels keep it across style changes).
void SetTextColour(QWidget* widget, const QColor& colour);
void SetBackground(QWidget* widget, const QColor& colour);
// A label of plain text at `place` on `parent`, bold, `pixels` high.
QLabel* MakeBoldLabel(QWidget* parent, const QString& name, int pixels, const QColor& colour, const QRect& place);

// A picture of `width` × `height` on a transparent ground, drawn by `draw`
// with antialiasing.
QPixmap DrawnPicture(int width, int height, const std::function<void(QPainter&)>& draw);

// Gives `widget` a style sheet, or `label` a drawn picture, when the widget
// is first shown or painted instead of now: parsing a sheet or drawing text
// is much of what a screen costs to make, and most screens wait unopened.
// For widgets placed by hand (their size hint unused). Once per widget.
void SetStyleSheetWhenShown(QWidget* widget, const QString& sheet);
void SetPictureWhenShown(QLabel* label, std::function<QPixmap()> draw);

// A tooltip that shows `text` exactly as written. A tooltip has no plain-text
// setting: Qt shows it as rich text when it looks like markup, so a name
// such as "<b>x</b>" or "<img src=…>" would be drawn, not shown. Such text
// goes escaped into markup of its own, spaces and line breaks kept; any
// other is shown plain already and stays as it is.
QString PlainToolTip(const QString& text);

}  // namespace sorelka
