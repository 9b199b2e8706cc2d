#pragma once

// What the screenshots tool's parts share: saving a picture of a window,
// and choosing in a list or pressing a button as a pupil does.

#include <QByteArray>
#include <QString>

#include "support/fakes.h"

class QWidget;

// Saves `w` as <output folder>/<name>.png.
void Save(QWidget* w, const QString& name);
// Chooses item `index` of the list named `list` under `root`.
void Pick(QWidget* root, const QByteArray& list, int index);
// Clicks the button named `button` under `root`.
void Press(QWidget* root, const char* button);

// The decimal multiplication's practice and drill (multiplication_shots.cpp).
void Multiplication(sorelka::testing::FakeServices& services);

// The decimal division's practice and drill (decimal_division_shots.cpp).
void DecimalDivision(sorelka::testing::FakeServices& services);
