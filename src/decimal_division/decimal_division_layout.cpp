#include "decimal_division/decimal_division_layout.h"
