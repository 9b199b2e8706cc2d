// The program as a screen reader and a keyboard-only pupil meet it: every
// widget a pupil reads or uses carries a Japanese accessible name, the
// worksheet cells are named by role and place, the verdict is announced, and
// one problem of each kind is worked to "○" with key presses alone.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QScopeGuard>
#include <QTimer>
#include <functional>

#include "app/main_window.h"
#include "app/program.h"
#include "app/pupil_dialog.h"
#include "drill/drill_log.h"
#include "drill/score_sheet.h"
#include "record/learning_record.h"
#include "support/fakes.h"
#include "support/keyboard.h"
#include "support/screen_support.h"
#include "widgets/accessibility.h"
#include "widgets/choice_list.h"
#include "widgets/exercise_screen.h"

namespace sorelka {
namespace {

using namespace sorelka::testing;

QString NameOf(QObject* object) {
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(object);
    return iface ? iface->text(QAccessible::Name) : QString();
}

bool IsJapanese(const QString& text) {
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if ((u >= 0x3040 && u <= 0x30FF) || (u >= 0x4E00 && u <= 0x9FFF) || (u >= 0xFF10 && u <= 0xFF5A))
            return true;
    }
    return false;
}

// The widgets a pupil reads or uses: buttons, lists, tables, edits, and
// labels showing a text (or named by a role, shown even when empty).
bool ReadOrUsed(QWidget* w) {
    if (qobject_cast<QAbstractButton*>(w) || qobject_cast<QAbstractItemView*>(w) ||
        qobject_cast<QLineEdit*>(w) || qobject_cast<ChoiceList*>(w))
        return true;
    if (auto* label = qobject_cast<QLabel*>(w))
        return !label->text().trimmed().isEmpty() || label->property("spokenRole").isValid();
    return false;
}

// Every visible widget under `form` a pupil reads or uses has a Japanese name
// that is not its object name.
void ExpectAllNamed(QWidget* form, const std::string& when) {
    int checked = 0;
    for (QWidget* w : form->findChildren<QWidget*>()) {
        if (!w->isVisible() || w->window() != form->window() || !ReadOrUsed(w)) continue;
        const QString name = NameOf(w);
        ++checked;
        EXPECT_TRUE(!name.isEmpty() && IsJapanese(name) && name != w->objectName())
            << Utf8(form->objectName()) << " " << when << ": " << Utf8(w->objectName()) << " ("
            << w->metaObject()->className() << ") is heard as \"" << Utf8(name) << "\"";
    }
    EXPECT_GT(checked, 2) << Utf8(form->objectName()) << " " << when;
}

struct ProgramTest : ::testing::Test {
    QTemporaryDir data;
    FakeServices services;
    std::unique_ptr<Program> program;

