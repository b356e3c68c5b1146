// Whether the process token holds the built-in Administrators group: the
// default for installing for all users.
#pragma once

// The test's answer, or answerOnError when the test itself fails.
bool IsUserAdmin(bool answerOnError);

// The test: always true on Windows 9x. Throws InstallError (or
// std::bad_alloc) when it cannot decide.
bool TokenHasAdministratorsGroup();
