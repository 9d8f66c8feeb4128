// SPDX-License-Identifier: MIT
#include "shell/MyError.h"

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {
const int MESSAGE_SIZE = 512;

void Emit(FILE* stream, const char* fmt, va_list args) {
    char buffer[MESSAGE_SIZE];
    // vsnprintf cuts what does not fit and always terminates.
    std::vsnprintf(buffer, sizeof buffer, fmt, args);
    std::fputs(buffer, stream);
    std::fflush(stream);
}
}  // namespace

void error(const char* fmt, ...) {
    va_list args;
    va_start(args, fmt);
    Emit(stderr, fmt, args);
    va_end(args);
}

void mesg(const char* fmt, ...) {
    va_list args;
    va_start(args, fmt);
    Emit(stdout, fmt, args);
    va_end(args);
}

void myperror(const char* msg) {
    const char* text = std::strerror(errno);
    if (msg != nullptr && msg[0] != '\0') {
        char buffer[MESSAGE_SIZE];
        std::snprintf(buffer, sizeof buffer, "%s: %s\n", msg, text);
        error("%s", buffer);
    } else {
        error("%s", text);
    }
}

void fatal(const char* fmt, ...) {
    va_list args;
    va_start(args, fmt);
    Emit(stderr, fmt, args);
    va_end(args);
    std::exit(1);
}

void QuitGame() { std::exit(0); }

void EndCommandLine(int status) { std::exit(status); }

void EndPlayback(bool played) { std::exit(played ? 0 : 1); }
