#include "ScratchKey.h"
#include "foundation/Errors.h"
#include "foundation/RegKey.h"
#include "foundation/Text.h"
#include "support/DeniedRegistryKey.h"
#include "support/SystemText.h"

using namespace std::string_literals;

using RegKeyTest = ScratchKeyTest;

TEST_F(RegKeyTest, ReadStringFailuresNameTheFirstFailingCall) {
    const struct {
        DWORD type;  // 0: nothing stored
        std::string bytes;
        const char* relative;
        const char* operation;
        DWORD code;
    } cases[] = {
        {REG_DWORD, "\1\0\0\0"s, "", "RegQueryValueExA()", 1804},
        {REG_MULTI_SZ, "a\0\0"s, "", "RegQueryValueExA()", 1804},
        {REG_SZ, "abc", "", "RegQueryValueExA()", 13},
        {0, "", "", "RegQueryValueExA()", 2},
        {0, "", "missing", "RegOpenKeyExA()", 2},
    };
    for (const auto& c : cases) {
        SetRaw("", "other", REG_SZ, "x\0"s);
        if (c.type) SetRaw("", "v", c.type, c.bytes);
        std::string expected =
            c.operation + " failed: Windows error: "s + std::to_string(c.code) + ": " + SystemText(c.code);
        SCOPED_TRACE(expected);

        RegKey key(FullPath(c.relative));
        try {
            key.ReadString("v", true);
            ADD_FAILURE() << "no exception";
        } catch (const Norlib::RegException& e) {
            EXPECT_EQ(expected, e.what());
            EXPECT_EQ(c.code, e.ErrorCode());
            EXPECT_EQ(expected, WideToMultiByte(key.FailureText()));
        }
        RegKeyNoThrow quiet;
        EXPECT_EQ("", quiet.ReadString(FullPath(c.relative), "v", true));
        EXPECT_EQ(expected, WideToMultiByte(quiet.FailureText()));
        RegDeleteTreeA(HKEY_CURRENT_USER, Subkey().c_str());
    }
}

TEST_F(RegKeyTest, ExpandableTextsAreExpandedOnlyWhenAsked) {
    char systemRoot[MAX_PATH];
    ASSERT_NE(0u, GetEnvironmentVariableA("SystemRoot", systemRoot, MAX_PATH));
    RegKey::WriteString(FullPath("new\\deep"), "", "%SystemRoot%\\x", true);
    RegKeyNoThrow quiet;
    EXPECT_TRUE(quiet.WriteString(FullPath("new\\deep"), "plain", "%SystemRoot%", false));

    DWORD type = 0;
    EXPECT_EQ("%SystemRoot%\\x\0"s, RawValue("new\\deep", nullptr, &type));
    EXPECT_EQ(DWORD(REG_EXPAND_SZ), type);
    RegKey key(HKEY_CURRENT_USER, Subkey("new\\deep"));
    EXPECT_EQ(systemRoot + "\\x"s, key.ReadString("", true));
    EXPECT_EQ("%SystemRoot%\\x", key.ReadString("", false));
    EXPECT_EQ("%SystemRoot%", key.ReadString("plain", true));
}

TEST_F(RegKeyTest, MultiStringsKeepEmptyEntries) {
    const struct {
        std::string stored;
        std::vector<std::string> read;
    } cases[] = {
        {"a\0\0b\0\0"s, {"a", "", "b"}},
        {"a\0b\0"s, {"a", "b"}},
        {"\0"s, {}},
        {""s, {}},
    };
    RegKey key(FullPath());
    for (const auto& c : cases) {
        SetRaw("", "list", REG_MULTI_SZ, c.stored);
        EXPECT_EQ(c.read, key.ReadMultiString("list")) << testing::PrintToString(c.stored);
    }
    key.WriteMultiString("empty", {});
    key.WriteMultiString("three", {"x", "", "yz"});
    EXPECT_EQ("\0\0"s, RawValue("", "empty"));
    EXPECT_EQ("x\0\0yz\0\0"s, RawValue("", "three"));
}

TEST_F(RegKeyTest, RootNamesIgnoreCaseAndOnlyHkcuAndHklmHaveShortForms) {
    const std::string subkey = "SOFTWARE\\QuillmoreTests\\RootSpelling";
    RegKey::WriteString("HKLM\\" + subkey, "v", "machine", false);
    EXPECT_EQ("machine", RegKey::ReadString("hkey_local_machine\\" + subkey, "v", false));
    RegKey("HKEY_LOCAL_MACHINE\\" + subkey).Delete(true);

    RegKeyNoThrow quiet;
    EXPECT_FALSE(quiet.WriteString("HKCR\\.qmtest", "", "x", false));
    EXPECT_EQ(L"RegCreateKeyExA()", quiet.OperationName());
    EXPECT_EQ(DWORD(ERROR_INVALID_HANDLE), quiet.Code());
    EXPECT_EQ(nullptr, RootKeyFromName("HKU"));

    // A bare root name addresses the root itself.
    SetRaw("", "v", REG_SZ, "x\0"s);
    std::vector<RegEntry> entries = RegKey("HKEY_CURRENT_USER").Enumerate(RegKey::Subkeys);
    EXPECT_TRUE(std::any_of(entries.begin(), entries.end(), [](const RegEntry& e) { return e.name == "Software"; }));
}

TEST_F(RegKeyTest, NonRecursiveDeleteOfAKeyWithSubkeysRemovesOnlyItsValues) {
    SetRaw("", nullptr, REG_SZ, "default\0"s);
    SetRaw("", "v", REG_DWORD, "\1\0\0\0"s);
    SetRaw("sub", "kept", REG_SZ, "x\0"s);

    RegKey(FullPath()).Delete(false);
    std::vector<RegEntry> left = RegKey(FullPath()).Enumerate(RegKey::Subkeys | RegKey::Values);
    ASSERT_EQ(1u, left.size());
    EXPECT_EQ("sub", left[0].name);
    EXPECT_EQ(RegEntry::Subkey, left[0].kind);
    EXPECT_EQ("x\0"s, RawValue("sub", "kept"));

    RegKey(FullPath("sub")).Delete(false);
    EXPECT_FALSE(Exists("sub"));
}

TEST_F(RegKeyTest, RecursiveDeleteRemovesDeepestKeysFirstAndStopsAtTheFirstFailure) {
    // Subkeys come in name order: "a" with its subtree goes before "b", which
    // refuses to be opened for enumeration. A key with subkeys cannot be
    // deleted, so "a" being gone shows its subtree went first.
    SetRaw("a\\x\\y", "v", REG_SZ, "1\0"s);
    SetRaw("a\\z", "v", REG_SZ, "1\0"s);
    SetRaw("b", "v", REG_SZ, "1\0"s);
    SetKeySecurity(HKEY_CURRENT_USER, Subkey("b"), "D:(D;;0x8;;;WD)(A;;KA;;;WD)");

    RegKey key(FullPath());
    EXPECT_THROW(key.Delete(true), Norlib::RegException);
    EXPECT_EQ(L"RegOpenKeyExA()", key.OperationName());
    EXPECT_EQ(DWORD(ERROR_ACCESS_DENIED), key.Code());
    EXPECT_FALSE(Exists("a"));
    EXPECT_TRUE(Exists("b"));

    SetKeySecurity(HKEY_CURRENT_USER, Subkey("b"), "D:(A;;KA;;;WD)");
    RegKey(FullPath()).Delete(true);
    EXPECT_FALSE(Exists());
}
