#include "widgets/accessibility.h"

#include <QAccessible>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QToolButton>
#include <QVariant>
#include <algorithm>
#include <vector>

#include "widgets/look.h"

namespace sorelka {

namespace {

constexpr const char* kRoleProperty = "spokenRole";
constexpr const char* kVerdictProperty = "spokenVerdict";

}  // namespace

QString SpokenName(const QString& role, const QString& text) {
    const QString shown = text.simplified();  // also drops ideographic spaces
    if (shown.isEmpty()) return role;
    if (role.isEmpty()) return shown;
    return role + QStringLiteral("　") + shown;
}

QString SpokenVerdict(const QString& mark) {
    const QString m = mark.simplified();
    if (m == QStringLiteral("○")) return QStringLiteral("せいかい");
    if (m == QStringLiteral("×")) return QStringLiteral("まちがい");
    return {};
}

namespace {

// Return or the keypad's Enter, with no modifier but the keypad's own.
bool IsEnter(const QKeyEvent* key) {
    return (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
           (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

// Notes the kind of every press the application receives, and lets Enter
// press the push button that has the focus, in every window: Qt does that
// only for buttons inside a dialog, and a pupil presses Enter.
class InputWatch final : public QObject {
public:
    using QObject::QObject;
    bool keyboard = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
            case QEvent::KeyPress:
                keyboard = true;
                return PressesButton(watched, static_cast<QKeyEvent*>(event));
            case QEvent::MouseButtonPress:
            case QEvent::TouchBegin: keyboard = false; break;
            default: break;
        }
        return false;
    }

private:
    static bool PressesButton(QObject* watched, const QKeyEvent* key) {
        if (!IsEnter(key)) return false;
        auto* button = qobject_cast<QAbstractButton*>(watched);
        if (!button || (!qobject_cast<QPushButton*>(button) && !qobject_cast<QToolButton*>(button)))
            return false;
        if (!button->hasFocus() || !button->isEnabled()) return false;
        // Held down, Enter presses once.
        if (!key->isAutoRepeat()) button->click();
        return true;
    }
};

InputWatch* Watch() {
    static QPointer<InputWatch> watch;
    if (!watch && qApp) {
        watch = new InputWatch(qApp);
        qApp->installEventFilter(watch);
    }
    return watch;
}

}  // namespace

bool LastInputWasKeyboard() {
    const InputWatch* watch = Watch();
    return watch && watch->keyboard;
}

void WatchKeyboard() { Watch(); }

void SetSpokenRole(QLabel* label, const QString& role) {
    label->setProperty(kRoleProperty, role);
    RefreshSpokenName(label);
}

QString SpokenRole(const QLabel* label) { return label->property(kRoleProperty).toString(); }

void SetVerdictCell(QLabel* label) {
    label->setProperty(kVerdictProperty, true);
    label->setAccessibleDescription(QStringLiteral("こたえが あっているか"));
    RefreshSpokenName(label);
}

bool IsVerdictCell(const QLabel* label) { return label->property(kVerdictProperty).toBool(); }

QLabel* MakeProblemLine(QWidget* screen, const QString& name, int pixels, Qt::Alignment align, const QRect& place) {
    QLabel* line = MakeBoldLabel(screen, name, pixels, kNavyColour, place);
    line->setAlignment(align);
    SetSpokenRole(line, QStringLiteral("もんだい"));
    return line;
}

QLabel* MakeVerdictMark(QWidget* screen, const QString& name, int pixels, const QRect& place) {
    QLabel* mark = MakeBoldLabel(screen, name, pixels, Qt::red, place);
    mark->setAlignment(Qt::AlignCenter);
    SetVerdictCell(mark);
    return mark;
}

namespace {

// The name a label with a role or a verdict should carry; null for others.
QString WantedName(const QLabel* label) {
    if (label->property(kVerdictProperty).toBool()) {
        const QString verdict = SpokenVerdict(label->text());
        // An empty verdict cell is named by its job, never left nameless.
        return verdict.isEmpty() ? QStringLiteral("まる ばつ") : verdict;
    }
    const QVariant role = label->property(kRoleProperty);
    if (!role.isValid()) return {};
    return SpokenName(role.toString(), label->text());
}

}  // namespace

void RefreshSpokenName(QLabel* label) {
    const QString name = WantedName(label);
    if (!name.isNull() && name != label->accessibleName()) label->setAccessibleName(name);
}

void Announce(QLabel* label, const QString& text) {
    label->setText(text);
    QString name = WantedName(label);
    if (name.isNull()) name = text.simplified();
    if (name != label->accessibleName()) {
        label->setAccessibleName(name);  // raises NameChanged itself
    } else {
        QAccessibleEvent event(label, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&event);
    }
}

QWidget* SetReadingTabOrder(QWidget* root, int row_band) {
    struct Place {
        QWidget* widget;
        QPoint at;  // top left in root's coordinates
    };
    std::vector<Place> places;
    for (QWidget* w : root->findChildren<QWidget*>()) {
        if (!(w->focusPolicy() & Qt::TabFocus) || w->window() != root->window()) continue;
        // A focusable widget inside another (a viewport, a scroll bar) goes
        // with it, not on its own.
        bool nested = false;
        for (QWidget* p = w->parentWidget(); p && p != root; p = p->parentWidget())
            if (p->focusPolicy() & Qt::TabFocus) nested = true;
        if (!nested) places.push_back({w, w->mapTo(root, QPoint(0, 0))});
    }
    std::sort(places.begin(), places.end(),
              [](const Place& a, const Place& b) { return a.at.y() < b.at.y(); });
    // Cut into rows by the first widget's top, then order each row by x.
    for (std::size_t row = 0; row < places.size();) {
        std::size_t end = row + 1;
        while (end < places.size() && places[end].at.y() - places[row].at.y() <= row_band) ++end;
        std::stable_sort(places.begin() + static_cast<std::ptrdiff_t>(row),
                         places.begin() + static_cast<std::ptrdiff_t>(end),
                         [](const Place& a, const Place& b) { return a.at.x() < b.at.x(); });
        row = end;
    }
    for (std::size_t i = 1; i < places.size(); ++i)
        QWidget::setTabOrder(places[i - 1].widget, places[i].widget);
    return places.empty() ? nullptr : places.front().widget;
}

}  // namespace sorelka
