// Hooks for the end-to-end tests of the installation steps, compiled only
// into test builds (QUILLMORE_TEST_SEAMS); the shipped installer has none.
// Each is driven by an environment variable of the test:
//   QUILLMORE_TEST_COMMANDS_FILE    receives the uninstallation command list
//                                   when the steps end, success or failure
//   QUILLMORE_TEST_MEMORY_FILE      receives the process's peak working set
//                                   then (for the benchmark)
//   QUILLMORE_TEST_UNINSTALLER_PATH replaces the uninstaller path
//   QUILLMORE_TEST_PAUSE            before the uninstaller file: signal the
//                                   event "<value>.ready", wait for "<value>.go"
//   QUILLMORE_TEST_FAIL_AT          "<row>:install-error" or "<row>:access-violation":
//                                   that failure in place of installation row <row>
//                                   (rows 9, 14 and 16 ask)
#pragma once

#ifdef QUILLMORE_TEST_SEAMS

class EndOfStepsReport {
public:
    EndOfStepsReport() = default;
    EndOfStepsReport(const EndOfStepsReport&) = delete;
    EndOfStepsReport& operator=(const EndOfStepsReport&) = delete;
    ~EndOfStepsReport();
};

void ApplyUninstallerPathSeam();
void PauseBeforeUninstallerSeam();
void FailureSeam(int row);

#endif
