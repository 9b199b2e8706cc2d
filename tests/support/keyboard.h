#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QScopeGuard>
#include <QString>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <functional>

#include "support/screen_support.h"

// The keyboard alone, as a pupil without a mouse uses the program: keys go
// to the widget with the focus, Tab moves it, lists take Home, Down and
// Enter, buttons take Space.
namespace sorelka::testing {

// The key goes where the keyboard sends it: to the widget with the focus.
inline void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWidget* target = QApplication::focusWidget();
    if (!target) target = QApplication::activeModalWidget();
    ASSERT_NE(target, nullptr) << "no focus";
    QTest::keyClick(target, static_cast<Qt::Key>(key), modifiers);
}

inline bool FocusIn(const QString& name) {
    for (QWidget* w = QApplication::focusWidget(); w; w = w->parentWidget())
        if (w->objectName() == name) return true;
    return false;
}

// Presses Tab until `name` (a button, or a list holding its items) has the focus.
inline void TabTo(const QString& name) {
    for (int i = 0; i < 40 && !FocusIn(name); ++i) Key(Qt::Key_Tab);
    ASSERT_TRUE(FocusIn(name)) << "Tab never reaches " << Utf8(name);
}

// Item `index` of a list: Home, then Down, then Enter.
inline void Pick(const QString& list, int index) {
    TabTo(list);
    Key(Qt::Key_Home);
    for (int i = 0; i < index; ++i) Key(Qt::Key_Down);
    Key(Qt::Key_Return);
}

inline void Press(const char* button) {
    TabTo(QString::fromLatin1(button));
    Key(Qt::Key_Space);
}

// From the main menu: Tab to a topic's button, Space, work the screen it
// opens with `work`, then go back by "目次".
inline void FromMenu(const char* button, const std::function<void(QWidget*)>& work) {
    bool ran = false;
    QTimer::singleShot(0, [&] {
        QWidget* screen = QApplication::activeModalWidget();
        ASSERT_NE(screen, nullptr);
        // A failed step must not leave the screen open and the test waiting.
        const auto close = qScopeGuard([screen] { screen->close(); });
        QApplication::setActiveWindow(screen);
        ASSERT_TRUE(QTest::qWaitForWindowActive(screen));
        work(screen);
        ran = true;
        Press("CuteButton2");
    });
    TabTo(QString::fromLatin1(button));
    Key(Qt::Key_Space);
    EXPECT_TRUE(ran);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << "back at the menu";
}

}  // namespace sorelka::testing
