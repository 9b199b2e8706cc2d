#include "record/schema.h"

namespace sorelka::record {

const std::vector<Migration>& Migrations() {
    static const std::vector<Migration> steps = {
        // The drill log of the last drill, as every version of the program had it.
        {1,
         {QStringLiteral("create table if not exists dorill (\"NO\" integer, MND text, KAI text,"
                         " KOT text, HNT text, AMS integer, AMI integer)")}},
    };
    return steps;
}

int SchemaVersion() { return Migrations().back().version; }

}  // namespace sorelka::record
