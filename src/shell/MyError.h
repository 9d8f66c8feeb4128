// SPDX-License-Identifier: MIT
// Progress and failure messages, and the ways the process ends. A formatted
// message is cut at 511 characters.
#ifndef KORVALEND_MYERROR_H
#define KORVALEND_MYERROR_H

// To standard error, no newline added.
void error(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
// To standard output, no newline added.
void mesg(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
// "msg: strerror(errno)\n", or the strerror text alone when msg is empty.
void myperror(const char* msg);
// The one way out for a failure that leaves nothing to run on (no video,
// no window, no display list, no memory for the object list): the message
// to standard error, then exit status 1. Everything else is reported
// through error() and the game goes on without the asset.
[[noreturn]] void fatal(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

// The other ends, each for one reason (the README lists them, and the
// display's loss, DisplayEnd, which runs no exit handler):
// The player quits (status 0). The exit handlers run, each once: the
// settings and the recording so far are saved, SDL is shut down.
[[noreturn]] void QuitGame();
// The command line: --help and --version done (0), or a wrong one (2).
[[noreturn]] void EndCommandLine(int status);
// A recording played back: to its end, or stopped by the viewer (0); it
// diverged from the game, or could not be played (1).
[[noreturn]] void EndPlayback(bool played);

#endif
