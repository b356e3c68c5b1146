// The uninstaller driven as the installer and the Start Menu start it,
// against installations written by the tests.
#include "InstalledProduct.h"

#include "engine/InstallOptions.h"
#include "engine/InstallStep.h"
#include "foundation/Handle.h"
#include "installer/PreviousInstallation.h"
#include "support/ExpectedLines.h"
#include "support/MessageBoxDriver.h"
#include "support/ProcessRunner.h"
#include "support/SystemText.h"
#include "support/UninstallFixture.h"
#include "support/UninstallRun.h"
#include "system/FileSystemQueries.h"
#include "uninstaller/UninstallInfo.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <regex>

using namespace uninstall_test;

namespace {

UniqueFile OpenExclusively(const std::string& path) {
    return UniqueFile(CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
}

std::vector<std::string> Remaining(const std::vector<std::string>& paths) {
    std::vector<std::string> remaining;
    for (const std::string& path : paths)
        if (FileExists(path)) remaining.push_back(path);
    return remaining;
}

std::vector<std::string> RemainingKeys(const std::vector<std::string>& keys) {
    std::vector<std::string> remaining;
    for (const std::string& key : keys)
        if (KeyExists(HKEY_LOCAL_MACHINE, key)) remaining.push_back(key);
    return remaining;
}

using Strings = std::vector<std::string>;

}  // namespace

// The installer's writer and the uninstaller's parser agree on every
// keyword, and the text between them is the documented one.
TEST(CommandList, EveryKeywordTheInstallerWritesTheUninstallerReadsBack) {
    const std::pair<CommandKeyword, std::string> written[] = {
        {CommandKeyword::DelDir, "C:\\Q"},
        {CommandKeyword::DelFile, "C:\\Q\\a.txt"},
        {CommandKeyword::DelMainFile, "C:\\Q\\quillmore.exe"},
        {CommandKeyword::DelRegKey, "HKEY_LOCAL_MACHINE\\SOFTWARE\\Q"},
        {CommandKeyword::RstFileAssoc, ".pmx:Vantrel.Quillmore.4.33.Settings"}};
    StartUninstallCommands("Pellmar");
    for (const auto& [keyword, argument] : written) AppendUninstallCommand(keyword, argument);
    EXPECT_EQ(Options().uninstallCommands,
              "\"-shareResWith=Pellmar\" \"-delDir=C:\\Q\" \"-delFile=C:\\Q\\a.txt\" "
              "\"-delMainFile=C:\\Q\\quillmore.exe\" \"-delRegKey=HKEY_LOCAL_MACHINE\\SOFTWARE\\Q\" "
              "\"-rstFileAssoc=.pmx:Vantrel.Quillmore.4.33.Settings\"");

    const std::vector<UninstallCommand> read = ParseCommandList(Options().uninstallCommands);
    ASSERT_EQ(read.size(), 1 + std::size(written));
    EXPECT_EQ(read[0].kind, CommandKeyword::ShareResWith);
    EXPECT_EQ(read[0].argument, "Pellmar");
    for (size_t i = 0; i < std::size(written); ++i) {
        EXPECT_EQ(read[i + 1].kind, written[i].first) << i;
        EXPECT_EQ(read[i + 1].argument, written[i].second) << i;
    }
}

TEST(Uninstaller, RemovesEverythingListedButKeepsTheUsersFileWithItsFolders) {
    InstalledProduct product;
    const std::string userFile = In(installDir, "my notes.txt");
    WriteFileBytes(userFile, "mine");

    const UninstallOutcome outcome = Uninstall(UninstallString());

    EXPECT_EQ(0u, outcome.result);
    EXPECT_EQ(std::string("Kept directory C:\\Apps\\Vantrel\\Quillmore: it is not empty\n"
                          "Kept directory C:\\Apps\\Vantrel: it is not empty\n"
                          "Kept directory C:\\Apps: it is not empty\n") +
                  expected::kRemoved,
              outcome.output);
    EXPECT_EQ(Strings(), Remaining(product.Files()));
    EXPECT_EQ((Strings{installDir, vendorDir, appsDir}), Remaining(product.Directories()));
    EXPECT_EQ("mine", ReadFileBytes(userFile));
    EXPECT_EQ(Strings(), RemainingKeys(product.Keys()));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, In(classesKey, profileProgId)));  // DefaultIcon went with it
}

