#include "foundation/Errors.h"
#include "foundation/Text.h"

#include "support/SystemText.h"

#include <gtest/gtest.h>

namespace {

struct BuiltInRow {
    unsigned long code;
    const char* text;
};

// Codes Wine has no text for, so the built-in table must answer.
const BuiltInRow kBuiltInRows[] = {
    {2226, "This operation is only allowed on the primary domain controller of the domain."},
    {2245,
     "The password does not meet the password policy requirements. Check the minimum password length, "
     "password complexity and password history requirements."},
    {10048, "Only one usage of each socket address (protocol/network address/port is normally permitted."},
    {10057,
     "A request to send or receive data was disallowed because the socket is not connected and (when "
     "sending on a datagram socket using a sendto call no address was supplied."},
    {10060,
     "A connection attempt failed because the connected party did not properly respond after a period of "
     "time, or established connection failed because connected host has failed to respond."},
};

}  // namespace

TEST(WindowsErrorTextTests, SystemTextWithoutTrailingLineBreaks) {
    for (const unsigned long code : {2ul, 5ul, 112ul, 10054ul}) {
        std::string system;
        ASSERT_TRUE(SystemMessage(code, system)) << code;
        EXPECT_EQ(system, WindowsErrorText(code)) << code;
        EXPECT_NE('\n', WindowsErrorText(code).back()) << code;
    }
}

TEST(WindowsErrorTextTests, BuiltInTableWhenTheSystemHasNoText) {
    for (const BuiltInRow& row : kBuiltInRows) {
        std::string system;
        ASSERT_FALSE(SystemMessage(row.code, system)) << "the system now describes " << row.code;
        EXPECT_EQ(row.text, WindowsErrorText(row.code)) << row.code;
    }
}

TEST(WindowsErrorTextTests, UnknownCodesAreNamedInUnsignedDecimal) {
    EXPECT_EQ("Error errorCode 99999 received.", WindowsErrorText(99999));
    EXPECT_EQ("Error errorCode 3735928559 received.", WindowsErrorText(0xDEADBEEF));
}

TEST(DescribeWindowsErrorTests, DecimalUpTo99999ThenEightHexDigits) {
    EXPECT_EQ("Windows error 99999: Error errorCode 99999 received.", DescribeWindowsError(99999));
    EXPECT_EQ("Windows error 0x000186a0: Error errorCode 100000 received.", DescribeWindowsError(100000));
    EXPECT_EQ("Windows error 0xdeadbeef: Error errorCode 3735928559 received.", DescribeWindowsError(0xDEADBEEF));
    std::string system;
    ASSERT_TRUE(SystemMessage(2, system));
    EXPECT_EQ("Windows error 2: " + system, DescribeWindowsError(2));
    EXPECT_EQ(L"Windows error 0x000186a0: Error errorCode 100000 received.", DescribeWindowsErrorW(100000));
}

TEST(SystemErrorTests, ComposesOperationAndDescription) {
    std::string system;
    ASSERT_TRUE(SystemMessage(5, system));
    EXPECT_EQ("GetTempPathA() failed: Windows error 5: " + system,
              std::string(SystemError("GetTempPathA()", 5).what()));
    EXPECT_EQ("GetTempPathA() failed: Windows error 5: " + system,
              std::string(SystemError(L"GetTempPathA()", 5).what()));
    EXPECT_EQ("Windows error 5: " + system, std::string(SystemError(5).what()));
    EXPECT_EQ(5u, SystemError(5).code());
}

TEST(TExceptionTests, WideTextIsConvertedOnceToTheAnsiCodePage) {
    ASSERT_EQ(1252u, GetACP()) << "the harness runs every test with LC_ALL=C, code page 1252";
    const TException error(std::wstring(L"Caf\u00e9 \u20ac \u0416"));
    const char* first = error.what();
    // U+0416 has no place in 1252: the system's default character stands in.
    EXPECT_STREQ("Caf\xe9 \x80 ?", first);
    EXPECT_EQ(first, error.what());
}

TEST(TextConversionTests, ConvertsBetweenCodePages) {
    struct Row {
        unsigned codePage;
        std::wstring wide;
        std::string narrow;
    };
    const Row rows[] = {
        {CP_UTF8, L"\u00e9\u20ac", "\xc3\xa9\xe2\x82\xac"},
        {1252, L"\u00e9\u20ac", "\xe9\x80"},
        {1251, L"\u0416", "\xc6"},
        {CP_UTF8, L"", ""},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(row.narrow, WideToMultiByte(row.wide, row.codePage)) << row.codePage;
        EXPECT_EQ(row.wide, MultiByteToWide(row.narrow, row.codePage)) << row.codePage;
    }
    EXPECT_EQ("?", WideToMultiByte(L"\u0416", 1252));
    EXPECT_EQ(WideToMultiByte(L"\u00e9", GetACP()), WideToMultiByte(L"\u00e9"));
}
