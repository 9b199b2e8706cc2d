#pragma once

#include "report/teacher_pin.h"

namespace sorelka::record {
class RecordStore;
}

namespace sorelka::report {

// The teacher's PIN's wrong tries kept in the record file (table
// program_settings), beside the user's settings: a pupil who clears their
// settings keeps the count unless they also give up their answers.
TryStore RecordTryStore(record::RecordStore& record);

}  // namespace sorelka::report
