#pragma once

namespace gsd {

// Temporary files that an interrupted run must not leave behind. A run
// writes its report (and JSON file) under temporary names and renames them
// only once complete; SIGINT or SIGTERM then removes every temporary file
// still registered and ends the program with status 128 + the signal
// (130, 143), leaving an earlier report exactly as it was.
//
// The registry is the one piece of process-wide mutable state of the
// program: a signal handler can reach nothing else. It holds a few fixed
// slots of fixed-size paths, so the handler needs no allocation and calls
// only async-signal-safe functions (unlink, write, _exit).

inline constexpr int kCleanupSlots = 8;

// Installs the handlers of SIGINT and SIGTERM (once per process).
void install_signal_cleanup();

// Registers `path` for removal on a signal; returns the slot, or -1 when
// every slot is taken or the path is too long (the file is then not removed
// on a signal, which loses no data).
int register_cleanup(const char* path);

// Forgets a slot once its file has been renamed or removed.
void release_cleanup(int slot);

}  // namespace gsd