    void SetUp() override {
        QAccessible::setActive(true);
        program = std::make_unique<Program>(services.ctx, data.path() + "/kyozai.db");
        window()->show();
        QApplication::setActiveWindow(window());
    }
    void TearDown() override {
        program.reset();
        QAccessible::installUpdateHandler(nullptr);
    }
    MainMenuWindow* window() const { return program->main_window(); }
};

TEST_F(ProgramTest, EveryFormNamesWhatAPupilReadsOrUses) {
    ExpectAllNamed(window(), "menu");
    for (ExerciseScreen* screen : program->screens()) {
        screen->ShowModeless();
        ExpectAllNamed(screen, "shown");
        // With a problem on screen (a drill started) the worksheet is out too;
        // a placeholder of a topic being built has no menu list yet.
        auto* menu = screen->findChild<ChoiceList*>("ComboBox1");
        if (!menu) {
            screen->hide();
            continue;
        }
        menu->Choose(0);
        for (ChoiceList* list : screen->findChildren<ChoiceList*>())
            if (list->spoken_name() == QStringLiteral("時間")) list->Choose(0);
        if (auto* start = screen->findChild<QAbstractButton*>("CuteButton3"); start && start->isVisible())
            start->click();
        ExpectAllNamed(screen, "with a problem");
        screen->hide();
    }
    // A mouse user sees no focus frame on the list clicked.
    ExerciseScreen* division = program->screens()[0];
    division->ShowModeless();
    QApplication::setActiveWindow(division);
    ClickItem(division, "ComboBox1", 1);
    EXPECT_TRUE(Find<ChoiceList>(division, "ComboBox1")->view()->hasFocus());
    EXPECT_FALSE(Find<ChoiceList>(division, "ComboBox1")->shows_focus_frame());
    division->hide();

    PupilDialog dialog(program->learning_record(), window());
    program->learning_record().AddPupil(QStringLiteral("はなこ"));
    dialog.show();
    ExpectAllNamed(&dialog, "shown");
}

// The cells of each written calculation by role and place, as heard.
TEST_F(ProgramTest, WorksheetCellsAndListsAreNamedByRoleAndPlace) {
    struct Case {
        int screen;  // 0 = TForm2
        const char* widget;
        const char* heard;  // the start of the name
    };
    const Case cases[] = {
        {0, "Label5", "わられる数"},          {0, "Label6", "わる数"},
        {0, "Label7", "商"},                  {0, "Label8", "さいしょの かけ算"},
        {0, "Label9", "さいしょの ひき算"},   {0, "Label12", "３かいめの かけ算"},
        {0, "Label13", "３かいめの ひき算"},  {0, "Label3", "まる ばつ"},
        {0, "ComboBox2_items", "一の位の数字"}, {0, "ComboBox3_items", "十の位の数字"},
        {0, "ComboBox5_items", "千の位の数字"}, {0, "ComboBox6_items", "処理"},
        {0, "ComboBox1_items", "メニュー"},    {1, "ComboBox7_items", "時間"},
        {1, "DBGrid1", "せいせき表"},          {2, "Label11", "小数点"},
        {2, "Label7", "答え"},                 {2, "ComboBox4_items", "小数第一位の数字"},
        {2, "ComboBox2_items", "小数第三位の数字"}, {6, "Label14", "わられる数"},
        {6, "Label16", "商"},                  {6, "Label10", "かけ算 一の位を かけた 答え"},
        {6, "Label18", "さいしょの ひき算"},
        {8, "Label9", "答え 分子"},            {8, "Label8", "答え 分母"},
        {8, "Label5", "もんだい 分母"},
    };
    for (const Case& c : cases) {
        QWidget* w = Find<QWidget>(program->screens()[c.screen], c.widget);
        if (!w) continue;
        EXPECT_TRUE(NameOf(w).startsWith(QString::fromUtf8(c.heard)))
            << "TForm" << c.screen + 2 << " " << c.widget << ": " << Utf8(NameOf(w));
    }
    // A cell is heard with its number, without the padding that aligns it.
    EXPECT_EQ(SpokenName(QStringLiteral("商"), QStringLiteral("　１２ ")), QStringLiteral("商　１２"));
    // The ten menu buttons by topic and kind.
    const char* topics[] = {"わり算", "小数のたし算", "小数のひき算", "計算のきまり", "分数の表し方"};
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(NameOf(Find<QWidget>(window(), QStringLiteral("CuteButton%1").arg(3 + i))),
                  QString::fromUtf8(topics[i / 2]) +
                      (i % 2 ? QStringLiteral(" ドリル") : QStringLiteral(" 練習問題")));
    // The score sheet is a table read with its column titles.
    program->drill_log().AppendDrillRow({1, " 12 ÷ 3", "4", "4", "○", 0, 0});
    program->drill_log().ReopenDrillLog();
    auto* grid = Find<ScoreSheet>(program->screens()[1], "DBGrid1");
    QAccessibleTableInterface* table = QAccessible::queryAccessibleInterface(grid)->tableInterface();
    ASSERT_NE(table, nullptr);
    QStringList heard;
    for (int c = 0; c < table->columnCount(); ++c)
        if (!grid->isColumnHidden(c)) heard << table->columnDescription(c);
    EXPECT_FALSE(heard.isEmpty());
    for (const QString& title : grid->Titles()) EXPECT_TRUE(heard.contains(title)) << Utf8(title);
}

// ---- Keyboard alone -------------------------------------------------------

// A digit list with the focus takes the digit key itself.
void Digits(std::initializer_list<std::pair<const char*, int>> digits) {
    for (auto [list, digit] : digits) {
        TabTo(QString::fromLatin1(list));
        Key(Qt::Key_0 + digit);
    }
}

struct KeyboardTest : ProgramTest {
    // Accessibility events: each object whose name changed, with the name it had then.
    static inline std::vector<std::pair<QString, QString>> heard;

    void SetUp() override {
        ProgramTest::SetUp();
        // Qt raises accessibility events only while an assistive technology
        // listens: on the accessibility bus (this test is run there too) the
        // bridge comes up within moments.
        if (qEnvironmentVariableIsSet("SORELKA_A11Y_BUS")) {
            for (int waited = 0; !QAccessible::isActive() && waited < 10000; waited += 50)
                QTest::qWait(50);
            ASSERT_TRUE(QAccessible::isActive()) << "no accessibility bridge";
        }
        heard.clear();
        QAccessible::installUpdateHandler([](QAccessibleEvent* event) {
            if (event->type() == QAccessible::NameChanged && event->object())
                heard.emplace_back(event->object()->objectName(), NameOf(event->object()));
        });
    }

