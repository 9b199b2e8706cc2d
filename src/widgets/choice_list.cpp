#include "widgets/choice_list.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

#include "widgets/accessibility.h"
#include "widgets/look.h"

namespace sorelka {

namespace {
constexpr int kLineHeight = 30;
constexpr int kRowHeight = 28;

const QColor kBorder(0x7A, 0x8C, 0xC8);
const QColor kHover(0xFF, 0xF2, 0xB3);
const QColor kItemText(0x20, 0x20, 0x40);

// Paints an item: a yellow band when chosen, a pale one under the mouse, an
// amber outline (no fill) on the keyboard's highlight, the text left with a
// little room or, on narrow digit lists, centred on its visible characters.
// The chosen item and the highlight look different, so a keyboard user sees
// that moving is not choosing. Painting it here (not through a style sheet)
// keeps the dozens of lists cheap to create.
class ItemLook : public QStyledItemDelegate {
public:
    ItemLook(const ChoiceList* list, QObject* parent) : QStyledItemDelegate(parent), list_(list) {}

    void paint(QPainter* p, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        p->save();
        const bool chosen = index.row() == list_->current();
        if (chosen) p->fillRect(option.rect, kChosenItemColour);
        else if (option.state & QStyle::State_MouseOver) p->fillRect(option.rect, kHover);
        if (index.row() == list_->highlighted_row()) {
            p->setRenderHint(QPainter::Antialiasing);
            p->setPen(QPen(kKeyboardHighlightColour, 3));
            p->setBrush(Qt::NoBrush);
            p->drawRoundedRect(QRectF(option.rect).adjusted(2.5, 1.5, -2.5, -1.5), 4, 4);
        }
        p->setFont(option.font);
        p->setPen(chosen ? kNavyColour : kItemText);
        QString text = index.data().toString();
        if (list_->centred_items()) {
            p->drawText(option.rect, Qt::AlignCenter, text.trimmed());
        } else {
            p->drawText(option.rect.adjusted(6, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, text);
        }
        p->restore();
    }

private:
    const ChoiceList* list_;
};

}  // namespace

void ChoiceList::paintEvent(QPaintEvent*) {
    // White rounded cards with a blue rim behind the text line and the items.
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(kBorder, 2));
    p.setBrush(kListBackground);
    for (const QWidget* part : {static_cast<const QWidget*>(line_), static_cast<const QWidget*>(view_)})
        p.drawRoundedRect(QRectF(part->geometry()).adjusted(1, 1, -1, -1), 6, 6);
    if (view_->hasFocus() && keyboard_focus_) {
        // The focus frame: a thick amber rim round the items, drawn when the
        // focus came by the keyboard, so a mouse user's screen stays as it was.
        p.setPen(QPen(kKeyboardHighlightColour, 3));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(QRectF(view_->geometry()).adjusted(1.5, 1.5, -1.5, -1.5), 6, 6);
    }
}

QString ChoiceList::NameFromHeading(const QString& heading) {
    const QString h = heading.simplified();
    static const QStringList places = {QStringLiteral("一"), QStringLiteral("十"),
                                       QStringLiteral("百"), QStringLiteral("千")};
    if (places.contains(h)) return h + QStringLiteral("の位の数字");
    return h.isEmpty() ? QStringLiteral("えらぶ リスト") : h;
}

void ChoiceList::SetSpokenName(const QString& name) {
    setAccessibleName(name);
    view_->setAccessibleName(name);
    SetSpokenRole(line_, name);
}

bool ChoiceList::shows_focus_frame() const { return view_->hasFocus() && keyboard_focus_; }

QString ChoiceList::spoken_name() const { return view_->accessibleName(); }

QStringList ChoiceList::DigitItems() {
    return {QStringLiteral("０"), QStringLiteral("１"), QStringLiteral("２"),
            QStringLiteral("３"), QStringLiteral("４"), QStringLiteral("５"),
            QStringLiteral("６"), QStringLiteral("７　"), QStringLiteral("８"),
            QStringLiteral("９")};
}

ChoiceList::ChoiceList(const QString& name, const QString& heading, const QStringList& items,
                       QWidget* parent)
    : QWidget(parent), heading_(heading) {
    setObjectName(name);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);

    line_ = new QLabel(heading_, this);
    line_->setObjectName(name + QStringLiteral("_text"));
    line_->setFont(SchoolFont(18, true));
    line_->setFixedHeight(kLineHeight);
    line_->setAlignment(Qt::AlignCenter);
    SetTextColour(line_, kNavyColour);
    line_->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(line_);

    view_ = new QListWidget(this);
    view_->setObjectName(name + QStringLiteral("_items"));
    view_->setFont(SchoolFont(18));
    view_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // The chosen item is the list's own (current_), not the view's selection:
    // the view's current item is only the keyboard's highlight.
    view_->setSelectionMode(QAbstractItemView::NoSelection);
    view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view_->setUniformItemSizes(true);
    view_->setTextElideMode(Qt::ElideNone);
    view_->setFrameShape(QFrame::NoFrame);
    view_->setContentsMargins(3, 3, 3, 3);
    view_->setAutoFillBackground(false);
    view_->viewport()->setAutoFillBackground(false);
    view_->setAttribute(Qt::WA_Hover);
    view_->setMouseTracking(true);
    view_->setItemDelegate(new ItemLook(this, view_));
    view_->installEventFilter(this);
    layout->addWidget(view_);

