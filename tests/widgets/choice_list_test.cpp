#include "widgets/choice_list.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include <QApplication>
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

// The contrast of two colours as the accessibility guidelines reckon it.
double Contrast(const QColor& a, const QColor& b) {
    const auto luminance = [](const QColor& c) {
        const auto channel = [](double v) {
            return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
    };
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// A pixel of item `row` as the list paints it: on its outline's left side
// (`rim`), or inside it, away from the text.
QColor PixelOf(ChoiceList* list, int row, bool rim) {
    const QRect item =
        list->ItemRect(row).translated(list->view()->viewport()->mapTo(list, QPoint(0, 0)));
    return list->grab().toImage().pixelColor(rim ? item.left() + 3 : item.right() - 10,
                                             item.center().y());
}

// The keyboard's highlight, read from the pixels the list paints: an outline
// without a fill, so it never looks like the chosen item's yellow, standing
// out at least 3 : 1 against the list and against the yellow it may outline.
TEST_F(ChoiceListTest, TheKeyboardHighlightIsAnOutlineThatStandsOutAndIsNoChoice) {
    QApplication::setActiveWindow(&window);
    ClickItem(digits, 3);
    QTest::keyClick(digits->view(), Qt::Key_Down);  // now a keyboard user's
    ASSERT_EQ(digits->highlighted_row(), 4);
    ASSERT_EQ(digits->current(), 3) << "moving is not choosing";
    const QColor list = PixelOf(digits, 6, false);
    const QColor chosen = PixelOf(digits, 3, false);
    const QColor outline = PixelOf(digits, 4, true);
    EXPECT_EQ(chosen, kChosenItemColour);
    EXPECT_EQ(list, kListBackground);
    EXPECT_EQ(PixelOf(digits, 4, false), list) << "no fill: the highlighted item looks like any other";
    EXPECT_EQ(outline, kKeyboardHighlightColour);
    EXPECT_GE(Contrast(outline, list), 3.0);
    EXPECT_GE(Contrast(outline, chosen), 3.0);

    QTest::keyClick(digits->view(), Qt::Key_Up);  // onto the chosen item: yellow, outlined
    EXPECT_EQ(PixelOf(digits, 3, true), kKeyboardHighlightColour);
    EXPECT_EQ(PixelOf(digits, 3, false), kChosenItemColour);
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
