#include "decimal_division/decimal_division_bugs.h"
