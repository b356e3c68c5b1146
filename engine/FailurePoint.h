// Named points of the installation where the test build does what an
// end-to-end test asks for through its environment:
//   QUILLMORE_TEST_FAIL_AT          "<point>:install-error" or "<point>:access-violation":
//                                   that failure at the named point
//   QUILLMORE_TEST_UNINSTALLER_PATH replaces the uninstaller path (point "uninstaller-path")
//   QUILLMORE_TEST_PAUSE            at point "uninstaller-file": signal the event
//                                   "<value>.ready", wait for "<value>.go"
//   QUILLMORE_TEST_COMMANDS_FILE    receives the uninstallation command list
//                                   when the steps end, success or failure
// The shipped installer has none of this: every call compiles to nothing.
#pragma once

#ifdef QUILLMORE_TEST_SEAMS
void FailurePoint(const char* name);
void StepsEnded() noexcept;
#else
inline void FailurePoint(const char*) {}
inline void StepsEnded() noexcept {}
#endif
