#pragma once

#include <QString>

namespace sorelka::record {

// One line of technical detail on standard error ("sorelka: …"), for the
// administrator; the user reads the Japanese message.
void Detail(const QString& what);

}  // namespace sorelka::record
