#include "multiplication/multiplication_bugs.h"

namespace sorelka::multiplication {}  // namespace sorelka::multiplication
