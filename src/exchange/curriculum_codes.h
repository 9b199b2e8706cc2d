#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <variant>

#include "exchange/roster_files.h"

// The curriculum's codes (学習指導要領コード) of the program's activities, as
// the school's table gives them: a CSV of 単元 (the topic's number, as in the
// activity's IRI), 項目 (the practice menu's item; empty for every item and
// the drills of the topic) and コード (one code a line; several lines give
// an item several codes). docs/XAPI.md tells how to make it.
namespace sorelka::exchange {

class CurriculumCodes {
public:
    // The codes of `item` of `topic` (0: the topic's drills and anything
    // without an item): the topic's own codes, then the item's.
    QStringList For(int topic, int item) const;
    bool empty() const { return codes_.isEmpty(); }

private:
    friend std::variant<CurriculumCodes, RosterProblem> ReadCurriculumCodes(const QString& path);
    QHash<qint64, QStringList> codes_;  // topic * 1000 + item; item 0: the whole topic
};

// The table at `path`, or why it was refused (the line and the field).
std::variant<CurriculumCodes, RosterProblem> ReadCurriculumCodes(const QString& path);

}  // namespace sorelka::exchange
