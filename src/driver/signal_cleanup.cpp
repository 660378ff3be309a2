#include "driver/signal_cleanup.h"

#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstring>

namespace gsd {

namespace {

constexpr std::size_t kPathCapacity = 4096;

struct CleanupSlot {
  std::atomic<int> state{0};  // 0 free, 1 being filled, 2 registered
  char path[kPathCapacity] = {};
};

CleanupSlot g_slots[kCleanupSlots];

void write_text(const char* text) {
  const ssize_t ignored = ::write(STDERR_FILENO, text, std::strlen(text));
  (void)ignored;
}

extern "C" void remove_and_exit(int signal_number) {
  for (CleanupSlot& slot : g_slots) {
    if (slot.state.load() == 2) ::unlink(slot.path);
  }
  write_text(signal_number == SIGINT ? "\ngsdsim: error: interrupted (SIGINT); the report was not written\n"
                                     : "\ngsdsim: error: terminated (SIGTERM); the report was not written\n");
  ::_exit(128 + signal_number);
}

}  // namespace

void install_signal_cleanup() {
  struct sigaction action;
  std::memset(&action, 0, sizeof action);
  action.sa_handler = remove_and_exit;
  sigemptyset(&action.sa_mask);
  // While the handler runs, the other signal must not start a second one.
  sigaddset(&action.sa_mask, SIGINT);
  sigaddset(&action.sa_mask, SIGTERM);
  ::sigaction(SIGINT, &action, nullptr);
  ::sigaction(SIGTERM, &action, nullptr);
}

int register_cleanup(const char* path) {
  const std::size_t length = std::strlen(path);
  if (length >= kPathCapacity) return -1;
  for (int i = 0; i < kCleanupSlots; ++i) {
    int expected = 0;
    if (!g_slots[i].state.compare_exchange_strong(expected, 1)) continue;
    std::memcpy(g_slots[i].path, path, length + 1);
    g_slots[i].state.store(2);
    return i;
  }
  return -1;
}

void release_cleanup(int slot) {
  if (slot >= 0 && slot < kCleanupSlots) g_slots[slot].state.store(0);
}

}  // namespace gsd
