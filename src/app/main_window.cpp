#include "app/main_window.h"

#include <QAction>
#include <QLabel>
#include <QMenuBar>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QTimer>
#include <cmath>

#include "app/help_window.h"
#include "core/wide_digits.h"
#include "topics/topic_table.h"
#include "widgets/accessibility.h"
#include "widgets/cute_button.h"
#include "widgets/exercise_screen.h"
#include "widgets/accessibility.h"
#include "widgets/look.h"
#include "widgets/status_clock.h"
#include "widgets/worksheet_view.h"

#ifndef SORELKA_VERSION
#define SORELKA_VERSION "0"
#endif

namespace sorelka {

namespace {

// Image1: a smiling yellow star, drawn once.
QPixmap StarPicture() {
    return DrawnPicture(64, 64, [](QPainter& p) {
        QPainterPath star;
        for (int i = 0; i < 10; ++i) {
            const double radius = (i % 2 == 0) ? 30.0 : 13.5;
            const double angle = -M_PI / 2 + i * M_PI / 5;
            const QPointF point(32 + radius * std::cos(angle), 34 + radius * std::sin(angle));
            if (i == 0) star.moveTo(point); else star.lineTo(point);
        }
        star.closeSubpath();
        p.setPen(QPen(QColor(0xE0, 0x90, 0x00), 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(QColor(0xFF, 0xD8, 0x30));
        p.drawPath(star);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x50, 0x30, 0x10));
        p.drawEllipse(QPointF(27, 33), 2.3, 3);
        p.drawEllipse(QPointF(37, 33), 2.3, 3);
        p.setPen(QPen(QColor(0x50, 0x30, 0x10), 2, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(26, 34, 12, 8), 200 * 16, 140 * 16);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xFF, 0x90, 0x90, 160));
        p.drawEllipse(QPointF(22.5, 39), 3, 2);
        p.drawEllipse(QPointF(41.5, 39), 3, 2);
    });
}

// "１．わり算": the topic's number in full-width digits, then its name.
QString MenuHeading(const TopicInfo& topic) {
    return QString(QChar(u'０' + TopicNumber(topic.topic))) + QStringLiteral("．") +
           QString::fromStdString(topic.name);
}

}  // namespace

MainMenuWindow::MainMenuWindow(AppContext& ctx) : QMainWindow(nullptr), ctx_(ctx) {
    setObjectName(QStringLiteral("TForm1"));
    setWindowTitle(QStringLiteral("Sorelka"));
    setFixedSize(955, 716);
    setFont(SchoolFont(16));
    if (QScreen* screen = this->screen()) {
        move(screen->availableGeometry().center() - rect().center());
    }

    BuildMenu();

    clock_timer_ = new QTimer(this);
    clock_timer_->setObjectName(QStringLiteral("Timer1"));
    clock_timer_->setInterval(1000);
    connect(clock_timer_, &QTimer::timeout, this, &MainMenuWindow::ShowClock);
    clock_timer_->start();

    startup_timer_ = new QTimer(this);
    startup_timer_->setObjectName(QStringLiteral("Timer3"));
    startup_timer_->setInterval(1000);
    connect(startup_timer_, &QTimer::timeout, this, &MainMenuWindow::StartupTick);

    FormCreate();
}

