#include "app/placeholder_screen.h"

#include <QLabel>

#include "widgets/cute_button.h"
#include "widgets/look.h"

namespace sorelka {

PlaceholderScreen::PlaceholderScreen(AppContext& ctx, const QString& name, const QString& caption,
                                     const QString& title, QWidget* parent)
    : ExerciseScreen(ctx, name, caption, parent) {
    auto* heading = new QLabel(title, this);
    heading->setObjectName(QStringLiteral("Label1"));
    heading->setFont(SchoolFont(36, true));
    SetTextColour(heading, kNavyColour);
    heading->setAlignment(Qt::AlignCenter);
    heading->setGeometry(0, 60, 955, 60);

    prompt_ = new QLabel(this);
    prompt_->setObjectName(QStringLiteral("Label2"));
    prompt_->setFont(SchoolFont(22, true));
    SetTextColour(prompt_, Qt::red);
    prompt_->setAlignment(Qt::AlignCenter);
    prompt_->setGeometry(0, 300, 955, 40);

    auto* back = new CuteButton(QStringLiteral("CuteButton2"), QStringLiteral("目次"),
                                QColor(0xFF, 0xE0, 0x8A), kNavyColour, this);
    back->setGeometry(620, 600, 130, 48);
    connect(back, &QPushButton::clicked, this, &PlaceholderScreen::BackToMenuPressed);

    auto* quit = new CuteButton(QStringLiteral("CuteButton1"), QStringLiteral("終る"),
                                kNavyColour, kCream, this);
    quit->setGeometry(780, 600, 130, 48);
    connect(quit, &QPushButton::clicked, this, &PlaceholderScreen::QuitPressed);
}

void PlaceholderScreen::FormCreate() {
    ++times_shown_;
    prompt_->setText(QStringLiteral("この画面は、いま じゅんびちゅうです。"));
    PlayCue(Cue::Choice);
}

void PlaceholderScreen::QuitPressed() { AskToQuit(QStringLiteral("終わってもいいの？")); }

void PlaceholderScreen::BackToMenuPressed() { ReturnToMenu(); }

}  // namespace sorelka