TEST(Uninstaller, HandsTheWorkToATemporaryCopyThatDeletesTheOriginalAndItselfAtReboot) {
    InstalledProduct product;
    SECURITY_ATTRIBUTES inheritable = {sizeof inheritable, nullptr, TRUE};
    const UniqueHandle section(CreateFileMappingA(INVALID_HANDLE_VALUE, &inheritable, PAGE_READWRITE, 0, 4, nullptr));
    const UniqueHandle event(CreateEventA(&inheritable, TRUE, FALSE, nullptr));
    const UniqueView view(MapViewOfFile(section.get(), FILE_MAP_READ, 0, 0, 4));
    ASSERT_TRUE(section && event && view);
    char channel[64];
    std::snprintf(channel, sizeof channel, "-unat -result=%08X -done=%08X",
                  static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(section.get())),
                  static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(event.get())));
    // A product file in use makes the result 13, so that it cannot be
    // mistaken for the zeroed section.
    const UniqueFile held = OpenExclusively(In(installDir, "vantcfg.exe"));

    const ProcessOutcome original = RunProcess(UninstallerPath(), std::string("Quillmore ") + channel);

    EXPECT_EQ(1u, original.exitCode);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(event.get(), 30000));
    EXPECT_EQ(13u, *static_cast<const std::uint32_t*>(view.get()));
    const Strings pending = PendingDeletions();
    ASSERT_EQ(1u, pending.size());
    const std::string temp = GetTempDirectory();
    EXPECT_EQ(temp, pending[0].substr(0, temp.size()));
    EXPECT_TRUE(std::regex_match(pending[0].substr(temp.size()), std::regex(R"(uninst-[0-9A-F]{8}\.exe)")))
        << pending[0];
}

TEST(Uninstaller, FileInUseFailsPartlyKeepsTheUninstallerAndCanBeRetried) {
    InstalledProduct product;
    const std::string busy = In(installDir, "vantcfg.exe");
    UninstallOutcome outcome;
    {
        const UniqueFile held = OpenExclusively(busy);
        outcome = Uninstall(UninstallString());
    }
    EXPECT_EQ(13u, outcome.result);
    EXPECT_EQ("File deletion failed: " + busy + ": Windows error 32: " + SystemText(ERROR_SHARING_VIOLATION) + "\n" +
                  "Kept directory C:\\Apps\\Vantrel\\Quillmore: it is not empty\n"
                  "Kept directory C:\\Apps\\Vantrel: it is not empty\n"
                  "Kept directory C:\\Apps: it is not empty\n"
                  "Quillmore uninstallation failed partly or completely\n",
              outcome.output);
    EXPECT_EQ((Strings{busy, UninstallerPath()}), Remaining(product.Files()));
    EXPECT_EQ(Strings{UninstallKey()}, RemainingKeys(product.Keys()));

    outcome = Uninstall(UninstallString());

    EXPECT_EQ(0u, outcome.result);
    EXPECT_EQ(expected::kRemoved, outcome.output);
    EXPECT_EQ(Strings(), Remaining(product.Files()));
    EXPECT_EQ(Strings(), Remaining(product.Directories()));
    EXPECT_EQ(Strings(), RemainingKeys(product.Keys()));
}

TEST(Uninstaller, MainExecutableInUseIsLeftForTheNextReboot) {
    InstalledProduct product;
    const std::string main = In(installDir, "quillmore.exe");
    const UniqueFile held = OpenExclusively(main);

    const UninstallOutcome outcome = Uninstall(UninstallString());

    EXPECT_EQ(0u, outcome.result);
    EXPECT_EQ("Main executable in use, scheduled for deletion on reboot: " + main + "\n" +
                  "Kept directory C:\\Apps\\Vantrel\\Quillmore: it is not empty\n"
                  "Kept directory C:\\Apps\\Vantrel: it is not empty\n"
                  "Kept directory C:\\Apps: it is not empty\n" +
                  expected::kRemoved,
              outcome.output);
    const Strings pending = PendingDeletions();
    EXPECT_NE(pending.end(), std::find(pending.begin(), pending.end(), main));
    EXPECT_EQ(Strings(), RemainingKeys(product.Keys()));
}

