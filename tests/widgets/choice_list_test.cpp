#include "widgets/choice_list.h"

#include <gtest/gtest.h>

#include <QListWidget>
#include <QSignalSpy>
#include <QTest>

#include "support/screen_support.h"

namespace sorelka {
namespace {

using testing::ClickItem;
using testing::Utf8;

struct ChoiceListTest : ::testing::Test {
    QWidget window;
    ChoiceList* digits = new ChoiceList("ComboBox2", "一", ChoiceList::DigitItems(), &window);
    ChoiceList* actions = new ChoiceList(
        "ComboBox6", " 処理", {" 確定", "　・", "飛ばし", "　・", "クリア", "　・", "終わり"}, &window);
    std::vector<int> chosen;

    void SetUp() override {
        window.resize(600, 500);
        digits->PlaceAt(10, 10, 80);
        actions->PlaceAt(200, 10, 120);
        QObject::connect(digits, &ChoiceList::chosen, [this](int i) { chosen.push_back(i); });
        window.show();
    }
};

TEST_F(ChoiceListTest, DigitItemsAreFullWidthWithTheSevenFollowedByAnIdeographicSpace) {
    const QStringList items = ChoiceList::DigitItems();
    ASSERT_EQ(items.size(), 10);
    EXPECT_EQ(Utf8(items[0]), "０");
    EXPECT_EQ(Utf8(items[7]), "７　");
    EXPECT_EQ(Utf8(items[9]), "９");
}

TEST_F(ChoiceListTest, EveryItemIsVisibleWithoutScrolling) {
    for (int i = 0; i < 10; ++i) {
        EXPECT_TRUE(digits->view()->viewport()->rect().contains(digits->ItemRect(i))) << i;
    }
    for (int i = 0; i < 7; ++i) {
        EXPECT_TRUE(actions->view()->viewport()->rect().contains(actions->ItemRect(i))) << i;
    }
}

TEST_F(ChoiceListTest, AClickReportsThePositionEvenWhenTheSameItemIsChosenAgain) {
    EXPECT_EQ(Utf8(digits->text()), "一");
    ClickItem(digits, 7);
    ClickItem(digits, 7);
    ClickItem(digits, 0);
    EXPECT_EQ(chosen, (std::vector<int>{7, 7, 0}));
    EXPECT_EQ(digits->current(), 0);
    EXPECT_EQ(Utf8(digits->text()), "０");
}

TEST_F(ChoiceListTest, ResetRestoresTheHeadingAndReportsNothing) {
    ClickItem(digits, 4);
    digits->Reset();
    EXPECT_EQ(chosen, std::vector<int>{4});
    EXPECT_EQ(digits->current(), -1);
    EXPECT_EQ(Utf8(digits->text()), "一");
    EXPECT_TRUE(digits->view()->selectedItems().isEmpty());
    ClickItem(digits, 4);
    EXPECT_EQ(chosen, (std::vector<int>{4, 4}));

    digits->SetHeading("十");
    EXPECT_EQ(Utf8(digits->text()), "４") << "the chosen item's text stays while chosen";
    digits->Reset();
    EXPECT_EQ(Utf8(digits->text()), "十");
}

TEST_F(ChoiceListTest, TypedTextNeverBecomesAChoiceButReturnChoosesTheHighlightedItem) {
    digits->view()->setFocus();
    QTest::keyClicks(digits->view(), "abc5");
    EXPECT_TRUE(chosen.empty());
    EXPECT_EQ(Utf8(digits->text()), "一");

    QTest::keyClick(digits->view(), Qt::Key_Down);
    QTest::keyClick(digits->view(), Qt::Key_Down);
    EXPECT_TRUE(chosen.empty()) << "moving the highlight is not a choice";
    QTest::keyClick(digits->view(), Qt::Key_Return);
    ASSERT_EQ(chosen.size(), 1u);
    EXPECT_EQ(chosen[0], digits->view()->currentRow());
}

TEST_F(ChoiceListTest, DigitKeysChooseOnDigitListsOnly) {
    digits->SetDigitKeys(true);
    QTest::keyClick(digits->view(), Qt::Key_3);
    QTest::keyClick(digits->view(), Qt::Key_3);
    EXPECT_EQ(chosen, (std::vector<int>{3, 3}));

    std::vector<int> actions_chosen;
    QObject::connect(actions, &ChoiceList::chosen, [&](int i) { actions_chosen.push_back(i); });
    QTest::keyClick(actions->view(), Qt::Key_6);
    EXPECT_TRUE(actions_chosen.empty());
}

TEST_F(ChoiceListTest, ChoosingOutsideTheItemsIsIgnored) {
    digits->Choose(10);
    digits->Choose(-1);
    EXPECT_TRUE(chosen.empty());
    digits->Choose(9);
    EXPECT_EQ(chosen, std::vector<int>{9});
}

}  // namespace
}  // namespace sorelka
