#include "foundation/SameText.h"

#include "foundation/Win.h"

#include <mbstring.h>

bool SameText(const std::string& first, const std::string& second) {
    return _mbsicmp(reinterpret_cast<const unsigned char*>(first.c_str()),
                    reinterpret_cast<const unsigned char*>(second.c_str())) == 0;
}

std::string UpperCase(std::string text) {
    if (!text.empty()) CharUpperBuffA(&text[0], static_cast<DWORD>(text.size()));
    return text;
}
