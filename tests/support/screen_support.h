#pragma once

// Helpers that use the screens the way a pupil does: find a widget by its
// object name, click it, choose an item of an always-open list.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QLabel>
#include <QString>
#include <QWidget>

#include "widgets/choice_list.h"

namespace sorelka::testing {

// The child of `root` with that object name; fails the test when missing.
template <class T>
T* Find(QObject* root, const QString& name) {
    T* found = root->findChild<T*>(name);
    EXPECT_NE(found, nullptr) << "no widget named " << name.toStdString();
    return found;
}

// A left click in the middle of a button, as a pupil makes it.
void Click(QAbstractButton* button);
// A left click on item `index` of an always-open list.
void ClickItem(ChoiceList* list, int index);
// Clicks the button / list item named `name` under `root`.
void Click(QObject* root, const QString& name);
void ClickItem(QObject* root, const QString& list, int index);

QString LabelText(QObject* root, const QString& name);
std::string Utf8(const QString& text);

// Runs queued events (deferred deletes, posted layout requests).
void Settle();

}  // namespace sorelka::testing