TEST(Uninstaller, ExtensionThatNowOpensWithAnotherProgramSurvives) {
    InstalledProduct product;
    InstalledProduct::RegisterForeignAssociation(".qmp", "Other.App.1.0.Doc");

    const UninstallOutcome outcome = Uninstall(UninstallString());

    EXPECT_EQ(0u, outcome.result);
    EXPECT_NE(std::string::npos,
              outcome.output.find("Kept file association of extension '.qmp': it opens with Other.App.1.0.Doc\n"));
    EXPECT_EQ("Other.App.1.0.Doc", ReadString(HKEY_LOCAL_MACHINE, In(classesKey, ".qmp"), ""));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, In(classesKey, "Other.App.1.0.Doc\\Shell\\open\\command")));
    EXPECT_EQ(Strings{In(classesKey, ".qmp")}, RemainingKeys(product.Keys()));
}

TEST(Uninstaller, SiblingProductKeepsWhatItRegisteredAndGetsItsExtensionBack) {
    InstalledProduct product;
    // The sibling registered .pmx before this product took it over, and
    // shares one file with it.
    const std::string siblingProgId = "Vantrel.Pellmar.5.0.Settings";
    const std::string shared = In(installDir, "vantrel.ini");
    InstalledProduct::RegisterForeignAssociation(".pmx", siblingProgId);
    WriteString(HKEY_LOCAL_MACHINE, In(classesKey, ".pmx"), "", settingsProgId);
    WriteFileBytes(shared, "shared settings");
    const Commands siblingList{{"-shareResWith=", "Quillmore"},
                               {"-delFile=", shared},
                               {"-delRegKey=", "HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\.pmx"},
                               {"-delRegKey=", "HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\" + siblingProgId + "\\Shell"},
                               {"-delRegKey=", "HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\" + siblingProgId},
                               {"-delRegKey=", "HKEY_LOCAL_MACHINE\\" + UninstallKey("Pellmar")}};
    WriteString(HKEY_LOCAL_MACHINE, UninstallKey("Pellmar"), "UninstallParam", CommandList(siblingList));
    WriteString(HKEY_LOCAL_MACHINE, UninstallKey("Pellmar"), "InstallDir", "C:\\Apps\\Vantrel\\Pellmar");
    Commands ours = product.List();
    ours.insert(ours.begin() + 1, {"-delFile=", shared});
    WriteString(HKEY_LOCAL_MACHINE, UninstallKey(), "UninstallParam", CommandList(ours));

    const UninstallOutcome outcome = Uninstall(UninstallString());

    EXPECT_EQ(0u, outcome.result);
    EXPECT_EQ("Kept " + shared + ": Pellmar uses it\n" +
                  "Kept HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\.pmx: Pellmar uses it\n"
                  "Restored file association of extension '.pmx' to " +
                  siblingProgId + "\n" +
                  "Kept directory C:\\Apps\\Vantrel\\Quillmore: it is not empty\n"
                  "Kept directory C:\\Apps\\Vantrel: it is not empty\n"
                  "Kept directory C:\\Apps: it is not empty\n" +
                  expected::kRemoved,
              outcome.output);
    EXPECT_TRUE(FileExists(shared));
    EXPECT_EQ(siblingProgId, ReadString(HKEY_LOCAL_MACHINE, In(classesKey, ".pmx"), ""));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, In(classesKey, siblingProgId + "\\Shell\\open\\command")));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, UninstallKey("Pellmar")));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, In(classesKey, settingsProgId)));
}

