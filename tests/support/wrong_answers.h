#pragma once

// A wrong answer entered on a practice screen through its lists, as a pupil
// who guesses does: nines where digits go, then "終わり". It brings "×", the
// diagnosis and "お手本" on every menu item, whatever problem was drawn.

#include <QLabel>
#include <QString>
#include <QWidget>
#include <functional>

#include "widgets/choice_list.h"

namespace sorelka::testing {

// Chooses item `index` of the list named `list` (a click, or the program's choice).
using PickItem = std::function<void(const QString& list, int index)>;

// The mark ("○"/"×") of each practice screen.
inline QString MarkLabelOf(const QString& form) {
    return form == QLatin1String("TForm8") ? QStringLiteral("Label21") : QStringLiteral("Label3");
}

// Enters a wrong answer on practice screen `screen` (TForm2, TForm4, TForm6,
// TForm8, TForm10, TForm12 or TForm14) with a problem drawn. Returns whether its mark then says "×".
inline bool AnswerWrong(QWidget* screen, const PickItem& pick) {
    const QString form = screen->objectName();
    auto* mark = screen->findChild<QLabel*>(MarkLabelOf(form));
    auto shown = [&](const char* list) {
        const auto* l = screen->findChild<ChoiceList*>(QString::fromLatin1(list));
        return l && l->isVisible();
    };
    auto marked = [&] { return mark && !mark->text().isEmpty(); };
    if (form == QLatin1String("TForm2")) {
        // A quotient of 9 in the ones, confirmed, then "終わり": the problems
        // are drawn so that the quotient has at least two digits or a remainder.
        pick(QStringLiteral("ComboBox2"), 9);
        pick(QStringLiteral("ComboBox6"), 0);
        pick(QStringLiteral("ComboBox6"), 6);
    } else if (form == QLatin1String("TForm4") || form == QLatin1String("TForm6")) {
        // 9 in every column the answer has: larger than any sum or difference drawn.
        for (const char* list : {"ComboBox6", "ComboBox5", "ComboBox4", "ComboBox3", "ComboBox2"})
            if (shown(list)) pick(QString::fromLatin1(list), 9);
        pick(QStringLiteral("ComboBox7"), 0);
    } else if (form == QLatin1String("TForm8")) {
        // Each calculation answered 9 and finished ("＋" for a box problem),
        // until the last one is judged.
        for (int calculation = 0; calculation < 4 && !marked(); ++calculation) {
            if (shown("ComboBox7")) pick(QStringLiteral("ComboBox7"), 0);
            pick(QStringLiteral("ComboBox2"), 9);
            pick(QStringLiteral("ComboBox6"), 4);
        }
    } else if (form == QLatin1String("TForm12")) {
        // 9999 without a point in every row, each confirmed, then "終わり":
        // no product drawn is a whole 9999.
        for (int row = 0; row < 3; ++row) {
            for (const char* list : {"ComboBox2", "ComboBox3", "ComboBox4", "ComboBox5"})
                pick(QString::fromLatin1(list), 9);
            pick(QStringLiteral("ComboBox7"), 0);
        }
        pick(QStringLiteral("ComboBox7"), 4);
    } else if (form == QLatin1String("TForm14")) {
        // A quotient of 9 over the thousands (a column every dividend shows),
        // confirmed, then "終わり": every quotient drawn has a point, so a
        // whole 9 is never its answer.
        pick(QStringLiteral("ComboBox5"), 9);
        pick(QStringLiteral("ComboBox6"), 0);
        pick(QStringLiteral("ComboBox6"), 6);
    } else if (form == QLatin1String("TForm10")) {
        // 99 as the numerator, then "終わり".
        pick(QStringLiteral("ComboBox3"), 9);
        pick(QStringLiteral("ComboBox2"), 9);
        pick(QStringLiteral("ComboBox4"), 2);
        pick(QStringLiteral("ComboBox4"), 4);
    }
    return mark && mark->text() == QStringLiteral("×");
}

}  // namespace sorelka::testing
