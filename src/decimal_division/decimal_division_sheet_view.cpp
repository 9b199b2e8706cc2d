#include "decimal_division/decimal_division_sheet_view.h"
