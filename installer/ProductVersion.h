// The product version, chosen per executable when it is built (the shipped
// installer and its test variants share every other source).
#pragma once

extern const char BuiltProductVersion[];