    // Whether `object` was heard as `name`; always true where no assistive
    // technology listens, as Qt then raises no events at all.
    bool Announced(const char* object, const char* name) const {
        if (!QAccessible::isActive()) return true;
        return std::find(heard.begin(), heard.end(),
                         std::pair{QString::fromLatin1(object), QString::fromUtf8(name)}) != heard.end();
    }
};

TEST_F(KeyboardTest, DivisionWithATwoDigitQuotient) {
    FromMenu("CuteButton3", [&](QWidget* screen) {
        EXPECT_TRUE(FocusIn("ComboBox1")) << "the screen opens on its menu";
        services.random.Feed({5, 156 - 100, 6 - 2});  // 156 ÷ 6
        Pick("ComboBox1", 0);
        EXPECT_EQ(LabelText(screen, "Label4"), "156 ÷ 6 = ?");
        Digits({{"ComboBox3", 2}});
        Pick("ComboBox6", 0);  // " 確定"
        Digits({{"ComboBox3", 1}, {"ComboBox2", 2}});
        Pick("ComboBox6", 0);
        Digits({{"ComboBox3", 3}, {"ComboBox2", 6}});
        Pick("ComboBox6", 0);
        Digits({{"ComboBox2", 6}});
        Pick("ComboBox6", 0);
        Digits({{"ComboBox3", 3}, {"ComboBox2", 6}});
        Pick("ComboBox6", 0);
        Digits({{"ComboBox2", 0}});
        Pick("ComboBox6", 0);
        EXPECT_TRUE(Find<ChoiceList>(screen, "ComboBox6")->shows_focus_frame());
        Pick("ComboBox6", 6);  // "終わり"
        EXPECT_EQ(LabelText(screen, "Label3"), "○");
        EXPECT_EQ(NameOf(Find<QLabel>(screen, "Label3")), "せいかい");
        EXPECT_TRUE(Announced("Label3", "せいかい")) << "heard without moving the focus";
        EXPECT_TRUE(Announced("Label2", "「次へ」ボタンで進めてね！"));
        EXPECT_EQ(NameOf(Find<QLabel>(screen, "Label7")), "商　26");
    });
}

TEST_F(KeyboardTest, DecimalAdditionDrillQuestion) {
    FromMenu("CuteButton6", [&](QWidget* screen) {
        Pick("ComboBox1", 0);
        Pick("ComboBox8", 0);
        services.random.Feed({0, 2, 6});  // 0.3 + 0.7
        Press("CuteButton3");              // "スタート"
        Digits({{"ComboBox5", 1}, {"ComboBox4", 0}});
        Pick("ComboBox7", 0);  // "終わり"
        const std::vector<DrillRow> rows = program->drill_log().Rows();
        ASSERT_EQ(rows.size(), 1u);
        EXPECT_EQ(rows[0].hnt, " ○");
        EXPECT_EQ(Find<ScoreSheet>(screen, "DBGrid1")->RowTexts(0).join(' ').contains("○"), true);
    });
}

TEST_F(KeyboardTest, BoxProblemOfTheRulesOfCalculation) {
    FromMenu("CuteButton9", [&](QWidget* screen) {
        services.random.Feed({4, 0, 1, 5});  // □ x 7 = 84
        Pick("ComboBox1", 3);
        Pick("ComboBox7", 3);  // " ÷"
        const auto confirm = [] { Pick("ComboBox6", 0); };
        Digits({{"ComboBox3", 1}});
        confirm();
        Digits({{"ComboBox2", 7}});
        confirm();
        Digits({{"ComboBox3", 1}, {"ComboBox2", 4}});
        confirm();
        Digits({{"ComboBox2", 2}});
        confirm();
        Digits({{"ComboBox3", 1}, {"ComboBox2", 4}});
        confirm();
        Digits({{"ComboBox2", 0}});
        Pick("ComboBox6", 4);  // "終わり"
        EXPECT_EQ(LabelText(screen, "Label21"), "○");
        EXPECT_TRUE(Announced("Label21", "せいかい"));
    });
}

TEST_F(KeyboardTest, FractionMixedToImproper) {
    FromMenu("CuteButton11", [&](QWidget* screen) {
        services.random.Feed({1, 3, 2});  // 2 and 3/5
        Pick("ComboBox1", 1);
        for (auto [value, action] : {std::pair{4, 0}, {5, 1}, {13, 2}}) {
            Digits({{"ComboBox3", value / 10}, {"ComboBox2", value % 10}});
            Pick("ComboBox4", action);
        }
        Pick("ComboBox4", 4);  // "終わり"
        EXPECT_EQ(LabelText(screen, "Label3"), "○");
        EXPECT_TRUE(Announced("Label3", "せいかい"));
    });
}

// Return and the keypad's Enter press the button that has the focus, on the
// main menu (a window, where Qt itself would not), on a screen and in a
// dialog; in a list Enter still chooses the highlighted item. A list the
// focus arrives in shows its highlight on the chosen item, or the first, and
// the arrows move it one item at a time.
TEST_F(KeyboardTest, EnterPressesTheFocusedButtonAndListsHighlightWhereTheFocusArrives) {
    bool ran = false;
    QTimer::singleShot(0, [&] {
        QWidget* screen = QApplication::activeModalWidget();
        ASSERT_NE(screen, nullptr) << "Enter on the menu's button opens the screen";
        const auto close = qScopeGuard([screen] { screen->close(); });
        QApplication::setActiveWindow(screen);
        ASSERT_TRUE(QTest::qWaitForWindowActive(screen));
        auto* menu = Find<ChoiceList>(screen, "ComboBox1");
        ASSERT_TRUE(FocusIn("ComboBox1"));
        EXPECT_EQ(menu->highlighted_row(), 0) << "the first item, when none is chosen";
        Key(Qt::Key_Down);
        EXPECT_EQ(menu->highlighted_row(), 1) << "one item down: ２けたでわる";
        services.random.Feed({3, 313, 49});  // 413 ÷ 59
        Key(Qt::Key_Return);
        EXPECT_EQ(menu->current(), 1) << "Enter in a list chooses";
        EXPECT_EQ(LabelText(screen, "Label4"), "413 ÷ 59 = ?");

        TabTo("ComboBox6");
        auto* actions = Find<ChoiceList>(screen, "ComboBox6");
        EXPECT_EQ(actions->highlighted_row(), 0) << "確定, not the ・ after it";
        Key(Qt::Key_Down);
        Key(Qt::Key_Up);
        EXPECT_EQ(actions->highlighted_row(), 0);
        TabTo("ComboBox1");
        EXPECT_EQ(menu->highlighted_row(), 1) << "back on the chosen item";

        services.random.Feed({3, 645, 4});  // 745 ÷ 14
        TabTo("CuteButton3");  // 次へ
        Key(Qt::Key_Enter, Qt::KeypadModifier);
        EXPECT_EQ(LabelText(screen, "Label4"), "745 ÷ 14 = ?") << "the keypad's Enter";
        TabTo("CuteButton1");  // 終る, answered No
        Key(Qt::Key_Return);
        EXPECT_EQ(services.dialogs.texts().size(), 1u);
        ran = true;
        TabTo("CuteButton2");  // 目次
        Key(Qt::Key_Return);
    });
    TabTo("CuteButton3");
    Key(Qt::Key_Return);
    EXPECT_TRUE(ran);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << "目次 by Enter: back at the menu";

    program->learning_record().AddPupil(QStringLiteral("たろう"));
    PupilDialog dialog(program->learning_record(), window());
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    TabTo("PupilButton1");
    Key(Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(program->learning_record().current_pupil(), QStringLiteral("たろう"));
}

// Shift+Tab walks back the way Tab came, and a dialog opens on its useful button.
TEST_F(KeyboardTest, TabOrderReadsLikeThePageAndDialogsOpenOnTheirButton) {
    FromMenu("CuteButton3", [&](QWidget*) {
        services.random.Feed({5, 56, 4});
        Pick("ComboBox1", 0);
        QStringList forth;
        for (int i = 0; i < 10; ++i) {
            Key(Qt::Key_Tab);
            forth << QApplication::focusWidget()->objectName();
        }
        EXPECT_EQ(forth.mid(0, 10),
                  (QStringList{"FindTheMistake", "ComboBox5_items", "ComboBox4_items", "ComboBox3_items",
                               "ComboBox2_items", "ComboBox6_items", "CuteButton3", "CuteButton2",
                               "CuteButton1", "ComboBox1_items"}));
        QStringList back;
        for (int i = 0; i < 9; ++i) {
            Key(Qt::Key_Tab, Qt::ShiftModifier);
            back.prepend(QApplication::focusWidget()->objectName());
        }
        EXPECT_EQ(back, forth.mid(0, 9));
    });
    program->learning_record().AddPupil(QStringLiteral("たろう"));
    program->learning_record().ChoosePupil(QStringLiteral("たろう"));
    PupilDialog dialog(program->learning_record(), window());
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    EXPECT_EQ(QApplication::focusWidget()->objectName(), "PupilButton1") << "the pupil chosen now";
    EXPECT_EQ(NameOf(QApplication::focusWidget()), "たろう");
}

}  // namespace
}  // namespace sorelka
