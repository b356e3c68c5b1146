// A registry key of each test's own under HKCU\Software\QuillmoreTests,
// removed before and after the test, with raw access to arrange and inspect
// it independently of the code under test.
#pragma once

#include "foundation/RegKey.h"

#include <gtest/gtest.h>

#include <string>

class ScratchKeyTest : public ::testing::Test {
protected:
    void SetUp() override { RegDeleteTreeA(HKEY_CURRENT_USER, Subkey().c_str()); }
    void TearDown() override { RegDeleteTreeA(HKEY_CURRENT_USER, Subkey().c_str()); }

    static std::string Subkey(const std::string& relative = "") {
        std::string path =
            "Software\\QuillmoreTests\\" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name());
        return relative.empty() ? path : path + "\\" + relative;
    }
    static std::string FullPath(const std::string& relative = "") { return "HKCU\\" + Subkey(relative); }

    // Stores exactly these bytes: the byte after them is not zero, so the
    // system adds no terminator that the count leaves out.
    static void SetRaw(const std::string& relative, const char* name, DWORD type, const std::string& bytes) {
        std::string data = bytes + '!';
        ASSERT_EQ(0, RegSetKeyValueA(HKEY_CURRENT_USER, Subkey(relative).c_str(), name, type, data.data(),
                                     static_cast<DWORD>(bytes.size())));
    }

    // The stored bytes, or "<code>" when the value cannot be read.
    static std::string RawValue(const std::string& relative, const char* name, DWORD* type = nullptr) {
        char data[1024];
        DWORD size = sizeof data;
        HKEY key = nullptr;
        LONG result = RegOpenKeyExA(HKEY_CURRENT_USER, Subkey(relative).c_str(), 0, KEY_QUERY_VALUE, &key);
        UniqueRegKey owner(key);
        if (result == 0) result = RegQueryValueExA(key, name, nullptr, type, reinterpret_cast<BYTE*>(data), &size);
        return result == 0 ? std::string(data, size) : "<" + std::to_string(result) + ">";
    }

    static bool Exists(const std::string& relative = "") {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, Subkey(relative).c_str(), 0, KEY_QUERY_VALUE, &key) != 0) return false;
        RegCloseKey(key);
        return true;
    }
};
