#include "multiplication/multiplication_sheet.h"

namespace sorelka::multiplication {}  // namespace sorelka::multiplication