TEST(Uninstaller, SearchPathLosesOnlyTheInstallationDirectory) {
    const std::string dir = installDir;
    const std::string longPath = [] {
        std::string text;
        for (int i = 0; i < 300; ++i) text += "C:\\Tools\\Set" + std::to_string(i) + ";";
        return text;
    }();
    const std::string z(1, '\0');
    struct Case {
        DWORD type;
        std::string before, after;  // raw bytes; an empty `after` means the value is gone
    } cases[] = {
        {REG_EXPAND_SZ, "%SystemRoot%\\system32;%SystemRoot%;" + dir + z, "%SystemRoot%\\system32;%SystemRoot%" + z},
        {REG_SZ, dir + ";C:\\Tools" + z, "C:\\Tools" + z},
        {REG_EXPAND_SZ, "A;B;;" + dir + z, "A;B;" + z},
        {REG_SZ, "C:\\Tools;C:\\APPS\\VANTREL\\QUILLMORE;" + dir + "\\;D" + z, "C:\\Tools;" + dir + "\\;D" + z},
        {REG_EXPAND_SZ, dir + z, ""},
        {REG_EXPAND_SZ, longPath + dir + z, longPath.substr(0, longPath.size() - 1) + z},
        {REG_SZ, "X;" + dir + z + z, "X" + z + z},
        {REG_SZ, "C:\\Quillmore;C:\\Apps\\Vantrel" + z, "C:\\Quillmore;C:\\Apps\\Vantrel" + z},
    };
    const Commands list{{"-shareResWith=", "Pellmar"}, {"-delRegKey=", "HKEY_LOCAL_MACHINE\\" + UninstallKey()}};
    const size_t count = sizeof cases / sizeof cases[0];
    for (size_t i = 0; i < count; ++i) {
        const Case& machine = cases[i];
        const Case& user = cases[(i + 1) % count];
        WriteRaw(HKEY_LOCAL_MACHINE, kMachineEnvironment, "PATH", machine.type, machine.before);
        WriteRaw(HKEY_CURRENT_USER, kUserEnvironment, "PATH", user.type, user.before);
        WriteString(HKEY_LOCAL_MACHINE, UninstallKey(), "UninstallParam", CommandList(list));
        WriteString(HKEY_LOCAL_MACHINE, UninstallKey(), "InstallDir", dir);

        const UninstallOutcome outcome = Uninstall("\"" + SiblingExecutable("uninst.exe") + "\" Quillmore");

        EXPECT_EQ(0u, outcome.result) << "case " << i << ": " << outcome.output;
        const RawValue machineAfter = ReadRaw(HKEY_LOCAL_MACHINE, kMachineEnvironment, "PATH");
        const RawValue userAfter = ReadRaw(HKEY_CURRENT_USER, kUserEnvironment, "PATH");
        EXPECT_EQ(machine.after, machineAfter.bytes) << "case " << i;
        EXPECT_EQ(user.after, userAfter.bytes) << "case " << i + 1;
        if (machineAfter.exists) {
            EXPECT_EQ(machine.type, machineAfter.type) << "case " << i;
        }
        if (userAfter.exists) {
            EXPECT_EQ(user.type, userAfter.type) << "case " << i + 1;
        }
        EXPECT_EQ(!machine.after.empty(), machineAfter.exists) << "case " << i;
    }
}

