#include "foundation/FileIo.h"
#include "foundation/Handle.h"
#include "foundation/Text.h"
#include "support/SystemText.h"

#include <gtest/gtest.h>

namespace {

// A 40-byte file of each test's own, positioned at byte 10.
class FileIoTest : public ::testing::Test {
protected:
    void SetUp() override {
        Open(GENERIC_READ | GENERIC_WRITE, CREATE_ALWAYS);
        DWORD written = 0;
        WriteFile(m_handle.get(), "0123456789abcdefghijklmnopqrstuvwxyzABCD", 40, &written, nullptr);
        SetFilePointer(m_handle.get(), 10, nullptr, FILE_BEGIN);
    }
    void TearDown() override {
        m_handle.reset();
        DeleteFileA(Path().c_str());
    }
    static std::string Path() {
        return "C:\\fileio-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name());
    }
    void Open(DWORD access, DWORD disposition) {
        m_handle.reset();
        m_handle.reset(CreateFileA(Path().c_str(), access, 0, nullptr, disposition, 0, nullptr));
        ASSERT_TRUE(m_handle.valid());
    }
    DWORD Position() const { return SetFilePointer(m_handle.get(), 0, nullptr, FILE_CURRENT); }
    FileIo Borrowed() const { return FileIo(SharedHandle(m_handle.get(), false)); }

    UniqueFile m_handle;
};

}  // namespace

TEST_F(FileIoTest, ReadMovesOnlyWhenAskedAndWithoutAdvanceKeepsThePosition) {
    const struct {
        std::int64_t offset;
        DWORD method;
        bool advance;
        const char* read;
        DWORD positionAfter;
    } cases[] = {
        {0, FILE_BEGIN, false, "0123456789abcdefghijklmnopqrstuvwxyzABCD", 0},
        {0, FILE_CURRENT, false, "abcdefghijklmnopqrstuvwxyzABCD", 10},
        {0, FILE_CURRENT, true, "abcdefghijklmnopqrstuvwxyzABCD", 40},
        {-3, FILE_END, true, "BCD", 40},
        {-3, FILE_CURRENT, false, "789abcdefghijklmnopqrstuvwxyzABCD", 7},
    };
    for (const auto& c : cases) {
        SetFilePointer(m_handle.get(), 10, nullptr, FILE_BEGIN);
        datavect<unsigned char> bytes;
        bytes.resize(100);
        FileIo file = Borrowed();
        file.Read(bytes, c.offset, c.method, c.advance);
        EXPECT_EQ(c.read, std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
        EXPECT_EQ(c.positionAfter, Position()) << c.read;
        EXPECT_TRUE(file.Succeeded());
    }
    Borrowed().Write("xy", 2, 0, FILE_END, false);
    EXPECT_EQ(40u, Position());
}

TEST_F(FileIoTest, AFailedObjectKeepsItsFirstFailureAndLeavesTheFileAlone) {
    Open(GENERIC_READ, OPEN_EXISTING);
    FileIo file = Borrowed();
    file.Write("x", 1, 3, FILE_BEGIN);
    EXPECT_EQ("WriteFile() failed: Windows error: 5: " + SystemText(5), WideToMultiByte(file.FailureText()));

    char buffer[4];
    DWORD size = sizeof buffer;
    file.Read(buffer, size, 0, FILE_BEGIN);
    EXPECT_EQ(0u, size);
    EXPECT_EQ(3u, Position());
    EXPECT_EQ(L"WriteFile()", file.OperationName());

    FileIo seeking = Borrowed();
    seeking.Write("x", 1, -1, FILE_BEGIN);
    EXPECT_EQ(L"SetFilePointer()", seeking.OperationName());
    EXPECT_EQ(DWORD(ERROR_NEGATIVE_SEEK), seeking.Code());
}
