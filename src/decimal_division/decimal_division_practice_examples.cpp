#include "decimal_division/decimal_division_practice_screen.h"
