#include "multiplication/multiplication_sheet_view.h"

#include <QListWidget>
#include <QPainter>

#include "widgets/accessibility.h"
#include "widgets/choice_list.h"
#include "widgets/look.h"
#include "widgets/worksheet_view.h"

namespace sorelka::multiplication {

namespace {

constexpr int kNumberFontPx = 40;
constexpr int kCarryFontPx = 18;

// The roles with a widget of the sheet (the screens' own lines aside), each
// with what a screen reader calls it.
struct Figure {
    const char* role;
    const char* spoken;
    ColumnFigure::Look look;
    int font_px;
};
constexpr Figure kFigures[] = {
    {role::kMultiplicand, "かけられる数", ColumnFigure::Look::Digits, kNumberFontPx},
    {role::kMultiplier, "かける数", ColumnFigure::Look::Digits, kNumberFontPx},
    {role::kSign, "記号", ColumnFigure::Look::Digits, kNumberFontPx},
    {role::kRow1, "一の位の かけ算", ColumnFigure::Look::Digits, kNumberFontPx},
    {role::kRow2, "十の位の かけ算", ColumnFigure::Look::Digits, kNumberFontPx},
    {role::kProduct, "答え", ColumnFigure::Look::Digits, kNumberFontPx},
    {role::kPoint, "答えの 小数点", ColumnFigure::Look::Point, kNumberFontPx},
    {role::kOnesZero, "一の位の ０", ColumnFigure::Look::Digits, kNumberFontPx},
    {role::kStrikes, "消した ０", ColumnFigure::Look::Strokes, kNumberFontPx},
    {role::kCarries1, "一の位の かけ算の くり上がり", ColumnFigure::Look::Digits, kCarryFontPx},
    {role::kCarries2, "十の位の かけ算の くり上がり", ColumnFigure::Look::Digits, kCarryFontPx},
    {role::kCarries3, "たし算の くり上がり", ColumnFigure::Look::Digits, kCarryFontPx},
};
constexpr const char* kShapes[] = {role::kLine, role::kSumLine, role::kMarker};

QString NameOf(const char* role) { return QString::fromStdString(MultiplicationObjectName(role)); }

void Place(ChoiceList* list, SheetScreen where) {
    const QRect at = ListPlace(list->objectName().toUtf8().constData(), where);
    list->PlaceAt(at.left(), at.top(), at.width());
}

// The digits of the row being written, as they stand.
const RowDigits& RowBeingWritten(const MultiplicationSteps& steps) {
    const MultiplicationWork& work = steps.work();
    const auto row = static_cast<std::size_t>(steps.current_row());
    return !steps.on_product() && row < work.rows.size() ? work.rows[row] : work.product;
}

}  // namespace

ColumnFigure::ColumnFigure(const QString& name, Look look, QWidget* parent) : QLabel(parent), look_(look) {
    setObjectName(name);
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

int ColumnFigure::Baseline() const {
    const QFontMetrics metrics(font());
    const int digit_height = metrics.tightBoundingRect(QStringLiteral("0")).height();
    return (height() + digit_height) / 2;
}

void ColumnFigure::paintEvent(QPaintEvent*) {
    const QString t = text();
    if (t.isEmpty()) return;
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor colour = palette().color(QPalette::WindowText);
    const int baseline = Baseline();
    const qreal dot = std::max(3.0, font().pixelSize() / 11.0);
    const auto draw_point = [&](qreal x) {
        p.setPen(Qt::NoPen);
        p.setBrush(colour);
        p.drawEllipse(QPointF(x, baseline - dot), dot, dot);
    };
    if (look_ == Look::Point) {
        draw_point(width() / 2.0);
        return;
    }
    const int w = kColumnWidth;
    if (look_ == Look::Strokes) {
        // One stroke through each struck column, from the right.
        p.setPen(QPen(colour, 3, Qt::SolidLine, Qt::RoundCap));
        for (int k = 0; k < t.size(); ++k) {
            const QRectF cell(width() - (k + 1) * w, 0, w, height());
            const QRectF r = cell.adjusted(7, 6, -7, -6);
            p.drawLine(r.bottomLeft(), r.topRight());
        }
        return;
    }
    p.setFont(font());
    p.setPen(colour);
    const QFontMetrics metrics(font());
    int column = 0;  // from the right
    for (qsizetype i = t.size() - 1; i >= 0; --i) {
        const QChar c = t[i];
        if (c == QLatin1Char('.')) {
            draw_point(width() - column * w);
            p.setPen(colour);
            continue;
        }
        if (!c.isSpace()) {
            const QString ch(c);
            const int left = width() - (column + 1) * w;
            p.drawText(left + (w - metrics.horizontalAdvance(ch)) / 2, baseline, ch);
        }
        ++column;
    }
}

MultiplicationSheetView::MultiplicationSheetView(QWidget* screen, SheetScreen where)
    : screen_(screen), layout_(MultiplicationLayout(where)) {
    auto* paper = new SquaredPaper(screen, kOnesRight, kColumnWidth);
    paper->setGeometry(PaperRect());
    paper->lower();

    for (const Figure& f : kFigures) {
        auto* figure = new ColumnFigure(NameOf(f.role), f.look, screen);
        figure->setFont(SchoolFont(f.font_px, f.font_px == kCarryFontPx));
        SetSpokenRole(figure, QString::fromUtf8(f.spoken));
        figure->hide();
    }
    auto* line = new ShapeWidget(NameOf(role::kLine), ShapeWidget::Kind::Line, screen);
    auto* sum_line = new ShapeWidget(NameOf(role::kSumLine), ShapeWidget::Kind::Line, screen);
    for (ShapeWidget* l : {line, sum_line}) {
        l->SetColours(kNavyColour, kNavyColour);
        l->hide();
    }
    (new PictureWidget(NameOf(role::kMarker), PictureWidget::Kind::Marker, screen))->hide();

    static constexpr const char* kHeadings[kColumns] = {"千", "百", "十", "一"};
    for (int i = 0; i < kColumns; ++i) {
        auto* list = new ChoiceList(QString::fromUtf8(kDigitListNames[i]), QString::fromUtf8(kHeadings[i]),
                                    ChoiceList::DigitItems(), screen);
        list->view()->setFont(SchoolFont(18));
        list->SetCentredItems(true);
        list->SetDigitKeys(true);
        Place(list, where);
        list->hide();
        digit_lists_[i] = list;
    }
    point_list_ = new ChoiceList(QString::fromUtf8(kPointListName), QStringLiteral("小数点"),
                                 {QStringLiteral("右から１けた"), QStringLiteral("右から２けた"),
                                  QStringLiteral("右から３けた"), QStringLiteral("右から４けた")},
                                 screen);
    point_list_->SetSpokenName(QStringLiteral("小数点の いち"));
    Place(point_list_, where);
    point_list_->hide();
    action_list_ = new ChoiceList(QString::fromUtf8(kActionListName), QStringLiteral(" 処理"),
                                  {QStringLiteral(" 確定"), QStringLiteral("０を消す"), QStringLiteral("一の位に０"),
                                   QStringLiteral("クリア"), QStringLiteral("終わり")},
                                  screen);
    Place(action_list_, where);
    action_list_->hide();
}

void MultiplicationSheetView::Show(const MultiplicationSteps& steps) {
    // Roles the steps do not write (a worked example's carries) stay hidden.
    Worksheet sheet = steps.cells();
    for (const Figure& f : kFigures)
        if (!sheet.has(f.role)) sheet[f.role].visible = false;
    for (const char* role : kShapes)
        if (!sheet.has(role)) sheet[role].visible = false;
    ApplyWorksheet(screen_, sheet, layout_);

    ShowLists(steps.has_problem());
    Stamp now;
    if (steps.has_problem()) now = {steps.problem(), steps.current_row(), RowBeingWritten(steps) == kEmptyRow};
    const bool another_row = now.problem != seen_.problem || now.row != seen_.row;
    if (another_row || (now.row_empty && !seen_.row_empty)) {
        for (ChoiceList* list : digit_lists_) list->Reset();
        action_list_->Reset();
    }
    seen_ = now;
    const std::optional<int>& point = steps.work().point;
    point_list_->ShowChosen(steps.has_problem() && point ? *point - 1 : -1);
}

void MultiplicationSheetView::ShowLists(bool shown) {
    for (ChoiceList* list : digit_lists_) list->setVisible(shown);
    point_list_->setVisible(shown);
    action_list_->setVisible(shown);
}

void MultiplicationSheetView::ResetLists() {
    for (ChoiceList* list : digit_lists_) list->Reset();
    point_list_->Reset();
    action_list_->Reset();
}

}  // namespace sorelka::multiplication
