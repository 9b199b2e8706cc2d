#pragma once

#include <QColor>
#include <QPushButton>

namespace sorelka {

// A push button with its own background and caption colours, used for every
// button of every screen.
class CuteButton : public QPushButton {
    Q_OBJECT
public:
    CuteButton(const QString& name, const QString& caption, const QColor& background,
               const QColor& caption_colour, QWidget* parent);

    void SetColours(const QColor& background, const QColor& caption_colour);
    QColor background() const { return background_; }
    QColor caption_colour() const { return caption_colour_; }

private:
    QColor background_;
    QColor caption_colour_;
};

}  // namespace sorelka