void MainMenuWindow::BuildMenu() {
    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("MenuArea"));
    SetBackground(central, kMenuBackground);
    setCentralWidget(central);

    auto* pupil_menu = menuBar()->addMenu(QStringLiteral("なまえ"));
    pupil_menu->setObjectName(QStringLiteral("Name1"));
    QAction* choose_pupil = pupil_menu->addAction(QStringLiteral("なまえをえらぶ…"));
    choose_pupil->setObjectName(QStringLiteral("ChoosePupil1"));
    connect(choose_pupil, &QAction::triggered, this, &MainMenuWindow::ChoosePupil1Click);

    auto* record_menu = menuBar()->addMenu(QStringLiteral("きろく"));
    record_menu->setObjectName(QStringLiteral("Record1"));
    QAction* own_record = record_menu->addAction(QStringLiteral("じぶんのきろく…"));
    own_record->setObjectName(QStringLiteral("MyRecord1"));
    connect(own_record, &QAction::triggered, this, [this] {
        if (ctx_.open_own_record) ctx_.open_own_record();
    });
    QAction* teacher = record_menu->addAction(QStringLiteral("先生用…"));
    teacher->setObjectName(QStringLiteral("Teacher1"));
    connect(teacher, &QAction::triggered, this, [this] {
        if (ctx_.open_teacher_view) ctx_.open_teacher_view();
    });

    auto* help_menu = menuBar()->addMenu(QStringLiteral("ヘルプ"));
    help_menu->setObjectName(QStringLiteral("Help1"));
    menuBar()->setObjectName(QStringLiteral("MainMenu1"));
    menuBar()->setFont(SchoolFont(15));
    QAction* tutorial = help_menu->addAction(QStringLiteral("使い方"));
    tutorial->setObjectName(QStringLiteral("utorial1"));
    connect(tutorial, &QAction::triggered, this, &MainMenuWindow::utorial1Click);
    QAction* about = help_menu->addAction(QStringLiteral("バージョン情報"));
    about->setObjectName(QStringLiteral("About1"));
    connect(about, &QAction::triggered, this, &MainMenuWindow::About1Click);

    // Title "目　次" in its frame, top centre.
    auto* frame = new ShapeWidget(QStringLiteral("Shape1"), ShapeWidget::Kind::Frame, central);
    frame->SetColours(kNavyColour, QColor(0xFF, 0xFF, 0xFF));
    frame->setGeometry(357, 10, 240, 64);
    auto* title = new QLabel(QStringLiteral("目　次"), central);
    title->setObjectName(QStringLiteral("Label4"));
    title->setFont(SchoolFont(40, true));
    SetTextColour(title, kNavyColour);
    title->setAlignment(Qt::AlignCenter);
    title->setGeometry(357, 10, 240, 64);

    // Seven topic rows between the title and the prompt line.
    constexpr int kRowTop = 82;
    constexpr int kRowStep = 68;
    const std::vector<TopicInfo>& topics = TopicTable();
    for (int t = 0; t < int(topics.size()); ++t) {
        const int top = kRowTop + t * kRowStep;
        auto* band = new ShapeWidget(QStringLiteral("Band%1").arg(t + 1), ShapeWidget::Kind::Frame,
                                     central);
        band->SetColours(QColor(0xB8, 0xC0, 0xE8), ToQColor(topics[t].menu_tint));
        band->setGeometry(190, top - 4, 575, 66);

        auto* heading = new QLabel(MenuHeading(topics[t]), central);
        heading->setObjectName(QStringLiteral("Label%1").arg(6 + t));
        heading->setFont(SchoolFont(28, true));
        SetTextColour(heading, kNavyColour);
        heading->setGeometry(214, top + 9, 320, 40);

        for (int k = 0; k < 2; ++k) {
            const int number = 3 + 2 * t + k;
            const bool practice = k == 0;
            auto* button = new CuteButton(
                QStringLiteral("CuteButton%1").arg(number),
                practice ? QStringLiteral("練習問題") : QStringLiteral("ドリル"),
                practice ? kPracticeGreen : kDrillSkyBlue, kNavyColour, central);
            button->setGeometry(560, top - 1 + k * 33, 180, 30);
            // "わり算 練習問題": the topic's name, then the kind.
            button->setAccessibleName(QString::fromStdString(topics[t].name) + QStringLiteral(" ") +
                                      button->text());
            const int screen_index = 2 * t + k;
            connect(button, &QPushButton::clicked, this,
                    [this, screen_index] { ShowScreen(screen_index); });
        }
    }

    image_ = new QLabel(central);
    image_->setObjectName(QStringLiteral("Image1"));
    image_->setPixmap(StarPicture());
    image_->setGeometry(40, 572, 64, 64);
    image_->hide();

    prompt_ = new QLabel(central);
    prompt_->setObjectName(QStringLiteral("Label5"));
    prompt_->setFont(SchoolFont(26, true));
    SetTextColour(prompt_, Qt::red);
    prompt_->setGeometry(116, 584, 520, 40);

    // Right of the topic bands, above "終る": the problem the pupil needs most.
    auto* recommended = new CuteButton(QStringLiteral("RecommendedPractice"), QStringLiteral("おすすめ"),
                                       QColor(0xFF, 0xC8, 0x7A), kNavyColour, central);
    recommended->setGeometry(790, 500, 130, 56);
    recommended->setAccessibleName(QStringLiteral("おすすめの 練習問題"));
    connect(recommended, &QPushButton::clicked, this, [this] {
        if (ctx_.open_recommended) ctx_.open_recommended({});
        ShowPupil();
    });

    // Above "おすすめ", right of the topic bands: the work the teacher gave,
    // shown only while some is open for the pupil.
    work_button_ = new CuteButton(QStringLiteral("WorkButton"), QStringLiteral("かだい"), QColor(0xFF, 0xE0, 0x4A),
                                  kNavyColour, central);
    work_button_->setGeometry(790, 420, 130, 56);
    work_button_->hide();
    connect(work_button_, &QPushButton::clicked, this, [this] {
        if (open_work_) open_work_();
        ShowPupil();
    });

    auto* quit = new CuteButton(QStringLiteral("CuteButton2"), QStringLiteral("終る"), kNavyColour,
                                kCream, central);
    quit->setGeometry(790, 580, 130, 48);
    connect(quit, &QPushButton::clicked, this, &MainMenuWindow::QuitPressed);

    status_ = new StatusClockBar(this);
    setStatusBar(status_);
    SetReadingTabOrder(central);
    connect(status_, &StatusClockBar::pupilPanelClicked, this, &MainMenuWindow::ChoosePupil1Click);
}

