#pragma once

// Every message goes to standard output. A message that ends the run also
// decides the exit status: the number of bytes it printed.

#if defined(__GNUC__)
#define HX_PRINTF(fmt, args) __attribute__((format(printf, fmt, args)))
#else
#define HX_PRINTF(fmt, args)
#endif

// Prints a message; returns the number of bytes printed.
int say(const char* format, ...) HX_PRINTF(1, 2);

// Prints the message and ends the process with the status it earns.
[[noreturn]] void endRun(const char* format, ...) HX_PRINTF(1, 2);

// The status for a message of `printedBytes` bytes. Where the system keeps
// only 8 bits of a status, a count that is a multiple of 256 would read as
// success, so it becomes 255.
int failureStatus(int printedBytes, bool statusKeepsOnly8Bits);
