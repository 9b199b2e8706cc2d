#include "widgets/choice_list.h"

#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

#include "widgets/look.h"

namespace sorelka {

namespace {
constexpr int kLineHeight = 30;
constexpr int kRowHeight = 28;

// Draws each item centred on its text without surrounding spaces.
class CentredItems : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        option->text = option->text.trimmed();
        option->displayAlignment = Qt::AlignCenter;
    }
};

}  // namespace

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
    line_->setStyleSheet(QStringLiteral(
        "QLabel { background: white; color: #000080; border: 2px solid #7A8CC8;"
        " border-radius: 6px; }"));
    layout->addWidget(line_);

    view_ = new QListWidget(this);
    view_->setObjectName(name + QStringLiteral("_items"));
    view_->setFont(SchoolFont(18));
    view_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    view_->setSelectionMode(QAbstractItemView::SingleSelection);
    view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view_->setUniformItemSizes(true);
    view_->setTextElideMode(Qt::ElideNone);
    base_style_ = QStringLiteral(
        "QListWidget { background: white; border: 2px solid #7A8CC8; border-radius: 6px;"
        " color: #202040; outline: none; }"
        "QListWidget::item { padding-left: 6px; }"
        "QListWidget::item:hover { background: #FFF2B3; }"
        "QListWidget::item:selected { background: #FFD34D; color: #000080; }");
    view_->setStyleSheet(base_style_);
    view_->installEventFilter(this);
    layout->addWidget(view_);

    // itemClicked also fires when the clicked item is already the current one,
    // so choosing the same digit twice reports twice.
    connect(view_, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { Report(view_->row(item)); });

    SetItems(items);
}

void ChoiceList::SetItems(const QStringList& items) {
    view_->clear();
    for (const QString& text : items) {
        auto* item = new QListWidgetItem(text, view_);
        item->setSizeHint(QSize(0, kRowHeight));
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
    QAbstractItemDelegate* old = view_->itemDelegate();
    view_->setItemDelegate(on ? new CentredItems(view_) : new QStyledItemDelegate(view_));
    delete old;
    view_->setStyleSheet(on ? base_style_ + QStringLiteral("QListWidget::item { padding: 0px; }")
                            : base_style_);
    ShowLine();
}

void ChoiceList::Reset() {
    current_ = -1;
    view_->clearSelection();
    view_->setCurrentRow(-1, QItemSelectionModel::Clear);
    ShowLine();
}

void ChoiceList::ShowLine() {
    const QString shown = text();
    line_->setText(centred_ ? shown.trimmed() : shown);
}

void ChoiceList::Choose(int index) {
    if (index < 0 || index >= count()) return;
    Report(index);
}

void ChoiceList::Report(int index) {
    if (index < 0 || index >= count()) return;
    current_ = index;
    view_->setCurrentRow(index, QItemSelectionModel::ClearAndSelect);
    ShowLine();
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
    const int frame = 2 * view_->frameWidth() + 4;
    const int height = kLineHeight + 2 + count() * kRowHeight + frame;
    setGeometry(left, top, width, height);
}

bool ChoiceList::eventFilter(QObject* watched, QEvent* event) {
    if (watched == view_ && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
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
