#include "core/worksheet.h"

namespace sorelka {

const Cell& Worksheet::at(const std::string& name) const {
    static const Cell empty;
    auto it = cells_.find(name);
    return it == cells_.end() ? empty : it->second;
}

}  // namespace sorelka
