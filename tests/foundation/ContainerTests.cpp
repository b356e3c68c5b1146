#include "foundation/CritSection.h"
#include "foundation/Handle.h"
#include "foundation/VellString.h"
#include "foundation/VellVector.h"
#include "foundation/datavect.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// What the wipe hook was given, with the bytes as they were at the call.
struct WipeCall {
    const void* block;
    std::size_t bytes;
    std::string content;
};
std::vector<WipeCall> g_wipes;

void RecordWipe(void* block, std::size_t bytes) {
    g_wipes.push_back({block, bytes, std::string(static_cast<const char*>(block), bytes)});
}

class ContainerTests : public ::testing::Test {
protected:
    void SetUp() override { g_wipes.clear(); }
};

std::string Text(const VellString& text) {
    return std::string(text.c_str(), text.length());
}

VellString MakeString(const char* text) {
    VellString result;
    result.insert(VellString::npos, text);
    return result;
}

}  // namespace

TEST_F(ContainerTests, StringGrowsToExactlyWhatIsNeededAndWipesTheOldBlock) {
    VellString text;
    text.setWipeHook(RecordWipe);
    text.insert(VellString::npos, "");
    EXPECT_EQ(0u, text.capacity());
    text.insert(VellString::npos, "abc");
    EXPECT_EQ(3u, text.length());
    EXPECT_EQ(4u, text.capacity());
    EXPECT_TRUE(g_wipes.empty());

    const char* oldBlock = text.c_str();
    text.insert(VellString::npos, "d");
    EXPECT_EQ("abcd", Text(text));
    EXPECT_EQ(5u, text.capacity());
    ASSERT_EQ(1u, g_wipes.size());
    EXPECT_EQ(oldBlock, g_wipes[0].block);
    EXPECT_EQ(std::string("abc\0", 4), g_wipes[0].content);

    text.insert(VellString::npos, nullptr);
    text.insert(0, "xyz", 0);
    EXPECT_EQ(5u, text.capacity());
    EXPECT_EQ("abcd", Text(text));
}

TEST_F(ContainerTests, StringInsertsAtPositionsAndFromOtherStrings) {
    struct Row {
        const char* initial;
        std::uint32_t position;
        const char* source;  // null: the string itself
        std::uint32_t off;
        std::uint32_t extend;
        const char* expected;
    };
    const Row rows[] = {
        {"abef", 2, "xcdx", 1, 2, "abcdef"},
        {"abc", 0, "xyz", 0, VellString::npos, "xyzabc"},
        {"abc", VellString::npos, "xyz", 1, VellString::npos, "abcyz"},
        {"", 0, "xyz", 3, VellString::npos, ""},
        // Parts of the string itself, before, across and after the position.
        {"abcdef", 4, nullptr, 0, 2, "abcdabef"},
        {"abcdef", 2, nullptr, 1, 4, "abbcdecdef"},
        {"abcdef", 1, nullptr, 3, 3, "adefbcdef"},
        {"abc", VellString::npos, nullptr, 0, VellString::npos, "abcabc"},
    };
    for (const Row& row : rows) {
        VellString text = MakeString(row.initial);
        const VellString other = MakeString(row.source != nullptr ? row.source : "");
        text.insert(row.position, row.source != nullptr ? other : text, row.off, row.extend);
        EXPECT_EQ(row.expected, Text(text)) << row.initial << " at " << row.position;
        // Exactly the characters and the zero byte; nothing for an empty string.
        EXPECT_EQ(std::string(row.expected).size() + (*row.expected != '\0' ? 1 : 0), text.capacity())
            << row.initial << " at " << row.position;
    }
}

TEST_F(ContainerTests, StringEraseMovesTheTailAndWipesWhatItVacated) {
    VellString text = MakeString("abcdef");
    text.setWipeHook(RecordWipe);
    text.erase(1, 2);
    EXPECT_EQ("adef", Text(text));
    ASSERT_EQ(1u, g_wipes.size());
    EXPECT_EQ(text.c_str() + 5, g_wipes[0].block);
    EXPECT_EQ(2u, g_wipes[0].bytes);

    text.erase(2, 0);
    EXPECT_EQ(1u, g_wipes.size());
    text.erase(1);
    EXPECT_EQ("a", Text(text));
    EXPECT_STREQ("a", text.c_str());
}