TEST(Uninstaller, MissingOrUnparsableInformationEndsWith12AndRemovesNothing) {
    const std::string file = "C:\\keep.txt";
    WriteFileBytes(file, "x");
    const std::string fileEntry = "\"-delFile=" + file + "\"";
    struct Case {
        std::string arguments;
        std::string list;  // empty: no "UninstallParam"
        std::string installDir;
        std::string firstLine;
    } cases[] = {
        {"Quillmore", "", "C:\\Q", expected::kLoadFailed + std::string("reading \"UninstallParam\" of ")},
        {"Quillmore", fileEntry, "", expected::kLoadFailed + std::string("reading \"InstallDir\" of ")},
        {"Quillmore", fileEntry + " \"-delDir=C:\\Q", "C:\\Q",
         expected::kUnparsable + std::string("unterminated entry at offset ")},
        {"Quillmore", fileEntry + " \"-delEverything=C:\\\"", "C:\\Q",
         expected::kUnparsable + std::string("unknown command \"-delEverything=C:\\\"")},
        {"Quillmore", fileEntry + " \"-delFile=keep.txt\"", "C:\\Q",
         expected::kUnparsable + std::string("unusable argument in \"-delFile=keep.txt\"")},
        {"Quillmore", fileEntry + " \"-delRegKey=SOFTWARE\\Vantrel\"", "C:\\Q",
         expected::kUnparsable + std::string("unusable argument in \"-delRegKey=SOFTWARE\\Vantrel\"")},
        {"Quillmore", fileEntry + " -delDir=C:\\Q", "C:\\Q",
         expected::kUnparsable + std::string("entry without double quote at offset ")},
        {"Pellmar", fileEntry, "C:\\Q", expected::kLoadFailed + std::string("reading \"UninstallParam\" of ")},
        {"", fileEntry, "C:\\Q", "Invalid command line: the product's key name is missing\n"},
        {"Quillmore -quiet", fileEntry, "C:\\Q", "Invalid command line: unknown option -quiet\n"},
        {"\"Quillmore", fileEntry, "C:\\Q", "Invalid command line: unterminated double quote\n"},
        {"Quillmore -result=0000007C", fileEntry, "C:\\Q", "Invalid command line: -result= and -done= go together\n"},
        {"Quillmore -result=7G -done=7C", fileEntry, "C:\\Q", "Invalid command line: bad handle value in -result=7G\n"},
        {"Quillmore -result=7C -done=00000000", fileEntry, "C:\\Q",
         "Invalid command line: bad handle value in -done=00000000\n"},
        {"Quillmore -result=7C -done=", fileEntry, "C:\\Q", "Invalid command line: bad handle value in -done=\n"},
    };
    for (const Case& test : cases) {
        DeleteTree(HKEY_LOCAL_MACHINE, UninstallKey());
        if (!test.list.empty()) WriteString(HKEY_LOCAL_MACHINE, UninstallKey(), "UninstallParam", test.list);
        if (!test.installDir.empty()) WriteString(HKEY_LOCAL_MACHINE, UninstallKey(), "InstallDir", test.installDir);

        const ProcessOutcome outcome = RunProcess(SiblingExecutable("uninst.exe"), test.arguments + " -unat");

        EXPECT_EQ(12u, outcome.exitCode) << test.arguments << " " << test.list;
        EXPECT_EQ(test.firstLine, outcome.out.substr(0, test.firstLine.size())) << outcome.out;
        EXPECT_TRUE(FileExists(file)) << test.list;
    }
}

TEST(Uninstaller, InteractiveRemovalAsksFirstAndReportsTheEnd) {
    InstalledProduct product;
    // The Start Menu link's command line, in the link's working directory.
    ProcessOptions options;
    options.workingDirectory = installDir;
    ChildProcess declined(UninstallerPath(), "Quillmore", options);
    HWND question = WaitForMessageBox("Uninstall Quillmore");
    ASSERT_NE(nullptr, question);
    EXPECT_EQ(
        "Do you want to remove Quillmore and all of its components from this computer?\n"
        "Files that you created in its folders are kept.",
        MessageBoxText(question));
    Answer(question, IDNO);
    EXPECT_EQ(2u, declined.Wait().exitCode);
    EXPECT_EQ(product.Files(), Remaining(product.Files()));

    ChildProcess accepted(UninstallerPath(), "Quillmore ", options);
    question = WaitForMessageBox("Uninstall Quillmore");
    ASSERT_NE(nullptr, question);
    Answer(question, IDYES);
    const HWND completed = WaitForMessageBox("Uninstallation Completed");
    ASSERT_NE(nullptr, completed);
    EXPECT_EQ("Quillmore was removed from this computer.", MessageBoxText(completed));
    Answer(completed, IDOK);
    EXPECT_EQ(1u, accepted.Wait().exitCode);  // handed over: the copy finished the work
    EXPECT_EQ(Strings(), Remaining(product.Files()));
    EXPECT_EQ(Strings(), Remaining(product.Directories()));
    EXPECT_EQ(Strings(), RemainingKeys(product.Keys()));
}