    // itemClicked also fires when the clicked item is already the current one,
    // so choosing the same digit twice reports twice.
    connect(view_, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { Report(view_->row(item)); });

    WatchKeyboard();  // the focus frame and the highlight follow the last press
    view_->setAccessibleDescription(
        QStringLiteral("上と下の やじるしで うごかし、Enterで えらぶ"));
    SetSpokenName(NameFromHeading(heading));

    SetItems(items);
}

void ChoiceList::SetItems(const QStringList& items) {
    view_->clear();
    for (const QString& text : items) {
        // Sized before it joins the view: one insertion, no change to report.
        auto* item = new QListWidgetItem(text);
        item->setSizeHint(QSize(0, kRowHeight));
        view_->addItem(item);
    }
    Reset();
}

void ChoiceList::SetHeading(const QString& heading) {
    heading_ = heading;
    ShowLine();
}

void ChoiceList::SetCentredItems(bool on) {
    if (on == centred_) return;
    centred_ = on;
    view_->viewport()->update();
    ShowLine();
}

void ChoiceList::Reset() {
    current_ = -1;
    view_->setCurrentRow(-1);
    if (view_->hasFocus()) HighlightWhereFocusArrives();
    view_->viewport()->update();
    ShowLine();
}

void ChoiceList::HighlightWhereFocusArrives() {
    if (count() > 0) view_->setCurrentRow(current_ >= 0 ? current_ : 0);
}

int ChoiceList::highlighted_row() const {
    return shows_focus_frame() ? view_->currentRow() : -1;
}

void ChoiceList::ShowLine() {
    const QString shown = text();
    line_->setText(centred_ ? shown.trimmed() : shown);
    RefreshSpokenName(line_);
}

void ChoiceList::Choose(int index) {
    if (index < 0 || index >= count()) return;
    Report(index);
}

void ChoiceList::ShowChosen(int index) {
    if (index >= count()) return;
    current_ = index;
    view_->setCurrentRow(index);
    view_->viewport()->update();
    ShowLine();
}

void ChoiceList::Report(int index) {
    if (index < 0 || index >= count()) return;
    ShowChosen(index);
    emit chosen(index);
}

QString ChoiceList::text() const {
    QListWidgetItem* item = current_ >= 0 ? view_->item(current_) : nullptr;
    return item ? item->text() : heading_;
}

int ChoiceList::count() const { return view_->count(); }

QRect ChoiceList::ItemRect(int index) const {
    QListWidgetItem* item = view_->item(index);
    return item ? view_->visualItemRect(item) : QRect();
}

void ChoiceList::PlaceAt(int left, int top, int width) {
    const int frame = 8;  // the card's rim and margins around the items
    const int height = kLineHeight + 2 + count() * kRowHeight + frame;
    setGeometry(left, top, width, height);
}

bool ChoiceList::eventFilter(QObject* watched, QEvent* event) {
    if (watched == view_ && event->type() == QEvent::FocusIn) {
        // Focus moved by Tab, or after a key chose something that hid the
        // widget holding it: a keyboard user's. A mouse click, or a focus
        // handed over as a window opens after a click, draws no frame.
        keyboard_focus_ = static_cast<QFocusEvent*>(event)->reason() != Qt::MouseFocusReason &&
                          LastInputWasKeyboard();
        // The highlight starts on the chosen item, or the first, so the
        // first arrow key moves one item from what the pupil sees.
        HighlightWhereFocusArrives();
        update();
        view_->viewport()->update();
    } else if (watched == view_ && event->type() == QEvent::FocusOut) {
        update();
        view_->viewport()->update();
    }
    if (watched == view_ && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (!keyboard_focus_) {
            keyboard_focus_ = true;
            update();
            view_->viewport()->update();
        }
        switch (key->key()) {
            case Qt::Key_Return:
            case Qt::Key_Enter:
            case Qt::Key_Space:
                if (view_->currentRow() >= 0) Report(view_->currentRow());
                return true;
            case Qt::Key_Up:
            case Qt::Key_Down:
            case Qt::Key_Home:
            case Qt::Key_End:
            case Qt::Key_PageUp:
            case Qt::Key_PageDown:
            case Qt::Key_Tab:
            case Qt::Key_Backtab:
                return false;  // moving the highlight is not a choice
            default:
                break;
        }
        if (digit_keys_ && key->key() >= Qt::Key_0 && key->key() <= Qt::Key_9) {
            Report(key->key() - Qt::Key_0);
            return true;
        }
        // Anything else typed (letters, digits on other lists) is swallowed so
        // that type-ahead search cannot move the highlight either.
        return !key->text().isEmpty();
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace sorelka
