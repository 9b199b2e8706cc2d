#include "support/screen_support.h"

#include <QApplication>
#include <QListWidget>
#include <QTest>

namespace sorelka::testing {

void Click(QAbstractButton* button) {
    ASSERT_NE(button, nullptr);
    ASSERT_TRUE(button->isVisible()) << "button " << Utf8(button->objectName()) << " is hidden";
    QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
}

void ClickItem(ChoiceList* list, int index) {
    ASSERT_NE(list, nullptr);
    ASSERT_TRUE(list->isVisible()) << "list " << Utf8(list->objectName()) << " is hidden";
    const QRect rect = list->ItemRect(index);
    ASSERT_TRUE(rect.isValid()) << "list " << Utf8(list->objectName()) << " has no item " << index;
    ASSERT_TRUE(list->view()->viewport()->rect().contains(rect.center()))
        << "item " << index << " of " << Utf8(list->objectName()) << " is not on screen";
    QTest::mouseClick(list->view()->viewport(), Qt::LeftButton, {}, rect.center());
}

void Click(QObject* root, const QString& name) { Click(Find<QAbstractButton>(root, name)); }

void ClickItem(QObject* root, const QString& list, int index) {
    ClickItem(Find<ChoiceList>(root, list), index);
}

QString LabelText(QObject* root, const QString& name) {
    QLabel* label = Find<QLabel>(root, name);
    return label ? label->text() : QString();
}

std::string Utf8(const QString& text) { return text.toStdString(); }

void Settle() { QApplication::processEvents(); }

}  // namespace sorelka::testing
