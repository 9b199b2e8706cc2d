#include "multiplication/multiplication_practice.h"

namespace sorelka::multiplication {}  // namespace sorelka::multiplication
