#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>

#include "app/help_window.h"
#include "app/main_window.h"
#include "app/program.h"
#include "drill/drill_log.h"
#include "support/fakes.h"
#include "support/screen_support.h"
#include "widgets/status_clock.h"

namespace sorelka {
namespace {

using namespace sorelka::testing;

struct MainMenuTest : ::testing::Test {
    QTemporaryDir data;
    FakeServices services;
    std::unique_ptr<Program> program;

    void SetUp() override { Start(); }
    void Start() {
        program.reset();
        program = std::make_unique<Program>(services.ctx, data.path() + "/kyozai.db");
        window()->show();
        QApplication::setActiveWindow(window());
    }
    MainMenuWindow* window() const { return program->main_window(); }
    QTimer* timer(const char* name) const { return Find<QTimer>(window(), name); }
};

TEST_F(MainMenuTest, StartUpCreatesAllFifteenFormsInOrderWithTheirCaptions) {
    EXPECT_EQ(Utf8(program->drill_log().objectName()), "DataModule1");
    const auto& forms = program->forms();
    ASSERT_EQ(forms.size(), 15u);
    for (int i = 0; i < 15; ++i) {
        EXPECT_EQ(Utf8(forms[i]->objectName()), "TForm" + std::to_string(i + 1));
        const char* caption = i == 9 ? "Form10" : i == 10 ? "Form11" : "Sorelka";
        EXPECT_EQ(Utf8(forms[i]->windowTitle()), caption) << "form " << i + 1;
    }
    EXPECT_EQ(window()->size(), QSize(955, 716));
    EXPECT_EQ(Utf8(LabelText(window(), "Label4")), "目　次");
    EXPECT_EQ(Utf8(LabelText(window(), "Label5")), "「ボタン」を選んで始めてね！");
    EXPECT_TRUE(Find<QWidget>(window(), "Image1")->isVisible());
    EXPECT_TRUE(timer("Timer1")->isActive());
    EXPECT_EQ(timer("Timer1")->interval(), 1000);
    EXPECT_TRUE(timer("Timer3")->isActive()) << "the start-up tick is armed";
}

TEST_F(MainMenuTest, ApplicationTitleAndClosingTheMainWindowNeedsNoConfirmation) {
    NameApplication();
    // No display name of its own, so title bars show the captions alone.
    EXPECT_EQ(Utf8(QGuiApplication::applicationDisplayName()), "Sorelka");
    EXPECT_EQ(Utf8(QGuiApplication::desktopFileName()), "sorelka");
    EXPECT_TRUE(window()->close());
    EXPECT_TRUE(services.dialogs.shown.empty());
}

TEST_F(MainMenuTest, TopicButtonsStandInTopicOrderPracticeAboveDrill) {
    const char* headings[] = {"１．わり算", "２．小数のたし算", "３．小数のひき算",
                              "４．計算のきまり", "５．分数の表し方", "６．小数のかけ算", "７．小数のわり算"};
    int last_top = -1;
    for (int t = 0; t < 7; ++t) {
        auto* practice = Find<QAbstractButton>(window(), QStringLiteral("CuteButton%1").arg(3 + 2 * t));
        auto* drill = Find<QAbstractButton>(window(), QStringLiteral("CuteButton%1").arg(4 + 2 * t));
        auto* heading = Find<QLabel>(window(), QStringLiteral("Label%1").arg(6 + t));
        ASSERT_TRUE(practice && drill && heading);
        EXPECT_EQ(Utf8(practice->text()), "練習問題");
        EXPECT_EQ(Utf8(drill->text()), "ドリル");
        EXPECT_EQ(Utf8(heading->text()), headings[t]);
        EXPECT_GT(practice->y(), last_top) << "below the row above";
        EXPECT_LT(practice->geometry().bottom(), drill->y()) << "practice above drill, apart";
        EXPECT_EQ(practice->x(), drill->x()) << "one column";
        EXPECT_NEAR(heading->geometry().center().y(), (practice->y() + drill->geometry().bottom()) / 2, 2)
            << "heading level with the middle of its two buttons";
        last_top = drill->geometry().bottom();
    }
    EXPECT_EQ(Utf8(Find<QAbstractButton>(window(), "CuteButton2")->text()), "終る");
}

TEST_F(MainMenuTest, StartUpCueSoundsExactlyOnceAfterTheTickAndEarlierCuesStaySilent) {
    services.cues.PlayCue(Cue::Choice);  // a screen asking for a cue during the first second
    EXPECT_TRUE(services.cues.audible_cues().empty());

    // Let the real one-shot timer fire, then wait well past a second tick.
    ASSERT_TRUE(QTest::qWaitFor([&] { return !services.cues.audible_cues().empty(); }, 3000));
    QTest::qWait(1300);
    EXPECT_EQ(services.cues.audible_cues(), std::vector<unsigned>{16});
    EXPECT_FALSE(timer("Timer3")->isActive());
    EXPECT_TRUE(services.cues.SoundEnabled());
}

TEST_F(MainMenuTest, ClockPanelIsEmptyUntilTheFirstTickThenShowsTheTwelveHourClock) {
    auto* status = Find<StatusClockBar>(window(), "StatusBar1");
    EXPECT_EQ(status->panel_text(1), QString());
    services.clock.now = {2026, 12, 8, 13, 23, 0};
    window()->ShowClock();
    EXPECT_EQ(Utf8(status->panel_text(1)), "12/08  01:23 PM");
    services.clock.now = {2026, 1, 2, 0, 5, 0};
    window()->ShowClock();
    EXPECT_EQ(Utf8(status->panel_text(1)), "01/02  12:05 AM");
    EXPECT_EQ(Utf8(status->panel_text(0)), "なまえ：ゲスト");
}

TEST_F(MainMenuTest, QuitEndsTheProgramUnlessTheAnswerIsNo) {
    services.dialogs.answers = {Answer::No, Answer::Yes, Answer::Closed};
    Click(window(), "CuteButton2");
    EXPECT_EQ(services.quit_requests, 0);
    ASSERT_EQ(services.dialogs.shown.size(), 1u);
    EXPECT_EQ(services.dialogs.shown[0].kind, FakeDialogs::Kind::Question);
    EXPECT_EQ(services.dialogs.shown[0].text, "終わってもいいの？");
    Click(window(), "CuteButton2");
    EXPECT_EQ(services.quit_requests, 1);
    Click(window(), "CuteButton2");
    EXPECT_EQ(services.quit_requests, 2) << "closing the box another way also ends";
}

TEST_F(MainMenuTest, AboutShowsNameAndVersion) {
    Find<QAction>(window(), "About1")->trigger();
    ASSERT_EQ(services.dialogs.shown.size(), 1u);
    EXPECT_EQ(services.dialogs.shown[0].kind, FakeDialogs::Kind::Information);
    EXPECT_EQ(services.dialogs.shown[0].text, "Sorelka\nVersion 1.1");
}

TEST_F(MainMenuTest, HelpOpensTheFileBesideTheExecutableOrSaysItIsMissing) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    services.ctx.exe_folder = (folder.path() + "/").toStdString();
    Start();
    EXPECT_EQ(window()->help_file(), folder.path() + "/Sorelka.hlp");