TEST_F(ContainerTests, FailedGrowthKeepsTheVectorAndRecordsTheRequest) {
    datavect<std::uint32_t> numbers;
    numbers.setWipeHook(RecordWipe);
    const std::uint32_t values[] = {1, 2, 3};
    numbers.insert(numbers.end(), values, 3);
    ASSERT_EQ(3u, numbers.capacity());
    g_wipes.clear();

    // 2 GiB: beyond any block the layer hands out.
    EXPECT_FALSE(numbers.reserve(0x20000000));
    EXPECT_EQ(0x20000000u, numbers.af());
    EXPECT_EQ(3u, numbers.capacity());
    EXPECT_TRUE(g_wipes.empty());

    struct Page {
        char bytes[4 << 20];
    };
    datavect<Page> pages;
    EXPECT_FALSE(pages.reserve(1000));
    EXPECT_EQ(1000u, pages.af());
}

TEST_F(ContainerTests, VectorEraseAndInsertFromItself) {
    {
        datavect<std::uint16_t> numbers;
        numbers.setWipeHook(RecordWipe);
        for (std::uint16_t i = 1; i <= 6; ++i) numbers.push_back(i);
        EXPECT_EQ(6u, numbers.capacity());
        g_wipes.clear();

        numbers.erase(1u, 2u);
        EXPECT_EQ((std::vector<std::uint16_t>{1, 4, 5, 6}), std::vector<std::uint16_t>(numbers.begin(), numbers.end()));
        ASSERT_EQ(1u, g_wipes.size());
        EXPECT_EQ(numbers.end(), g_wipes[0].block);
        EXPECT_EQ(4u, g_wipes[0].bytes);

        numbers.erase(numbers.begin() + 1, numbers.begin() + 1);
        EXPECT_EQ(1u, g_wipes.size());

        // The source lies in the block that growing gives up.
        numbers.insert(numbers.begin() + 1, numbers.begin(), 4);
        EXPECT_EQ((std::vector<std::uint16_t>{1, 1, 4, 5, 6, 4, 5, 6}),
                  std::vector<std::uint16_t>(numbers.begin(), numbers.end()));
        EXPECT_EQ(8u, numbers.capacity());
        g_wipes.clear();
    }
    // Giving the block up on destruction wipes it too.
    ASSERT_EQ(1u, g_wipes.size());
    EXPECT_EQ(16u, g_wipes[0].bytes);
}

TEST_F(ContainerTests, VellVectorOfStringsGrowsExactly) {
    VellVector<std::string> words;
    for (const char* word : {"alpha", "beta", "gamma"}) {
        ASSERT_TRUE(words.push_back(word));
        EXPECT_EQ(words.size(), words.capacity());
    }
    ASSERT_TRUE(words.push_back(words[0]));
    EXPECT_EQ("alpha", words.back());
    EXPECT_EQ((std::vector<std::string>{"alpha", "beta", "gamma", "alpha"}),
              std::vector<std::string>(words.begin(), words.end()));
}

namespace {

struct EntryProbe {
    CritSection* section;
    bool entered;
};

DWORD WINAPI TryEnterAndLeave(void* parameter) {
    auto* probe = static_cast<EntryProbe*>(parameter);
    probe->entered = probe->section->TryEnter();
    if (probe->entered) probe->section->Leave();
    return 0;
}

bool TryEnterFromOtherThread(CritSection& section) {
    EntryProbe probe{&section, false};
    UniqueHandle thread(CreateThread(nullptr, 0, TryEnterAndLeave, &probe, 0, nullptr));
    WaitForSingleObject(thread.get(), INFINITE);
    return probe.entered;
}

}  // namespace

TEST(CritSectionTests, TryEnterFailsWhileAnotherThreadHoldsTheSection) {
    CritSection section;
    section.Enter();
    EXPECT_TRUE(section.TryEnter());  // the owner enters again
    section.Leave();
    EXPECT_FALSE(TryEnterFromOtherThread(section));
    section.Leave();
    EXPECT_TRUE(TryEnterFromOtherThread(section));
}

TEST(LastErrorGuardTests, SaverPutsBackTheErrorOfTheFailingCall) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    {
        LastErrorSaver saver;
        saver.Arm();
        CloseHandle(reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(0x1234)));
        EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), GetLastError());
    }
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), GetLastError());
}
