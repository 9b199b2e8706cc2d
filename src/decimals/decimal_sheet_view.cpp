#include "decimals/decimal_sheet_view.h"

#include <QLabel>
#include <QListWidget>

#include "decimals/decimal_layout.h"
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

DecimalSheetView::DecimalSheetView(QWidget* screen, const SheetPlace& place)
    : screen_(screen), layout_(DecimalLayout(place)) {
    const auto name = [&place](const std::string& role) {
        return QString::fromStdString(DecimalObjectName(role, place));
    };
    // A sheet of paper behind the written calculation, shown with the line.
    auto* paper = new ShapeWidget(name(role::kPaper), ShapeWidget::Kind::Frame, screen);
    paper->SetColours(QColor(0xB8, 0xC0, 0xE8), Qt::white);
    paper->setGeometry(PaperRect());
    paper->hide();

    // Figures a little wider than the font's own, so that each fills its column.
    QFont numbers = SchoolFont(kNumberFontPx);
    numbers.setStretch(115);
    static const char* const kFigures[][2] = {
        {role::kUpper, "上の数"}, {role::kLower, "下の数"}, {role::kAnswer, "答え"}};
    for (const auto& [figure_role, spoken] : kFigures) {
        auto* figure = new FigureLabel(name(figure_role), screen);
        figure->setFont(numbers);
        SetSpokenRole(figure, QString::fromUtf8(spoken));
    }
    auto* sign = new QLabel(screen);
    SetSpokenRole(sign, QStringLiteral("記号"));
    sign->setObjectName(name(role::kOperator));
    sign->setFont(numbers);
    sign->setAlignment(Qt::AlignCenter);

    auto* line = new ShapeWidget(name(role::kLine), ShapeWidget::Kind::Line, screen);
    line->SetColours(Qt::red, Qt::red);

    static constexpr const char* kHeadings[kColumnCount] = {"十", "一", "一", "二", "三"};
    for (int c = 0; c < kColumnCount; ++c) {
        auto* list = new ChoiceList(name(ListRole(Column(c))), QString::fromUtf8(kHeadings[c]),
                                    ChoiceList::DigitItems(), screen);
        static constexpr const char* kNames[kColumnCount] = {
            "十の位の数字", "一の位の数字", "小数第一位の数字", "小数第二位の数字",
            "小数第三位の数字"};
        list->SetSpokenName(QString::fromUtf8(kNames[c]));
        FitNarrowList(list, 18);
        list->SetDigitKeys(true);
        const QPoint at = ListPlace(Column(c), place);
        list->PlaceAt(at.x(), at.y(), kDigitListWidth);
        list->hide();
        digit_lists_[c] = list;
    }
    action_list_ = new ChoiceList(name(role::kActionList), QStringLiteral(" 処理"), {QStringLiteral("終わり")},
                                  screen);
    FitNarrowList(action_list_, 17);
    action_list_->PlaceAt(ActionListPlace(place).x(), ActionListPlace(place).y(), kActionListWidth);
    action_list_->hide();

    // A worked example's small figures above the columns of the upper number,
    // the strokes through its lenders and the zeros the numbers are read with.
    static constexpr const char* kColumnNames[kColumnCount] = {"十の位", "一の位", "小数第一位", "小数第二位",
                                                               "小数第三位"};
    const bool adds = place.operation == Operation::Addition;
    for (int c = 0; c < kColumnCount; ++c) {
        const auto column = static_cast<Column>(c);
        auto* mark = new QLabel(screen);
        mark->setObjectName(name(MarkRole(place.operation, column)));
        mark->setFont(SchoolFont(kMarkFontPx, true));
        mark->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
        mark->setAttribute(Qt::WA_TransparentForMouseEvents);
        SetSpokenRole(mark, QString::fromUtf8(kColumnNames[c]) +
                                QString::fromUtf8(adds ? "への くり上がり" : "の くり下げた あとの 数"));
        mark->hide();
        if (!adds) (new StrikeMark(name(StrikeRole(column)), screen))->hide();
    }
    for (const auto& [zeros_role, spoken] : {std::pair{role::kUpperZeros, "上の数に つけた ０"},
                                             std::pair{role::kLowerZeros, "下の数に つけた ０"}}) {
        auto* zeros = new FigureLabel(name(zeros_role), screen);
        zeros->setFont(numbers);
        zeros->setAttribute(Qt::WA_TransparentForMouseEvents);
        SetSpokenRole(zeros, QString::fromUtf8(spoken));
        zeros->hide();
    }

    auto* point = new StackedLabel(name(role::kPoint), screen);
    point->setFont(SchoolFont(15, true));
    SetSpokenRole(point, QStringLiteral("小数点"));
    point->setGeometry(QRect(PointPlace(place), QSize(kPointColumnWidth, digit_lists_[0]->height())));
}

void DecimalSheetView::Show(const DecimalSheet& sheet) {
    ApplyWorksheet(screen_, sheet.cells(), layout_);
    if (sheet.entry_lists_resets() != seen_list_resets_) {
        seen_list_resets_ = sheet.entry_lists_resets();
        for (ChoiceList* list : digit_lists_) list->Reset();
        action_list_->Reset();
    }
}

}  // namespace sorelka::decimals
