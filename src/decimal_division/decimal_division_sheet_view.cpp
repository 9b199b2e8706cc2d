#include "decimal_division/decimal_division_sheet_view.h"

#include <QLabel>
#include <QListWidget>

#include "division/division_layout.h"
#include "division/division_roles.h"
#include "multiplication/multiplication_sheet_view.h"
#include "widgets/accessibility.h"
#include "widgets/choice_list.h"
#include "widgets/digit_columns_label.h"
#include "widgets/look.h"
#include "widgets/worksheet_view.h"

namespace sorelka::decimal_division {

namespace {

using division::kColumnWidth;

constexpr int kNumberFontPx = 40;

// The numbers of the sheet, each with what a screen reader calls it.
struct Number {
    const char* role;
    const char* spoken;
    Qt::Alignment align;
};
constexpr Number kNumbers[] = {
    {division::kDividendRole, "わられる数", Qt::AlignRight},
    {division::kDivisorRole, "わる数", Qt::AlignRight},
    {division::kQuotientRole, "商", Qt::AlignLeft},
    {division::kRowRoles[0], "さいしょの かけ算", Qt::AlignRight},
    {division::kRowRoles[1], "さいしょの ひき算", Qt::AlignRight},
    {division::kRowRoles[2], "２かいめの かけ算", Qt::AlignRight},
    {division::kRowRoles[3], "２かいめの ひき算", Qt::AlignRight},
    {division::kRowRoles[4], "３かいめの かけ算", Qt::AlignRight},
    {division::kRowRoles[5], "３かいめの ひき算", Qt::AlignRight},
    {role::kDividendZeros, "つけたした ０", Qt::AlignRight},
    {role::kOnesZero, "商の 一の位の ０", Qt::AlignRight},
    {role::kRounded, "がい数", Qt::AlignRight},
};
// The points, drawn on the line between two columns.
constexpr std::pair<const char*, const char*> kPoints[] = {
    {role::kDividendPoint, "わられる数の 小数点"},
    {role::kQuotientPoint, "商の 小数点"},
    {role::kRemainderPoint, "あまりの 小数点"},
};
QString NameOf(std::string_view role) { return QString::fromStdString(DecimalDivisionObjectName(role)); }

void Place(ChoiceList* list, SheetScreen where) {
    const QRect at = ListPlace(list->objectName().toUtf8().constData(), where);
    list->PlaceAt(at.left(), at.top(), at.width());
}

QStringList PointItems() {
    QStringList items;
    for (int places = 1; places <= kPointItems; ++places) items << QString::fromStdString(PointItemText(places));
    return items;
}

// A digit list's text line: a place's name such as "1/100" in a smaller
// type than a digit, so that it stays within the list's width.
void FitLine(ChoiceList* list) {
    auto* line = list->findChild<QLabel*>(QString(), Qt::FindDirectChildrenOnly);
    if (!line) return;
    const bool long_text = list->text().trimmed().size() > 2;
    line->setFont(SchoolFont(long_text ? 13 : 18, true));
}

}  // namespace

DecimalDivisionSheetView::DecimalDivisionSheetView(QWidget* screen, SheetScreen where)
    : screen_(screen), layout_(DecimalDivisionLayout(where)) {
    auto* paper = new SquaredPaper(screen, division::kOnesRight, kColumnWidth);
    paper->setGeometry(PaperRect(where));
    paper->lower();

    for (const Number& n : kNumbers) {
        auto* label = new DigitColumnsLabel(NameOf(n.role), n.align, kColumnWidth, screen);
        SetSpokenRole(label, QString::fromUtf8(n.spoken));
        label->hide();
    }
    SetTextColour(screen->findChild<QLabel*>(NameOf(division::kDividendRole)), kNavyColour);
    SetTextColour(screen->findChild<QLabel*>(NameOf(division::kDivisorRole)), kNavyColour);
    // The rounded row's point and ones 0 stand where the quotient's do.
    auto* rounded_zero = new DigitColumnsLabel(QString::fromLatin1(kRoundedZeroName), Qt::AlignRight, kColumnWidth,
                                               screen);
    SetSpokenRole(rounded_zero, QStringLiteral("がい数の 一の位の ０"));
    rounded_zero->hide();
    for (const auto& [role, spoken] : kPoints) {
        auto* point = new multiplication::ColumnFigure(NameOf(role), multiplication::ColumnFigure::Look::Point, screen);
        point->setFont(SchoolFont(kNumberFontPx));
        SetSpokenRole(point, QString::fromUtf8(spoken));
        point->hide();
    }
    auto* rounded_point = new multiplication::ColumnFigure(QString::fromLatin1(kRoundedPointName),
                                                           multiplication::ColumnFigure::Look::Point, screen);
    rounded_point->setFont(SchoolFont(kNumberFontPx));
    SetSpokenRole(rounded_point, QStringLiteral("がい数の 小数点"));
    rounded_point->hide();
    auto* about = new QLabel(screen);
    about->setObjectName(QString::fromLatin1(kRoundedAboutName));
    about->setFont(SchoolFont(28, true));
    about->setAlignment(Qt::AlignCenter);
    about->setAttribute(Qt::WA_TransparentForMouseEvents);
    about->hide();

    new ShapeWidget(NameOf(division::kDividendLineRole), ShapeWidget::Kind::Line, screen);
    for (const char* line : division::kUnderlineRoles) new ShapeWidget(NameOf(line), ShapeWidget::Kind::Line, screen);
    new PictureWidget(NameOf(division::kBracketRole), PictureWidget::Kind::Bracket, screen);
    new PictureWidget(NameOf(division::kMarkerRole), PictureWidget::Kind::Marker, screen);

    static constexpr const char* kHeadings[kDigitLists] = {"千", "百", "十", "一"};
    for (int i = 0; i < kDigitLists; ++i) {
        auto* list = new ChoiceList(QString::fromLatin1(kDigitListNames[i]), QString::fromUtf8(kHeadings[i]),
                                    ChoiceList::DigitItems(), screen);
        list->SetCentredItems(true);
        list->SetDigitKeys(true);
        Place(list, where);
        list->hide();
        digit_lists_[static_cast<std::size_t>(i)] = list;
    }
    QStringList actions;
    for (int i = 0; i < kActionItems; ++i) actions << QString::fromUtf8(SheetActionText(*SheetActionAt(i)));
    action_list_ = new ChoiceList(QString::fromLatin1(kActionListName), QStringLiteral(" 処理"), actions, screen);
    Place(action_list_, where);
    action_list_->hide();
    point_list_ = new ChoiceList(QString::fromLatin1(kPointListName), QStringLiteral("商の小数点"), PointItems(), screen);
    point_list_->SetSpokenName(QStringLiteral("商の 小数点の いち"));
    Place(point_list_, where);
    point_list_->hide();
    remainder_point_list_ = new ChoiceList(QString::fromLatin1(kRemainderPointListName), QStringLiteral("あまりの小数点"),
                                           PointItems(), screen);
    remainder_point_list_->SetSpokenName(QStringLiteral("あまりの 小数点の いち"));
    Place(remainder_point_list_, where);
    remainder_point_list_->hide();
}

void DecimalDivisionSheetView::HeadDigitLists(const Worksheet& cells) {
    // The steps head each column's list with its place in the problem.
    for (int i = 0; i < kDigitLists; ++i) {
        const std::string& heading =
            cells.at(division::kDigitListRoles[static_cast<std::size_t>(DigitListColumn(i) - 1)]).text;
        digit_lists_[static_cast<std::size_t>(i)]->SetHeading(QString::fromStdString(heading));
    }
}

void DecimalDivisionSheetView::Show(const DecimalDivisionSteps& steps) {
    ApplyWorksheet(screen_, ShownCells(steps.cells()), layout_);

    ShowLists(steps.has_problem());
    const std::optional<DecimalDivisionProblem> problem =
        steps.has_problem() ? std::optional(steps.problem()) : std::nullopt;
    if (problem != seen_problem_) {
        HeadDigitLists(steps.cells());
        seen_problem_ = problem;
    }
    if (steps.list_resets() != seen_resets_) {
        seen_resets_ = steps.list_resets();
        for (ChoiceList* list : digit_lists_) list->Reset();
        action_list_->Reset();
    }
    for (ChoiceList* list : digit_lists_) FitLine(list);
    const DecimalDivisionWork work = steps.work();
    point_list_->ShowChosen(problem && work.quotient_point ? *work.quotient_point - 1 : -1);
    remainder_point_list_->ShowChosen(problem && work.remainder_point ? *work.remainder_point - 1 : -1);
}

void DecimalDivisionSheetView::ShowLists(bool shown) {
    for (ChoiceList* list : digit_lists_) list->setVisible(shown);
    action_list_->setVisible(shown);
    point_list_->setVisible(shown);
    remainder_point_list_->setVisible(shown);
}

void DecimalDivisionSheetView::ResetLists() {
    for (ChoiceList* list : digit_lists_) list->Reset();
    action_list_->Reset();
    point_list_->Reset();
    remainder_point_list_->Reset();
}

}  // namespace sorelka::decimal_division
