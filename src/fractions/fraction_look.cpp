#include "fractions/fraction_look.h"

#include <QLabel>
#include <QPainter>
#include <algorithm>

#include "fractions/fraction_layout.h"
#include "fractions/fraction_sheet.h"
#include "widgets/accessibility.h"
#include "widgets/choice_list.h"
#include "widgets/diagnosis_panel.h"
#include "widgets/look.h"
#include "widgets/worksheet_view.h"

namespace sorelka::fractions {

namespace {
constexpr int kFigurePixels = 36;
constexpr int kFigureHeight = 42;
// How far a frame reaches outside its cell, and a pixel of air before the bar.
constexpr int kFrameReach = 5;

QLabel* MakeFigure(const CellView& view, Qt::Alignment align, const char* spoken, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromStdString(view.object_name));
    label->setTextFormat(Qt::PlainText);
    label->setFont(SchoolFont(kFigurePixels, true));
    label->setAlignment(align | Qt::AlignVCenter);
    label->resize(54, kFigureHeight);
    if (align & Qt::AlignRight) label->setIndent(3);
    SetTextColour(label, kNavyColour);
    SetSpokenRole(label, QString::fromUtf8(spoken));
    return label;
}

// The figures by their role, in the order they are built: the given number
// left of "＝", the answer right of it; no spoken name for a bar.
struct Figure {
    const char* role;
    Qt::Alignment align;
    const char* spoken;
};
constexpr Figure kFigures[] = {
    {SlotRole(FractionNumber::Given, FractionSlot::Whole), Qt::AlignRight, "もんだい 整数"},
    {SlotRole(FractionNumber::Given, FractionSlot::Numerator), Qt::AlignHCenter, "もんだい 分子"},
    {SlotRole(FractionNumber::Given, FractionSlot::Denominator), Qt::AlignHCenter, "もんだい 分母"},
    {BarRole(FractionNumber::Given), {}, nullptr},
    {kEqualsRole, Qt::AlignHCenter, "記号"},
    {AnswerRole(FractionSlot::Whole), Qt::AlignRight, "答え 整数"},
    {AnswerRole(FractionSlot::Numerator), Qt::AlignHCenter, "答え 分子"},
    {AnswerRole(FractionSlot::Denominator), Qt::AlignHCenter, "答え 分母"},
    {BarRole(FractionNumber::Answer), {}, nullptr},
};

}  // namespace

void BuildFigures(QWidget* screen, Variant variant) {
    for (const Figure& figure : kFigures) {
        const CellView view = FractionCellView(variant, figure.role);
        QWidget* widget = nullptr;
        if (figure.spoken) {
            widget = MakeFigure(view, figure.align, figure.spoken, screen);
        } else {
            auto* bar = new ShapeWidget(QString::fromStdString(view.object_name), ShapeWidget::Kind::Bar, screen);
            bar->SetColours(kNavyColour, QColor(0xFF, 0x00, 0x00));
            widget = bar;
        }
        widget->setGeometry(view.left, view.top, view.width, view.height);
    }
}

EntryLists BuildEntryLists(QWidget* screen, Variant variant, const char* action_heading) {
    auto list = [&](const char* role, const char* heading, const QStringList& items) {
        const CellView view = FractionCellView(variant, role);
        auto* made = new ChoiceList(QString::fromStdString(view.object_name), QString::fromUtf8(heading), items, screen);
        made->PlaceAt(view.left, view.top, view.width);
        return made;
    };
    QStringList actions;
    for (const std::string& item : ActionItems()) actions << QString::fromStdString(item);
    EntryLists lists;
    lists.tens = list(kTensListRole, kTensHeading, ChoiceList::DigitItems());
    lists.ones = list(kOnesListRole, kOnesHeading, ChoiceList::DigitItems());
    for (ChoiceList* digits : {lists.tens, lists.ones}) {
        digits->SetDigitKeys(true);
        digits->SetCentredItems(true);
    }
    lists.actions = list(kActionListRole, action_heading, actions);
    return lists;
}

QRect FramedSlot(const QWidget* screen, FractionSlot slot) {
    return FramedCell(screen, FractionObjectName(AnswerRole(slot)));
}

QRect FramedCell(const QWidget* screen, const std::string& object_name) {
    QRect cell = MarkedCells(screen, object_name);
    const auto* bar = screen->findChild<QWidget*>(
        QString::fromStdString(FractionObjectName(BarRole(FractionNumber::Answer))), Qt::FindDirectChildrenOnly);
    if (cell.isEmpty() || !bar) return cell;
    const QRect line = bar->geometry();
    if (cell.right() < line.left())  // the whole part, left of the bar
        cell.setRight(std::min(cell.right(), line.left() - kFrameReach));
    else if (cell.center().y() < line.top())  // the numerator, over it
        cell.setBottom(std::min(cell.bottom(), line.top() - kFrameReach));
    else  // the denominator, under it
        cell.setTop(std::max(cell.top(), line.bottom() + kFrameReach));
    return cell;
}

QPixmap CakePicture() {
    return DrawnPicture(64, 64, [](QPainter& p) {
        const QRectF cake(6, 6, 52, 52);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xFF, 0xF4, 0xD6));
        p.drawEllipse(cake);
        // Three quarters of strawberry pink, one left plain.
        p.setBrush(QColor(0xFF, 0x8C, 0xA8));
        p.drawPie(cake, 90 * 16, 270 * 16);
        p.setPen(QPen(kNavyColour, 2.5, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(cake);
        p.drawLine(QPointF(32, 6), QPointF(32, 58));
        p.drawLine(QPointF(6, 32), QPointF(58, 32));
    });
}

}  // namespace sorelka::fractions
