#include "decimal_division/decimal_division_steps.h"
