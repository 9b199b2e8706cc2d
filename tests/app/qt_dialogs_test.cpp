// The real message boxes of the program (not the fakes): each is closed from
// inside its own event loop by a single-shot timer, as a pupil would close it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <functional>

#include "core/app_context.h"

#include "app/qt_services.h"
#include "support/fakes.h"
#include "support/screen_support.h"

namespace sorelka {
namespace {

using namespace sorelka::testing;

TEST(QtDialogsTest, QuitQuestionKeepsTheProgramOnlyOnNo) {
    struct Case {
        const char* how;
        std::function<void(QMessageBox*)> close;
        Answer expected;
    } cases[] = {
        {"Yes", [](QMessageBox* b) { b->button(QMessageBox::Yes)->click(); }, Answer::Yes},
        {"No", [](QMessageBox* b) { b->button(QMessageBox::No)->click(); }, Answer::No},
        {"Esc", [](QMessageBox* b) { QTest::keyClick(b, Qt::Key_Escape); }, Answer::Closed},
        {"close", [](QMessageBox* b) { b->close(); }, Answer::Closed},
        {"Return on the default button",
         [](QMessageBox* b) { QTest::keyClick(b, Qt::Key_Return); }, Answer::No},
    };
    FakeServices services;
    QtDialogs dialogs;
    int quits = 0;
    AppContext ctx{{}, services.cues, dialogs, services.clock, services.random, "/nonexistent/",
                   [&] { ++quits; }};
    for (const Case& c : cases) {
        // Arms a timer that answers the next box from inside its event loop.
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        int opened = 0;
        auto answer_next_box = [&] {
            QTimer::singleShot(0, [&] {
                auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                if (!box) return;
                ++opened;
                icon = box->icon();
                c.close(box);
            });
        };
        answer_next_box();
        EXPECT_EQ(dialogs.AskYesNo("終わってもいいの？"), c.expected) << c.how;
        answer_next_box();
        quits = 0;
        const bool ending = ConfirmQuit(ctx, "終わってもいいの？");
        ASSERT_EQ(opened, 2) << c.how;
        EXPECT_EQ(icon, QMessageBox::Question) << c.how;
        EXPECT_EQ(ending, c.expected != Answer::No) << c.how;
        EXPECT_EQ(quits, ending ? 1 : 0) << c.how;
    }
}

TEST(QtDialogsTest, PlainMessagesHaveNoIconAndInformationHasItsOwn) {
    QtDialogs dialogs;
    struct Case {
        std::function<void()> show;
        QMessageBox::Icon icon;
    } cases[] = {
        {[&] { dialogs.ShowMessage("十の位を選んでね！"); }, QMessageBox::NoIcon},
        {[&] { dialogs.ShowInformation("Sorelka\nVersion 1.1"); }, QMessageBox::Information},
    };
    for (const Case& c : cases) {
        bool opened = false;
        QMessageBox::Icon icon = QMessageBox::Warning;
        QString title;
        int buttons = 0;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) return;
            opened = true;
            icon = box->icon();
            title = box->windowTitle();
            buttons = int(box->standardButtons());
            QTest::keyClick(box, Qt::Key_Escape);
        });
        c.show();
        ASSERT_TRUE(opened);
        EXPECT_EQ(icon, c.icon);
        EXPECT_EQ(Utf8(title), "Sorelka");
        EXPECT_EQ(buttons, int(QMessageBox::Ok));
    }
}

// A name (or a file's text) inside a message is shown as written: markup in
// it hides nothing of the rest of the question.
TEST(QtDialogsTest, TextInAMessageIsShownLiterally) {
    QtDialogs dialogs;
    const std::string name = "<font color=white>はなこ</font>";
    const std::string text = "「" + name + "」の 答え 12こも けしますか？";
    const std::function<void()> shows[] = {
        [&] { dialogs.ShowMessage(text); },
        [&] { dialogs.ShowInformation(text); },
        [&] { dialogs.AskYesNo(text); },
    };
    for (const auto& show : shows) {
        bool opened = false;
        Qt::TextFormat format = Qt::RichText;
        QString shown;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) return;
            opened = true;
            format = box->textFormat();
            if (auto* label = box->findChild<QLabel*>("qt_msgbox_label")) shown = label->text();
            box->close();
        });
        show();
        ASSERT_TRUE(opened);
        EXPECT_EQ(format, Qt::PlainText);
        EXPECT_EQ(Utf8(shown), text);
    }
}

}  // namespace
}  // namespace sorelka
