#include "foundation/SameText.h"

#include <mbstring.h>

bool SameText(const std::string& first, const std::string& second) {
    return _mbsicmp(reinterpret_cast<const unsigned char*>(first.c_str()),
                    reinterpret_cast<const unsigned char*>(second.c_str())) == 0;
}
