#pragma once

#include <QString>
#include <QVariantList>
#include <vector>

namespace sorelka::record {

// One SQL statement with its values bound by position.
struct Statement {
    QString sql;
    QVariantList values;
};

// Statements written together or not at all.
using Transaction = std::vector<Statement>;

}  // namespace sorelka::record
