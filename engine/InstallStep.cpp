#include "engine/InstallStep.h"

#include "engine/FailurePoint.h"
#include "engine/InstallOptions.h"
#include "engine/InstallerMessages.h"
#include "foundation/Console.h"
#include "foundation/Errors.h"
#include "foundation/Win.h"
#include "system/RebootDeletion.h"

bool InstallStep::ShouldUndo() const {
    return !m_committed && !Options().noRollback;
}

StepSequence::~StepSequence() {
    while (!m_steps.empty()) m_steps.pop_back();
    StepsEnded();
}

void StepSequence::Commit() {
    for (auto step = m_steps.rbegin(); step != m_steps.rend(); ++step) (*step)->Commit();
}

namespace {

const UndoTexts& TextsFor(UndoneObject kind) {
    switch (kind) {
        case UndoneObject::Directory:
            return kDirectoryUndoTexts;
        case UndoneObject::Shortcut:
            return kShortcutUndoTexts;
        case UndoneObject::File:
            break;
    }
    return kFileUndoTexts;
}

bool Remove(UndoneObject kind, const std::string& path) {
    if (kind == UndoneObject::Directory) return RemoveDirectoryA(path.c_str()) != FALSE;
    return DeleteFileA(path.c_str()) != FALSE;
}

void ReportAndRemove(UndoneObject kind, const std::string& path) {
    const UndoTexts& texts = TextsFor(kind);
    ConsoleLine(texts.removing + path);
    if (Remove(kind, path)) return;

    DWORD code = GetLastError();
    std::string reason = DescribeWindowsError(code);
    ConsoleLine(texts.failed + reason);
    if (Options().interactive) {
        const std::string text = UndoFailedText(path, reason, texts);
        MessageBoxA(nullptr, text.c_str(), texts.caption, MB_OK | MB_ICONERROR);
    }
    ConsoleLine(texts.scheduling);
    if (!ScheduleDeleteOnReboot(path)) ConsoleLine(texts.schedulingFailed);
}

}  // namespace

void RemoveWithUndoReport(UndoneObject kind, const std::string& path) {
    try {
        ReportAndRemove(kind, path);
    } catch (...) {
        // An undo runs inside a destructor, possibly while another exception
        // unwinds: nothing may leave it, and the other undos must still run.
    }
}

void DecideOnRecoverableFailure(const RecoverableFailure& failure) {
    const InstallOptions& options = Options();
    if (options.interactive) {
        int answer = MessageBoxA(nullptr, failure.question.c_str(), failure.caption.c_str(), MB_YESNO | MB_ICONWARNING);
        if (answer == IDYES) return;
        ConsoleLine(CanceledByUserLine(failure.cancelReason));
        throw SilentExit(failure.exitCode);
    }
    if (options.force) {
        ConsoleLine(failure.warningLine);
        return;
    }
    ConsoleLine(failure.abortLine);
    throw SilentExit(failure.exitCode);
}

namespace {

std::string Entry(CommandKeyword keyword, const std::string& argument) {
    return "\"" + std::string(KeywordText(keyword)) + argument + "\"";
}

}  // namespace

void StartUninstallCommands(const std::string& siblingProduct) {
    Options().uninstallCommands = Entry(CommandKeyword::ShareResWith, siblingProduct);
}

void AppendUninstallCommand(CommandKeyword keyword, const std::string& argument) {
    Options().uninstallCommands += " " + Entry(keyword, argument);
}
