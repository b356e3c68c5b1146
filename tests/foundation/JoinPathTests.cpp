#include "foundation/Path.h"

#include <gtest/gtest.h>

TEST(JoinPathTest, PutsExactlyOneBackslashBetweenTheParts) {
    // In code page 932, 0x95 0x5C is one character whose second byte is a backslash.
    const struct {
        const char* first;
        const char* second;
        unsigned codePage;
        const char* joined;
    } cases[] = {
        {"", "\\b", 1252, "\\b"},
        {"a\\", "", 1252, "a\\"},
        {"a", "b", 1252, "a\\b"},
        {"a\\", "b", 1252, "a\\b"},
        {"a", "\\b", 1252, "a\\b"},
        {"a\\", "\\b", 1252, "a\\b"},
        {"C:\\\x95\x5C", "b", 932, "C:\\\x95\x5C\\b"},
        {"C:\\\x95\x5C\\", "\\b", 932, "C:\\\x95\x5C\\b"},
        {"\x95\x5C\x95\x5C", "b", 932, "\x95\x5C\x95\x5C\\b"},
        {"C:\\\x95", "b", 932, "C:\\\x95\\b"},
        {"C:\\\x95\x5C", "b", 1252,
         "C:\\\x95\x5C"
         "b"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.joined, JoinPath(c.first, c.second, c.codePage)) << c.first << " + " << c.second;
    EXPECT_EQ("C:\\x\\y", JoinPath("C:\\", "x\\y"));
}
