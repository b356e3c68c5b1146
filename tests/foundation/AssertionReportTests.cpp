#include "foundation/Handle.h"
#include "foundation/RefPtr.h"
#include "foundation/VellString.h"
#include "foundation/datavect.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

// Runs a failing check in a thread of its own, answers the message box that
// reports it, and gives back the box's text and the thread's exit code.
struct Report {
    std::string text;
    DWORD exitCode = 0;
};

DWORD WINAPI RunCheck(void* parameter) {
    (*static_cast<std::function<void()>*>(parameter))();
    return 0;
}

struct BoxSearch {
    HWND box = nullptr;
};

BOOL CALLBACK FindAssertionBox(HWND window, LPARAM parameter) {
    char className[16] = {};
    char caption[32] = {};
    GetClassNameA(window, className, sizeof(className));
    GetWindowTextA(window, caption, sizeof(caption));
    if (std::string(className) == "#32770" && std::string(caption) == "Assertion failed") {
        reinterpret_cast<BoxSearch*>(parameter)->box = window;
        return FALSE;
    }
    return TRUE;
}

Report RunFailingCheck(std::function<void()> check) {
    Report report;
    DWORD threadId = 0;
    UniqueHandle thread(CreateThread(nullptr, 0, RunCheck, &check, 0, &threadId));
    BoxSearch search;
    for (int attempt = 0; attempt < 200 && search.box == nullptr; ++attempt) {
        if (WaitForSingleObject(thread.get(), 50) == WAIT_OBJECT_0) break;
        EnumThreadWindows(threadId, FindAssertionBox, reinterpret_cast<LPARAM>(&search));
    }
    if (search.box != nullptr) {
        char text[1024] = {};
        GetDlgItemTextA(search.box, 0xFFFF, text, sizeof(text));
        report.text = text;
        PostMessageA(search.box, WM_COMMAND, IDOK, 0);
    }
    if (WaitForSingleObject(thread.get(), 10000) == WAIT_OBJECT_0) GetExitCodeThread(thread.get(), &report.exitCode);
    return report;
}

std::string ExpectedReport(const char* file, unsigned line, const char* expression) {
    // The report holds what a call with size 100 leaves in a zero-filled
    // 101-byte buffer, however the system truncates a longer path.
    char module[101] = {};
    GetModuleFileNameA(nullptr, module, 100);
    const std::string path = module;
    return "Assertion failed in module '" + path + "', PID " + std::to_string(GetCurrentProcessId()) +
           ", source file '" + file + "', line " + std::to_string(line) + ":\r\n" + expression +
           "\r\nThe asserting thread will be terminated.";
}

struct Page {
    char bytes[4 << 20];
};

struct Counted {
    void AddRef() {}
    void Release() {}
    void Touch() {}
};

struct Row {
    const char* name;
    std::function<void()> check;
    const char* file;
    unsigned line;
    const char* expression;
};

}  // namespace

TEST(AssertionReportTests, FailedChecksShowTheirReportAndEndOnlyTheirThread) {
    const Row rows[] = {
        {"index after failed growth",
         [] {
             datavect<Page> pages;
             pages.reserve(1000);
             pages[0].bytes[0] = 1;
         },
         "foundation/datavect.h", 332, "!af_ && i<s_"},
        {"erase past the end",
         [] {
             datavect<char> bytes;
             bytes.resize(2);
             bytes.erase(1u, 0xFFFFFFFFu);
         },
         "foundation/datavect.h", 306, "pos + count <= s_"},
        {"character past the end",
         [] {
             VellString text;
             text.insert(VellString::npos, "ab");
             const VellString& constant = text;
             (void)constant[2];
         },
         "foundation/VellString.h", 150, "!af_ && i<length()"},
        {"part beyond the other string",
         [] {
             VellString text;
             VellString other;
             other.insert(VellString::npos, "ab");
             text.insert(0, other, 1, 2);
         },
         "foundation/VellString.cpp", 37, "off + extend <= str.size() + 1"},
        {"empty reference",
         [] {
             RefPtr<Counted> empty;
             empty->Touch();
         },
         "foundation/RefPtr.h", 49, "m_ptr != 0"},
    };
    for (const Row& row : rows) {
        const Report report = RunFailingCheck(row.check);
        EXPECT_EQ(ExpectedReport(row.file, row.line, row.expression), report.text) << row.name;
        EXPECT_EQ(0x8805u, report.exitCode) << row.name;
    }
}
