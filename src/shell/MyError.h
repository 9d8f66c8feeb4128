// Progress and failure messages. A formatted message is cut at 511 characters.
#ifndef KORVALEND_MYERROR_H
#define KORVALEND_MYERROR_H

// To standard error, no newline added.
void error(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
// To standard output, no newline added.
void mesg(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
// "msg: strerror(errno)\n", or the strerror text alone when msg is empty.
void myperror(const char* msg);

#endif
