#include "engine/InstallOptions.h"
#include "foundation/Win.h"
#include "installer/CmdLine.h"
#include "installer/InstallFlow.h"

#include <gtest/gtest.h>

namespace {

const unsigned installerFlags = 7;

// Everything the parser made of a command line: with nothing consumed, the
// unused-item report lists every positional item in order, then every option
// in name order with its value.
std::string EverythingUnused(const std::wstring& commandLine, unsigned flags = installerFlags) {
    try {
        CmdLine(commandLine, flags).checkAllUsed(true);
    } catch (const CmdLine::Err& e) {
        return e.what();
    }
    return "(nothing)";
}

TEST(CmdLine, SplitsUnescapesAndClassifiesItems) {
    const struct {
        const wchar_t* commandLine;
        const char* items;
    } cases[] = {
        {L"p a \"b c\"\td\r\ne",
         "Invalid command option: p.\nInvalid command option: a.\nInvalid command option: b c.\n"
         "Invalid command option: d.\nInvalid command option: e."},
        {L"p C:\\Dir \\\\server\\share",
         "Invalid command option: p.\nInvalid command option: C:\\Dir.\n"
         "Invalid command option: \\server\\share."},
        {L"p a\\\"b \"x\"\"y\"",
         "Invalid command option: p.\nInvalid command option: a\"b.\nInvalid command option: x\"y."},
        {L"p a\\\\\"b c\"", "Invalid command option: p.\nInvalid command option: a\\b c."},
        {L"p \"\" - / \"",
         "Invalid command option: p.\nInvalid command option: \".\nInvalid command option: -.\n"
         "Invalid command option: /."},
        {L"p -x=\"C:\\Program Files\\Q\" -e=",
         "Invalid command option: p.\nInvalid command parameter: -e=.\n"
         "Invalid command parameter: -x=C:\\Program Files\\Q."},
        {L"p -B=1 /a -c=x=y",
         "Invalid command option: p.\nInvalid command parameter: -a.\n"
         "Invalid command parameter: -B=1.\nInvalid command parameter: -c=x=y."},
        {L"p -Same=1 /same -SAME=3", "Invalid command option: p.\nInvalid command parameter: -Same=3."},
        {L"-p.exe /q", "Invalid command option: -p.exe.\nInvalid command parameter: -q."},
    };
    for (const auto& c : cases) EXPECT_EQ(c.items, EverythingUnused(c.commandLine)) << c.items;
    // Without the flag for them, a slash starts no option.
    EXPECT_EQ("Invalid command option: p.\nInvalid command option: /a.",
              EverythingUnused(L"p /a", installerFlags & ~CmdLine::SlashOptions));
}

TEST(CmdLine, FlagsAndValuesAreDistinctAndMarkedOnlyWhenAsked) {
    CmdLine cmdLine(L"p -flag -valued=v", installerFlags);
    std::wstring value;
    EXPECT_FALSE(cmdLine.getValue(L"FLAG", value, true));
    EXPECT_FALSE(cmdLine.hasFlag(L"valued", true));
    EXPECT_TRUE(cmdLine.hasFlag(L"FLAG", false));
    EXPECT_TRUE(cmdLine.getValue(L"Valued", value, false));
    EXPECT_EQ(L"v", value);
    try {
        cmdLine.checkAllUsed(false);
        ADD_FAILURE() << "nothing was consumed";
    } catch (const CmdLine::Err& e) {
        EXPECT_STREQ("Invalid command parameter: -flag.\nInvalid command parameter: -valued=v.", e.what());
    }
    EXPECT_TRUE(cmdLine.hasFlag(L"flag", true));
    EXPECT_TRUE(cmdLine.getValue(L"valued", value, true));
    EXPECT_NO_THROW(cmdLine.checkAllUsed(false));
}

TEST(ModeDecision, OnlyTheProgramNameMeansInteractive) {
    const struct {
        const wchar_t* commandLine;
        bool interactive;
    } cases[] = {
        {L"QuillmoreInstaller.exe", true},
        {L"\"C:\\Program Files\\Q\\QuillmoreInstaller.exe\"  \t", true},
        {L"-setup.exe", true},
        {L"QuillmoreInstaller.exe word", false},
        {L"QuillmoreInstaller.exe -", false},
        {L"QuillmoreInstaller.exe /?", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.interactive, IsInteractiveRun(CmdLine(c.commandLine, installerFlags))) << c.interactive;
}

class OptionReader : public ::testing::Test {
protected:
    void SetUp() override { Options() = InstallOptions(); }
    void TearDown() override { Options() = InstallOptions(); }

    void Read(const std::wstring& arguments) {
        CmdLine cmdLine(L"QuillmoreInstaller.exe " + arguments, installerFlags);
        ReadUnattendedOptions(cmdLine, allUsers, desktopIcon);
    }

    bool allUsers = true;
    bool desktopIcon = true;
};

// Every step and the uninstaller see the directory's full path; a name the
// ANSI code page cannot hold would be another folder and is refused.
TEST_F(OptionReader, TakesTheFullPathOfTheDirectoryAndTheLastOfRepeatedOnes) {
    char current[MAX_PATH];
    const std::string here(current, GetCurrentDirectoryA(MAX_PATH, current));
    const struct {
        const wchar_t* arguments;
        std::string directory;  // empty: refused
    } cases[] = {
        {L"-installDir=A -installDir=B", here + (here.back() == '\\' ? "B" : "\\B")},
        {L"-installDir=\"C:\\Program Files\\Q\"", "C:\\Program Files\\Q"},
        {L"/INSTALLDIR=C:/Apps/Q/", "C:\\Apps\\Q"},
        {L"-installDir=C:\\Q\\..\\R\\.", "C:\\R"},
        {L"-installDir=C:\\Q\u00e9", "C:\\Q\xe9"},  // the ANSI code page is 1252 here
        {L"-installDir=C:\\\u0100pps", ""},         // best fit would make it C:\Apps
    };
    for (const auto& c : cases) {
        Options() = InstallOptions();
        if (c.directory.empty()) {
            EXPECT_THROW(Read(c.arguments), CmdLine::Err);
            EXPECT_EQ("", Options().installDir);
        } else {
            Read(c.arguments);
            EXPECT_EQ(c.directory, Options().installDir);
        }
    }
}

TEST_F(OptionReader, ReadsEveryFlagInAnyCaseAndEitherPrefix) {
    Read(L"-installDir=C:\\Q -FORCE /noRollback -accepteula /InstallForMeOnly -NODESKTOPICON");
    EXPECT_TRUE(Options().force);
    EXPECT_TRUE(Options().noRollback);
    EXPECT_TRUE(Options().acceptEULA);
    EXPECT_FALSE(allUsers);
    EXPECT_FALSE(desktopIcon);

    Options() = InstallOptions();
    allUsers = true;
    Read(L"-installDir=C:\\Q");
    EXPECT_FALSE(Options().force || Options().noRollback || Options().acceptEULA);
    EXPECT_TRUE(allUsers);
    EXPECT_TRUE(desktopIcon);
}

TEST(ActionCaption, ComparesVersionsByteWise) {
    const struct {
        const char* previous;
        const char* caption;
    } cases[] = {
        {"", "Install"},     {"4.07", "Upgrade"}, {"4.3", "Upgrade"}, {"10.0", "Upgrade"},
        {"4.33", "Replace"}, {"4.4", "Replace"},  {"5.0", "Replace"}, {"4.33a", "Replace"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.caption, ActionCaption(c.previous)) << c.previous;
}

}  // namespace
