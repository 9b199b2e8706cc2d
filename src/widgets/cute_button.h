#pragma once

#include <QColor>
#include <QPushButton>

namespace sorelka {

// A push button with its own background and caption colours, used for every
// button of every screen. The colours take effect when the button is first
// shown, painted or asked its size; until then styleSheet() is empty.
class CuteButton : public QPushButton {
    Q_OBJECT
public:
    CuteButton(const QString& name, const QString& caption, const QColor& background,
               const QColor& caption_colour, QWidget* parent);

    void SetColours(const QColor& background, const QColor& caption_colour);
    QColor background() const { return background_; }
    QColor caption_colour() const { return caption_colour_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    bool event(QEvent* event) override;

private:
    void ApplyColours();

    QColor background_;
    QColor caption_colour_;
    bool colours_waiting_ = false;  // set, not yet applied
    bool colours_applied_ = false;
};

}  // namespace sorelka
