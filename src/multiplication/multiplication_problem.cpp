#include "multiplication/multiplication_problem.h"

namespace sorelka::multiplication {}  // namespace sorelka::multiplication
