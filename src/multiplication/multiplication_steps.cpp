#include "multiplication/multiplication_steps.h"

namespace sorelka::multiplication {}  // namespace sorelka::multiplication
