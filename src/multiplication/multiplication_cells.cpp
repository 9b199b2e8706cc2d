#include "multiplication/multiplication_cells.h"

namespace sorelka::multiplication {}  // namespace sorelka::multiplication