void MainMenuWindow::ShowPupil() {
    status_->ShowPupil(PupilShown(ctx_));
    ShowWork();
}

void MainMenuWindow::SetWorkSource(std::function<int()> open_count, std::function<void()> open) {
    work_count_ = std::move(open_count);
    open_work_ = std::move(open);
    ShowWork();
}

void MainMenuWindow::ShowWork() {
    const int open = work_count_ ? work_count_() : 0;
    work_button_->setVisible(open > 0);
    if (open <= 0) return;
    const QString count = QString::fromStdString(WideText(static_cast<long long>(open)));
    work_button_->setText(QStringLiteral("かだい ") + count);
    work_button_->setAccessibleName(QStringLiteral("かだい ") + count + QStringLiteral("こ"));
}

void MainMenuWindow::ChoosePupil1Click() {
    if (ctx_.choose_pupil) ctx_.choose_pupil();
    ShowPupil();
}

void MainMenuWindow::FormCreate() {
    ctx_.cues.SetSoundEnabled(false);
    help_file_ = QString::fromStdString(ctx_.exe_folder) + QStringLiteral("Sorelka.hlp");
    image_->show();
    prompt_->setText(QStringLiteral("「ボタン」を選んで始めてね！"));
    ShowPupil();
    startup_timer_->start();
}

void MainMenuWindow::SetScreens(std::vector<ExerciseScreen*> screens) {
    screens_ = std::move(screens);
}

void MainMenuWindow::ShowScreen(int index) {
    if (index < 0 || index >= static_cast<int>(screens_.size()) || !screens_[index]) return;
    screens_[index]->ShowModal();
    ShowPupil();  // the pupil may have been changed on the screen
}

void MainMenuWindow::ShowClock() { status_->ShowClock(ctx_.clock); }

void MainMenuWindow::StartupTick() {
    startup_timer_->stop();  // once per run, before anything else can re-enter
    ctx_.cues.SetSoundEnabled(true);
    ctx_.cues.PlayCue(Cue::Welcome);
}

void MainMenuWindow::QuitPressed() { ConfirmQuit(ctx_, "終わってもいいの？"); }

void MainMenuWindow::utorial1Click() {
    if (!help_window_) help_window_ = new HelpWindow(this);
    help_window_->ShowFile(help_file_);
}

void MainMenuWindow::About1Click() {
    ctx_.dialogs.ShowInformation(std::string("Sorelka\nVersion ") + SORELKA_VERSION);
}

}  // namespace sorelka
