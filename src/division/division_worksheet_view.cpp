#include "division/division_worksheet_view.h"

#include <QPainter>

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

    auto* dividend = new DigitColumnsLabel(QStringLiteral("Label5"), Qt::AlignRight, kColumnWidth, parent);
    auto* divisor = new DigitColumnsLabel(QStringLiteral("Label6"), Qt::AlignRight, kColumnWidth, parent);
    SetTextColour(dividend, kNavyColour);
    SetTextColour(divisor, kNavyColour);
    auto* quotient = new DigitColumnsLabel(QStringLiteral("Label7"), Qt::AlignLeft, kColumnWidth, parent);
    SetSpokenRole(dividend, QStringLiteral("わられる数"));
    SetSpokenRole(divisor, QStringLiteral("わる数"));
    SetSpokenRole(quotient, QStringLiteral("商"));
    // Label8 … Label13: the product and the difference of each round, in turn.
    static const char* const rounds[] = {"さいしょの", "２かいめの", "３かいめの"};
    for (int n = 8; n <= 13; ++n) {
        auto* row = new DigitColumnsLabel(QStringLiteral("Label%1").arg(n), Qt::AlignRight,
                                          kColumnWidth, parent);
        SetSpokenRole(row, QString::fromUtf8(rounds[(n - 8) / 2]) + QStringLiteral(" ") +
                               (n % 2 == 0 ? QStringLiteral("かけ算") : QStringLiteral("ひき算")));
    }
    for (int n = 1; n <= 4; ++n)
        new ShapeWidget(QStringLiteral("Shape%1").arg(n), ShapeWidget::Kind::Line, parent);
    new PictureWidget(QStringLiteral("Image2"), PictureWidget::Kind::Bracket, parent);
    new PictureWidget(QStringLiteral("Image3"), PictureWidget::Kind::Marker, parent);

    // Thousands on the left, ones on the right, then the actions.
    int left = lists_left;
    for (int place = kThousands; place >= kOnes; --place) {
        static const char* headings[] = {"", "一", "十", "百", "千"};
        auto* list = new ChoiceList(QString::fromStdString(DigitListName(place)),
                                    QString::fromUtf8(headings[place]), ChoiceList::DigitItems(),
                                    parent);
        list->SetDigitKeys(true);
        list->PlaceAt(left, lists_top, kDigitListWidth);
        digit_lists_[place] = list;
        left += kDigitListWidth + kListGap;
    }
    action_list_ = new ChoiceList(
        QString::fromUtf8(kActionListName), QStringLiteral(" 処理"),
        {QStringLiteral(" 確定"), QStringLiteral("　・"), QStringLiteral("飛ばし"),
         QStringLiteral("　・"), QStringLiteral("クリア"), QStringLiteral("　・"),
         QStringLiteral("終わり")},
        parent);
    action_list_->PlaceAt(left + kListGap, lists_top, kActionListWidth);
}

void DivisionWorksheetView::ClearChoices() {
    for (int place = kOnes; place <= kThousands; ++place) digit_lists_[place]->Reset();
    action_list_->Reset();
}

void DivisionWorksheetView::Sync(const LongDivision& model) {
    ApplyWorksheet(root_, model.worksheet());
    if (model.list_resets() == seen_resets_) return;
    seen_resets_ = model.list_resets();
    for (int place = kOnes; place <= kThousands; ++place) {
        ChoiceList* list = digit_lists_[place];
        list->SetHeading(QString::fromStdString(model.worksheet().at(DigitListName(place)).text));
        list->Reset();
    }
    action_list_->SetHeading(QString::fromStdString(model.worksheet().at(kActionListName).text));
    action_list_->Reset();
}

}  // namespace sorelka::division
