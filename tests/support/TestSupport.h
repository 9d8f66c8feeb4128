// Helpers shared by the test programs.
#ifndef KORVALEND_TESTSUPPORT_H
#define KORVALEND_TESTSUPPORT_H

#include <string>

// The folder of real third-party files for loader tests, or "" when it is
// not beside the project (a user's clone); tests then skip.
std::string TestDataDir();

#endif
