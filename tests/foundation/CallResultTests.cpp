#include "foundation/CallResult.h"
#include "foundation/Errors.h"
#include "foundation/Text.h"
#include "foundation/Win.h"

#include "support/SystemText.h"

#include <gtest/gtest.h>

namespace {

class WinRecorder : public WinCallResult {};
class ComRecorder : public ComCallResult {};

// A result kind without a name takes the generic wording.
class PlainRecorder : public WinCallResult {
public:
    std::wstring Kind() const override { return std::wstring(); }
};

}  // namespace

TEST(CallResultTests, FailedRegistryOpenThrowsItsFailureText) {
    HKEY key = nullptr;
    WinRecorder result;
    result.Record(L"RegOpenKeyExA()",
                  RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Quillmore test\\missing", 0, KEY_READ, &key));
    ASSERT_TRUE(result.Failed());
    std::string system;
    ASSERT_TRUE(SystemMessage(2, system));
    const std::string expected = "RegOpenKeyExA() failed: Windows error: 2: " + system;
    try {
        throw Norlib::RegException(result);
    } catch (const std::exception& e) {
        EXPECT_EQ(expected, e.what());
    }
    const Norlib::RegException error(result);
    EXPECT_EQ(2ul, error.ErrorCode());
    EXPECT_EQ(L"RegOpenKeyExA()", error.OperationName());
    EXPECT_EQ(MultiByteToWide(system), error.CodeDescription());
}

TEST(CallResultTests, ComCodesPrintSignedWithTheTableText) {
    struct Row {
        std::uint32_t code;
        const wchar_t* text;
    };
    const Row rows[] = {
        {0x80004005, L"CoCreateInstance() failed: COM error: -2147467259: Unspecified error."},
        {0x80040154, L"CoCreateInstance() failed: COM error: -2147221164."},
        {0x80004001, L"CoCreateInstance() failed: COM error: -2147467263."},
        {0x80070057, L"CoCreateInstance() failed: COM error: -2147024809: One or more arguments are not valid error."},
    };
    for (const Row& row : rows) {
        ComRecorder result;
        result.Record(L"CoCreateInstance()", row.code);
        EXPECT_EQ(row.text, result.ResultText()) << std::hex << row.code;
        const Norlib::ComException error(result);
        EXPECT_EQ(static_cast<long>(static_cast<std::int32_t>(row.code)), error.ErrorCode());
        EXPECT_EQ(WideToMultiByte(row.text), error.what());
    }
}

TEST(CallResultTests, SuccessAndTheEdgesOfTheWording) {
    ComRecorder partial;
    partial.Record(L"CoInitializeEx()", 1);
    EXPECT_TRUE(partial.Succeeded());
    EXPECT_EQ(L"CoInitializeEx() succeeded.", partial.ResultText());

    WinRecorder largest;
    largest.Record(L"ReadFile()", 0xFFFFFFFF);
    EXPECT_EQ(L"ReadFile() failed: Windows error: 4294967295: Error errorCode 4294967295 received.",
              largest.ResultText());

    PlainRecorder plain;
    plain.Record(L"DeleteFileA()", 99999);
    EXPECT_EQ(L"DeleteFileA() failed: error code: 99999: Error errorCode 99999 received.", plain.FailureText());
}
