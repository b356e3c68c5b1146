
#include "engine/InstallOptions.h"
#include "engine/InstallStep.h"
#include "engine/InstallerMessages.h"
#include "foundation/Console.h"
#include "foundation/Errors.h"
#include "foundation/Path.h"
#include "foundation/RegKey.h"
#include "foundation/Text.h"
#include "foundation/Win.h"

#include <cstdint>
#include <exception>

namespace {

const char kClassesKey[] = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes";

// An extension that already opens with this step's own ProgID was left by an
// installation that ended before it was registered: there is no other
// program's association to give back.
std::string PreviousProgId(const std::string& current, const std::string& own) {
    return SameText(current, own) ? std::string() : current;
}

// Any failure, a missing key or value, or a value of another type counts
// as no value.
std::string ReadDefaultValue(const std::string& keyPath) {
    RegKeyNoThrow key;
    std::string text = key.ReadString(keyPath, std::string(), false);
    return key.Succeeded() ? text : std::string();
}

bool KeyExists(const std::string& keyPath) {
    try {
        RegKey(keyPath).Open(KEY_QUERY_VALUE);
        return true;
    } catch (const Norlib::RegException&) {
        return false;
    }
}

void WriteDefaultValue(const std::string& keyPath, const std::string& text) {
    RegKey::WriteString(keyPath, std::string(), text, false);
}

void DeleteDefaultValue(const std::string& keyPath) {
    RegKey key(keyPath);
    key.Open(KEY_SET_VALUE);
    LONG code = RegDeleteValueA(key.Handle(), nullptr);
    key.Record(L"RegDeleteValueA()", static_cast<std::uint32_t>(code));
    if (code != ERROR_SUCCESS && code != ERROR_FILE_NOT_FOUND) throw Norlib::RegException(key);
}

}  // namespace

std::string ProgIdDisplayName(const std::string& progId) {
    std::size_t first = progId.find('.');
    std::size_t second = first == std::string::npos ? first : progId.find('.', first + 1);
    std::size_t last = progId.rfind('.');
    // Three dots at least: the last one is then neither the first nor the second.
    if (second == std::string::npos || last == second) return progId;
    std::string shown = progId;
    shown[first] = shown[second] = shown[last] = ' ';
    return shown;
}

FileAssociationStep::FileAssociationStep(const std::string& progId, const std::string& extension,
                                         const std::string& description, const std::string& iconLocation,
                                         const std::vector<ShellVerb>& verbs)
    : m_progIdKey(JoinPath(kClassesKey, progId)), m_extensionKey(JoinPath(kClassesKey, extension)),
      m_extension(extension), m_previousProgId(PreviousProgId(ReadDefaultValue(m_extensionKey), progId)),
      m_extensionKeyExisted(KeyExists(m_extensionKey)), m_progIdKeyExisted(KeyExists(m_progIdKey)) {
    if (m_previousProgId.empty()) {
        ConsoleLine(RegisteringAssociationLine(m_extension));
    } else {
        ConsoleLine(ReplacingAssociationLine(m_extension, ProgIdDisplayName(m_previousProgId)));
    }

    try {
        Register(progId, description, iconLocation, verbs);
    } catch (const std::exception& e) {
        // The writes done so far stay, and so does the step: a later rollback
        // undoes it like a complete one.
        DecideOnRecoverableFailure(AssociationFailure(m_extension, e.what()));
    }
}

FileAssociationStep::~FileAssociationStep() {
    if (!ShouldUndo()) return;
    try {
        Undo();
    } catch (...) {
        // Nothing may leave a destructor: the other steps must still be undone.
    }
}

// Stops at the first failing write. The uninstaller deletes the keys in the
// order recorded: every command key before its verb key, the verbs before
// Shell, and the ProgID key last. DefaultIcon goes with the ProgID key.
void FileAssociationStep::Register(const std::string& progId, const std::string& description,
                                   const std::string& iconLocation, const std::vector<ShellVerb>& verbs) {
    WriteDefaultValue(m_extensionKey, progId);
    AppendUninstallCommand(CommandKeyword::DelRegKey, m_extensionKey);
    WriteDefaultValue(m_progIdKey, description);
    WriteDefaultValue(JoinPath(m_progIdKey, "DefaultIcon"), iconLocation);
    if (!verbs.empty()) {
        std::string shellKey = JoinPath(m_progIdKey, "Shell");
        WriteDefaultValue(shellKey, verbs.front().name);
        for (const ShellVerb& verb : verbs) {
            std::string verbKey = JoinPath(shellKey, verb.name);
            std::string commandKey = JoinPath(verbKey, "command");
            WriteDefaultValue(verbKey, verb.name);
            WriteDefaultValue(commandKey, verb.commandLine);
            AppendUninstallCommand(CommandKeyword::DelRegKey, commandKey);
            AppendUninstallCommand(CommandKeyword::DelRegKey, verbKey);
        }
        AppendUninstallCommand(CommandKeyword::DelRegKey, shellKey);
    }
    AppendUninstallCommand(CommandKeyword::DelRegKey, m_progIdKey);
}

// The extension gets its mapping back. A ProgID key that this step made
// goes too, so that a failed installation leaves the classes as they were;
// one that was there before may belong to another installation and stays.
void FileAssociationStep::Undo() {
    ConsoleLine(AssociationUndoLine(m_extension));
    bool restoring = !m_previousProgId.empty();
    try {
        if (restoring)
            WriteDefaultValue(m_extensionKey, m_previousProgId);
        else
            RemoveExtensionMapping();
    } catch (const std::exception& e) {
        ReportUndoFailure(restoring, e.what());
    }
    try {
        if (!m_progIdKeyExisted && KeyExists(m_progIdKey)) RegKey(m_progIdKey).Delete(true);
    } catch (const std::exception& e) {
        ReportUndoFailure(false, e.what());
    }
}

// Not scheduled for later, and the rollback goes on.
void FileAssociationStep::ReportUndoFailure(bool restoring, const std::string& reason) const {
    ConsoleLine(AssociationUndoFailedLine(restoring, reason));
    if (!Options().interactive) return;
    const std::string text = AssociationUndoFailedText(restoring, m_extension, reason);
    MessageBoxA(nullptr, text.c_str(), AssociationUndoFailedCaption(restoring), MB_OK | MB_ICONERROR);
}

// An extension key that was there before (without a ProgID) keeps whatever
// else it holds; only the ProgID this step gave it goes.
void FileAssociationStep::RemoveExtensionMapping() {
    if (m_extensionKeyExisted)
        DeleteDefaultValue(m_extensionKey);
    else
        RegKey(m_extensionKey).Delete(false);
}
