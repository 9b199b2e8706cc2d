#include "rules/rules_worksheet_view.h"

#include <QPainter>
#include <map>

#include "rules/rules_layout.h"
#include "widgets/accessibility.h"
#include "widgets/choice_list.h"
#include "widgets/digit_columns_label.h"
#include "widgets/look.h"
#include "widgets/worksheet_view.h"

namespace sorelka::rules {

namespace {

constexpr int kDigitPixels = 40;
constexpr int kDigitListWidth = 52;
constexpr int kListGap = 3;
constexpr int kActionListWidth = 74;

}  // namespace

RulesWorksheetView::RulesWorksheetView(QWidget* parent, int lists_left, int lists_top)
    : root_(parent) {
    auto* paper = new SquaredPaper(parent, kRulesOnesEdge, kRulesColumnWidth);
    paper->setGeometry(60, 198, 586, 292);
    paper->lower();

    const int column = kRulesColumnWidth;
    std::map<int, QLabel*> cells;
    for (int n : {4, 5, 6, 8, 9, 10, 11, 12, 14, 15, 17, 18, 19, 20}) {
        cells[n] = new DigitColumnsLabel(QStringLiteral("Label%1").arg(n), Qt::AlignRight, column, parent);
        SetTextColour(cells[n], kNavyColour);
    }
    cells[16] = new DigitColumnsLabel(QStringLiteral("Label16"), Qt::AlignLeft, column, parent);
    SetTextColour(cells[16], kNavyColour);
    for (int n : {7, 13}) {
        auto* sign = new QLabel(parent);
        cells[n] = sign;
        sign->setObjectName(QStringLiteral("Label%1").arg(n));
        sign->setFont(SchoolFont(kDigitPixels));
        sign->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        sign->setAttribute(Qt::WA_TransparentForMouseEvents);
        SetTextColour(sign, kNavyColour);
    }
    for (int n = 1; n <= 6; ++n) {
        new ShapeWidget(QStringLiteral("Shape%1").arg(n), ShapeWidget::Kind::Line, parent);
    }
    // The cells of the three written calculations, by role and place.
    static const struct {
        int label;
        const char* role;
    } kRoles[] = {{4, "たし算・ひき算 上の数"},  {5, "たし算・ひき算 下の数"},
                  {6, "たし算・ひき算 答え"},   {7, "たし算・ひき算 記号"},
                  {8, "かけ算 かけられる数"},   {9, "かけ算 かける数"},
                  {13, "かけ算 記号"},          {10, "かけ算 一の位を かけた 答え"},
                  {11, "かけ算 十の位を かけた 答え"}, {12, "かけ算 答え"},
                  {14, "わられる数"},           {15, "わる数"},
                  {16, "商"},                   {17, "さいしょの かけ算"},
                  {18, "さいしょの ひき算"},    {19, "２かいめの かけ算"},
                  {20, "２かいめの ひき算"}};
    for (const auto& r : kRoles) SetSpokenRole(cells.at(r.label), QString::fromUtf8(r.role));
    new PictureWidget(QStringLiteral("Image2"), PictureWidget::Kind::Bracket, parent);
    new PictureWidget(QStringLiteral("Image3"), PictureWidget::Kind::Marker, parent);
    new PictureWidget(QStringLiteral("Image4"), PictureWidget::Kind::Marker, parent);

    // Thousands on the left, ones on the right, then the actions with the
    // operations under them.
    static const char* const headings[] = {"千", "百", "十", "一"};
    int left = lists_left;
    for (int i = 0; i < 4; ++i) {
        auto* list = new ChoiceList(QStringLiteral("ComboBox%1").arg(5 - i), QString::fromUtf8(headings[i]),
                                    ChoiceList::DigitItems(), parent);
        list->SetDigitKeys(true);
        list->PlaceAt(left, lists_top, kDigitListWidth);
        digit_lists_[i] = list;
        left += kDigitListWidth + kListGap;
    }
    action_list_ = new ChoiceList(QStringLiteral("ComboBox6"), QStringLiteral("処理"),
                                  {QStringLiteral(" 確定"), QStringLiteral("　・"),
                                   QStringLiteral("クリア"), QStringLiteral("　・"),
                                   QStringLiteral("終わり")},
                                  parent);
    action_list_->PlaceAt(left + kListGap, lists_top, kActionListWidth);
    operation_list_ = new ChoiceList(QStringLiteral("ComboBox7"), QStringLiteral("計算"),
                                     {QStringLiteral(" ＋"), QStringLiteral(" －"),
                                      QStringLiteral(" ×"), QStringLiteral(" ÷")},
                                     parent);
    operation_list_->PlaceAt(left + kListGap, action_list_->geometry().bottom() + 10,
                             kActionListWidth);
}

ChoiceList* RulesWorksheetView::digit_list(Place place) const {
    switch (place) {
        case Place::Thousands: return digit_lists_[0];
        case Place::Hundreds: return digit_lists_[1];
        case Place::Tens: return digit_lists_[2];
        case Place::Ones: return digit_lists_[3];
        default: return nullptr;
    }
}

void RulesWorksheetView::Apply(const Worksheet& sheet) { ApplyWorksheet(root_, sheet, RulesLayout); }

void RulesWorksheetView::ResetEntryLists() {
    for (ChoiceList* list : digit_lists_) list->Reset();
    action_list_->Reset();
}

void RulesWorksheetView::ResetOperationList() { operation_list_->Reset(); }

void RulesWorksheetView::ShowEntryLists(bool entry_lists, bool operation_list) {
    for (ChoiceList* list : digit_lists_) list->setVisible(entry_lists);
    action_list_->setVisible(entry_lists);
    operation_list_->setVisible(operation_list);
}

}  // namespace sorelka::rules
