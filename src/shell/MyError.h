// SPDX-License-Identifier: MIT
// Progress and failure messages. A formatted message is cut at 511 characters.
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

#endif
