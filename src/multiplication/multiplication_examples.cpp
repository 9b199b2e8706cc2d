#include "multiplication/multiplication_examples.h"

namespace sorelka::multiplication {}  // namespace sorelka::multiplication
