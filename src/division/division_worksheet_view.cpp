#include "division/division_worksheet_view.h"

#include <QPainter>

#include "division/division_layout.h"
#include "widgets/accessibility.h"
#include "widgets/choice_list.h"
#include "widgets/digit_columns_label.h"
#include "widgets/look.h"
#include "widgets/worksheet_view.h"

namespace sorelka::division {

namespace {

constexpr int kDigitListWidth = 52;
constexpr int kListGap = 4;
constexpr int kActionListWidth = 92;

}  // namespace

DivisionWorksheetView::DivisionWorksheetView(QWidget* parent, int lists_left, int lists_top)
    : root_(parent) {
    auto* paper = new SquaredPaper(parent, kOnesRight, kColumnWidth);
    paper->setGeometry(300, 168, 312, 392);
    paper->lower();

    const auto name = [](std::string_view role) { return QString::fromStdString(DivisionObjectName(role)); };
    const auto number = [&](std::string_view role, Qt::Alignment align, const char* spoken) {
        auto* label = new DigitColumnsLabel(name(role), align, kColumnWidth, parent);
        SetSpokenRole(label, QString::fromUtf8(spoken));
        return label;
    };
    SetTextColour(number(kDividendRole, Qt::AlignRight, "わられる数"), kNavyColour);
    SetTextColour(number(kDivisorRole, Qt::AlignRight, "わる数"), kNavyColour);
    number(kQuotientRole, Qt::AlignLeft, "商");
    // The product and the difference of each round, in turn.
    static const char* const rows[] = {"さいしょの かけ算", "さいしょの ひき算", "２かいめの かけ算",
                                       "２かいめの ひき算", "３かいめの かけ算", "３かいめの ひき算"};
    for (int row = 0; row < 6; ++row) number(kRowRoles[row], Qt::AlignRight, rows[row]);
    new ShapeWidget(name(kDividendLineRole), ShapeWidget::Kind::Line, parent);
    for (const char* line : kUnderlineRoles) new ShapeWidget(name(line), ShapeWidget::Kind::Line, parent);
    new PictureWidget(name(kBracketRole), PictureWidget::Kind::Bracket, parent);
    new PictureWidget(name(kMarkerRole), PictureWidget::Kind::Marker, parent);

    // Thousands on the left, ones on the right, then the actions.
    int left = lists_left;
    for (int column = kThousands; column >= kOnes; --column) {
        static const char* headings[] = {"", "一", "十", "百", "千"};
        auto* list = new ChoiceList(name(kDigitListRoles[column - 1]), QString::fromUtf8(headings[column]),
                                    ChoiceList::DigitItems(), parent);
        list->SetDigitKeys(true);
        list->PlaceAt(left, lists_top, kDigitListWidth);
        digit_lists_[column] = list;
        left += kDigitListWidth + kListGap;
    }
    action_list_ = new ChoiceList(
        name(kActionListRole), QStringLiteral(" 処理"),
        {QStringLiteral(" 確定"), QStringLiteral("　・"), QStringLiteral("飛ばし"),
         QStringLiteral("　・"), QStringLiteral("クリア"), QStringLiteral("　・"),
         QStringLiteral("終わり")},
        parent);
    action_list_->PlaceAt(left + kListGap, lists_top, kActionListWidth);
}

void DivisionWorksheetView::ClearChoices() {
    for (int column = kOnes; column <= kThousands; ++column) digit_lists_[column]->Reset();
    action_list_->Reset();
}

void DivisionWorksheetView::Sync(const LongDivision& model) {
    ApplyWorksheet(root_, model.worksheet(), DivisionLayout);
    if (model.list_resets() == seen_resets_) return;
    seen_resets_ = model.list_resets();
    for (int column = kOnes; column <= kThousands; ++column) {
        ChoiceList* list = digit_lists_[column];
        list->SetHeading(QString::fromStdString(model.worksheet().at(kDigitListRoles[column - 1]).text));
        list->Reset();
    }
    action_list_->SetHeading(QString::fromStdString(model.worksheet().at(kActionListRole).text));
    action_list_->Reset();
}

}  // namespace sorelka::division
