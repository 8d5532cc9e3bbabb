/* QuorvaneCore.dll: the product's name and version for its programs. */
#define QUORVANE_CORE_BUILD
#include "QuorvaneCore.h"

const char* QvProductName(void) { return "Quorvane"; }

const char* QvVersion(void) { return "3.2.0"; }

int QvVersionNumber(void) { return 3 * 10000 + 2 * 100 + 0; }
