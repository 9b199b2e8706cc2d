#include "decimal_division/decimal_division_examples.h"
