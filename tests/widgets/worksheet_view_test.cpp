#include "widgets/worksheet_view.h"

#include <gtest/gtest.h>

#include <QLabel>

#include "support/screen_support.h"
#include "widgets/accessibility.h"
#include "widgets/mistake_finder.h"

namespace sorelka {
namespace {

// A place a pupil may point at is named by the column its digit stands in:
// counted from the number's last digit, or, where the topic knows better
// (a quotient begun a column too high), by the place the topic gives.
TEST(RolePlaceName, NamesADigitByTheColumnItStandsIn) {
    QWidget screen;
    auto* quotient = new QLabel(QStringLiteral("92"), &screen);
    quotient->setObjectName(QStringLiteral("Label7"));
    SetSpokenRole(quotient, QStringLiteral("商"));
    EXPECT_EQ(RolePlaceName(&screen, {"Label7", RoleCell::Digit::FromLeft, 0}), QStringLiteral("商の 十の位"));
    EXPECT_EQ(RolePlaceName(&screen, {"Label7", RoleCell::Digit::FromLeft, 0, 3}), QStringLiteral("商の 百の位"));
    EXPECT_EQ(RolePlaceName(&screen, {"Label7", RoleCell::Digit::FromLeft, 1, 2}), QStringLiteral("商の 十の位"));
    EXPECT_EQ(RolePlaceName(&screen, {"Label7"}), QStringLiteral("商"));
}

TEST(ApplyWorksheet, CopiesTextColourPositionAndVisibilityOntoTheNamedWidgets) {
    QWidget root;
    auto* label = new QLabel(&root);
    label->setObjectName("Label7");
    label->setGeometry(10, 20, 120, 48);
    auto* line = new ShapeWidget("Shape2", ShapeWidget::Kind::Line, &root);
    line->setGeometry(400, 300, 120, 3);

    Worksheet sheet;
    sheet["Label7"] = {.text = "12", .left = 524, .colour = kBlue};
    sheet["Shape2"] = {.top = 330, .visible = false};
    sheet["Label99"] = {.text = "no such widget"};
    ApplyWorksheet(&root, sheet);

    EXPECT_EQ(label->text(), "12");
    EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(0, 0, 0xFF));
    EXPECT_EQ(label->geometry(), QRect(524, 20, 120, 48)) << "top and size kept";
    EXPECT_EQ(line->geometry(), QRect(400, 330, 120, 3));
    EXPECT_TRUE(line->isHidden());

    sheet["Label7"].colour = kNavy;
    sheet["Shape2"].visible = true;
    ApplyWorksheet(&root, sheet);
    EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(0, 0, 0x80));
    EXPECT_FALSE(line->isHidden());
}

}  // namespace
}  // namespace sorelka
