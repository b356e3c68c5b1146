#include "installer/ProductDefinition.h"

#ifndef QUILLMORE_PRODUCT_VERSION
#error "QUILLMORE_PRODUCT_VERSION must name the product version, e.g. \"4.33\""
#endif

extern const char BuiltProductVersion[] = QUILLMORE_PRODUCT_VERSION;
