#include "widgets/choice_list.h"

#include <gtest/gtest.h>

#include <QImage>
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

// Left and right edge of the dark pixels drawn for item `index`, in the
// coordinates of the item's own rectangle; {-1, -1} when nothing is drawn.
std::pair<int, int> InkColumns(ChoiceList* list, int index) {
    const QRect rect = list->ItemRect(index);
    const QImage image = list->view()->viewport()->grab(rect).toImage();
    int first = -1, last = -1;
    for (int x = 0; x < image.width(); ++x) {
        for (int y = 0; y < image.height(); ++y) {
            if (qGray(image.pixel(x, y)) < 128) {
                if (first < 0) first = x;
                last = x;
                break;
            }
        }
    }
    return {first, last};
}

TEST_F(ChoiceListTest, ACentredDigitListOneFigureWideShowsEveryDigitWhole) {
    auto* narrow = new ChoiceList("ComboBox4", "一", ChoiceList::DigitItems(), &window);
    narrow->SetCentredItems(true);
    narrow->PlaceAt(400, 10, 25);
    narrow->show();
    const int width = narrow->ItemRect(8).width();
    for (int digit : {1, 7, 8}) {
        const auto [left, right] = InkColumns(narrow, digit);
        ASSERT_GE(left, 0) << digit;
        EXPECT_GT(left, 0) << digit << " is not cut at the left";
        EXPECT_LT(right, width - 1) << digit << " is not cut at the right";
        EXPECT_NEAR((left + right) / 2.0, (width - 1) / 2.0, 3.0) << digit << " stands centred";
    }
    std::vector<int> reported;
    QObject::connect(narrow, &ChoiceList::chosen, [&](int i) { reported.push_back(i); });
    ClickItem(narrow, 7);
    EXPECT_EQ(reported, std::vector<int>{7});
    EXPECT_EQ(Utf8(narrow->text()), "７　") << "the item keeps its text";
    EXPECT_EQ(Utf8(narrow->findChild<QLabel*>("ComboBox4_text")->text()), "７");
}

}  // namespace
}  // namespace sorelka
