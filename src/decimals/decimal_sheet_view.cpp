#include "decimals/decimal_sheet_view.h"

#include <QLabel>
#include <QListWidget>

#include "decimals/figure_label.h"
#include "widgets/accessibility.h"
#include "widgets/choice_list.h"
#include "widgets/look.h"
#include "widgets/worksheet_view.h"

namespace sorelka::decimals {

namespace {

constexpr int kNumberFontPx = 40;
constexpr int kMarkFontPx = 20;
constexpr int kDigitListWidth = 25;
constexpr int kActionListWidth = 65;

// A list as narrow as its column: its figures (and "終わり") centred.
void FitNarrowList(ChoiceList* list, int font_px) {
    list->view()->setFont(SchoolFont(font_px));
    list->SetCentredItems(true);
}

}  // namespace

DecimalSheetView::DecimalSheetView(QWidget* screen, const SheetPlace& place) : screen_(screen) {
    // A sheet of paper behind the written calculation, shown with the line
    // (the cell Paper1).
    auto* paper = new ShapeWidget(QStringLiteral("Paper1"), ShapeWidget::Kind::Frame, screen);
    paper->SetColours(QColor(0xB8, 0xC0, 0xE8), Qt::white);
    paper->setGeometry(298, 204, 268, 184);
    paper->hide();

    // Figures a little wider than the font's own, so that each fills its column.
    QFont numbers = SchoolFont(kNumberFontPx);
    numbers.setStretch(115);
    static const char* const kFigures[][2] = {
        {"Label5", "上の数"}, {"Label6", "下の数"}, {"Label7", "答え"}};
    for (const auto& [name, role] : kFigures) {
        auto* figure = new FigureLabel(QString::fromLatin1(name), screen);
        figure->setFont(numbers);
        SetSpokenRole(figure, QString::fromUtf8(role));
    }
    auto* sign = new QLabel(screen);
    SetSpokenRole(sign, QStringLiteral("記号"));
    sign->setObjectName(QString::fromStdString(place.operator_label));
    sign->setFont(numbers);
    sign->setAlignment(Qt::AlignCenter);

    auto* line = new ShapeWidget(QStringLiteral("Shape1"), ShapeWidget::Kind::Line, screen);
    line->SetColours(Qt::red, Qt::red);

    static constexpr const char* kHeadings[kColumnCount] = {"十", "一", "一", "二", "三"};
    const ColumnLayout widest = ColumnsFor(3);
    const int lefts[kColumnCount] = {widest.tens, widest.ones, widest.tenths, widest.hundredths,
                                     widest.thousandths};
    for (int c = 0; c < kColumnCount; ++c) {
        auto* list = new ChoiceList(QString::fromLatin1(DecimalSheet::ListName(Column(c))),
                                    QString::fromUtf8(kHeadings[c]), ChoiceList::DigitItems(),
                                    screen);
        static constexpr const char* kNames[kColumnCount] = {
            "十の位の数字", "一の位の数字", "小数第一位の数字", "小数第二位の数字",
            "小数第三位の数字"};
        list->SetSpokenName(QString::fromUtf8(kNames[c]));
        FitNarrowList(list, 18);
        list->SetDigitKeys(true);
        list->PlaceAt(lefts[c], place.columns_top, kDigitListWidth);
        list->hide();
        digit_lists_[c] = list;
    }
    action_list_ = new ChoiceList(QStringLiteral("ComboBox7"), QStringLiteral(" 処理"),
                                  {QStringLiteral("終わり")}, screen);
    FitNarrowList(action_list_, 17);
    action_list_->PlaceAt(kActionListLeft, place.columns_top, kActionListWidth);
    action_list_->hide();

    // A worked example's small figures above the columns of the upper number,
    // the strokes through its lenders and the zeros the numbers are read with.
    static constexpr const char* kColumnNames[kColumnCount] = {"十の位", "一の位", "小数第一位", "小数第二位",
                                                               "小数第三位"};
    const bool adds = place.operation == Operation::Addition;
    for (int c = 0; c < kColumnCount; ++c) {
        const auto column = static_cast<Column>(c);
        auto* mark = new QLabel(screen);
        mark->setObjectName(QString::fromStdString(DecimalSheet::MarkName(place.operation, column)));
        mark->setFont(SchoolFont(kMarkFontPx, true));
        mark->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
        mark->setAttribute(Qt::WA_TransparentForMouseEvents);
        SetSpokenRole(mark, QString::fromUtf8(kColumnNames[c]) +
                                QString::fromUtf8(adds ? "への くり上がり" : "の くり下げた あとの 数"));
        mark->hide();
        if (!adds) (new StrikeMark(QString::fromStdString(DecimalSheet::StrikeName(column)), screen))->hide();
    }
    for (const auto& [name, role] : {std::pair{DecimalSheet::kUpperZeros, "上の数に つけた ０"},
                                     std::pair{DecimalSheet::kLowerZeros, "下の数に つけた ０"}}) {
        auto* zeros = new FigureLabel(QString::fromLatin1(name), screen);
        zeros->setFont(numbers);
        zeros->setAttribute(Qt::WA_TransparentForMouseEvents);
        SetSpokenRole(zeros, QString::fromUtf8(role));
        zeros->hide();
    }

    auto* point = new StackedLabel(QStringLiteral("Label11"), screen);
    point->setFont(SchoolFont(15, true));
    SetSpokenRole(point, QStringLiteral("小数点"));
    point->setGeometry(widest.point, place.columns_top, 20, digit_lists_[0]->height());
}

void DecimalSheetView::Show(const DecimalSheet& sheet) {
    ApplyWorksheet(screen_, sheet.cells());
    if (sheet.entry_lists_resets() != seen_list_resets_) {
        seen_list_resets_ = sheet.entry_lists_resets();
        for (ChoiceList* list : digit_lists_) list->Reset();
        action_list_->Reset();
    }
}

}  // namespace sorelka::decimals