    Find<QAction>(window(), "utorial1")->trigger();
    ASSERT_NE(window()->help_window(), nullptr);
    EXPECT_TRUE(window()->help_window()->isVisible());
    EXPECT_TRUE(window()->help_window()->browser()->toPlainText().contains("見つかりません"));

    QFile file(folder.path() + "/Sorelka.hlp");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("<html><body><h1>つかいかた</h1><p>目次から選びます。</p></body></html>");
    file.close();
    Find<QAction>(window(), "utorial1")->trigger();
    EXPECT_TRUE(window()->help_window()->browser()->toPlainText().contains("目次から選びます。"));
}

TEST_F(MainMenuTest, TheShippedHelpFileIsJapaneseHtml) {
    services.ctx.exe_folder = ExecutableFolder();
    Start();
    Find<QAction>(window(), "utorial1")->trigger();
    const QString text = window()->help_window()->browser()->toPlainText();
    EXPECT_TRUE(text.contains("練習問題"));
    EXPECT_TRUE(text.contains("ドリル"));
    EXPECT_FALSE(text.contains("見つかりません"));
}

// Each menu button shows its screen modally; "目次" closes it and the menu is
// usable again. The check runs inside the screen's own event loop.
TEST_F(MainMenuTest, EveryMenuButtonShowsItsScreenModallyAndMokujiReturns) {
    for (int i = 0; i < 10; ++i) {
        const QString expected = QStringLiteral("TForm%1").arg(i + 2);
        QString seen;
        bool menu_blocked = false;
        QTimer::singleShot(0, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (modal) seen = modal->objectName();
            menu_blocked = modal && modal->isModal();
            if (modal) Click(modal, "CuteButton2");
        });
        Click(window(), QStringLiteral("CuteButton%1").arg(3 + i));
        EXPECT_EQ(seen, expected);
        EXPECT_TRUE(menu_blocked);
        EXPECT_FALSE(program->forms()[i + 1]->isVisible()) << Utf8(expected) << " closed again";
    }
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

// Every screen's show handler greets the pupil with a cue, on every visit.
TEST_F(MainMenuTest, ShowingAScreenRunsItsShowHandlerEveryTime) {
    for (int i = 0; i < 10; ++i) {
        for (int visit = 1; visit <= 2; ++visit) {
            services.cues.clear();
            std::size_t cues_while_shown = 0;
            QTimer::singleShot(0, [&] {
                cues_while_shown = services.cues.calls.size();
                Click(QApplication::activeModalWidget(), "CuteButton2");
            });
            Click(window(), QStringLiteral("CuteButton%1").arg(3 + i));
            EXPECT_GE(cues_while_shown, 1u) << "screen " << i + 2 << ", visit " << visit;
        }
    }
}

TEST_F(MainMenuTest, QuitOnAnExerciseScreenAsksAndEndsTheProgram) {
    services.dialogs.answers = {Answer::No, Answer::Yes};
    QTimer::singleShot(0, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        Click(modal, "CuteButton1");  // No: the screen stays
        EXPECT_TRUE(modal->isVisible());
        Click(modal, "CuteButton1");  // Yes: the program ends
        EXPECT_EQ(services.quit_requests, 1);
        if (modal->isVisible()) Click(modal, "CuteButton2");
    });
    Click(window(), "CuteButton4");
    EXPECT_EQ(services.quit_requests, 1);
}

}  // namespace
}  // namespace sorelka
