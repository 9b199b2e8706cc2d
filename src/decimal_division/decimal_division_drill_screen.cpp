#include "decimal_division/decimal_division_drill_screen.h"
