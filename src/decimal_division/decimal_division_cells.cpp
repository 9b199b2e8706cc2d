#include "decimal_division/decimal_division_cells.h"
