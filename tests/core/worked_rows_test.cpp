#include "core/worked_rows.h"

#include <gtest/gtest.h>

namespace sorelka {
namespace {

TEST(WorkedRows, KeepsVisibleWrittenCellsInLayoutOrder) {
    Worksheet sheet;
    sheet["Label10"].text = "12";
    sheet["Label5"].text = "408";
    sheet["Label9"].text = "";           // nothing written
    sheet["Label7"].text = "4";
    sheet["Label7"].visible = false;     // hidden: not on the sheet
    sheet["Shape1"].text = "";
    sheet["Label11"].text = "0";
    const WorkedRows rows = WorkedRowsOf(sheet);
    const WorkedRows expected{{"Label5", "408"}, {"Label10", "12"}, {"Label11", "0"}};
    EXPECT_EQ(rows, expected);
    EXPECT_EQ(CellText(rows, "Label10"), "12");
    EXPECT_EQ(CellText(rows, "Label7"), "");
}

TEST(WorkedRows, NaturalNameOrder) {
    const char* ordered[] = {"Label1", "Label2", "Label9", "Label10", "Label010x", "Label11",
                             "Label100", "Shape1", "Shape2a"};
    for (std::size_t i = 0; i + 1 < std::size(ordered); ++i) {
        EXPECT_TRUE(NaturalNameLess(ordered[i], ordered[i + 1])) << ordered[i];
        EXPECT_FALSE(NaturalNameLess(ordered[i + 1], ordered[i])) << ordered[i];
    }
    EXPECT_FALSE(NaturalNameLess("Label5", "Label5"));
}

}  // namespace
}  // namespace sorelka
