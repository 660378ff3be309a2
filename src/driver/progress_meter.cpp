#include "driver/progress_meter.h"

#include <unistd.h>

#include <cstring>

namespace gsd {

namespace {

void clock_text(char* text, int capacity, double seconds) {
  const long total = static_cast<long>(seconds + 0.5);
  if (total >= 3600) {
    std::snprintf(text, static_cast<std::size_t>(capacity), "%ld:%02ld:%02ld", total / 3600,
                  total / 60 % 60, total % 60);
  } else {
    std::snprintf(text, static_cast<std::size_t>(capacity), "%ld:%02ld", total / 60, total % 60);
  }
}

}  // namespace

void format_progress(char* text, int capacity, int done, int total, double elapsed_seconds,
                     const char* unit) {
  char elapsed[32];
  char remaining[32];
  clock_text(elapsed, sizeof elapsed, elapsed_seconds);
  if (done > 0) {
    clock_text(remaining, sizeof remaining, elapsed_seconds * (total - done) / done);
  } else {
    std::strcpy(remaining, "?");
  }
  const int percent = total > 0 ? static_cast<int>(100.0 * done / total) : 100;
  std::snprintf(text, static_cast<std::size_t>(capacity),
                "gsdsim: %d of %d %s (%d%%), %s elapsed, %s left", done, total, unit, percent,
                elapsed, remaining);
}

void start_progress(ProgressMeter& meter, std::FILE* out, int total) {
  meter.out = out != nullptr && ::isatty(::fileno(out)) ? out : nullptr;
  meter.total = total;
  meter.start = std::chrono::steady_clock::now();
  meter.last_shown = meter.start;
  meter.shown = false;
}

void show_progress(ProgressMeter& meter, int done) {
  if (meter.out == nullptr) return;
  const auto now = std::chrono::steady_clock::now();
  if (now - meter.last_shown < std::chrono::milliseconds(250) && done < meter.total) return;
  meter.last_shown = now;
  char text[160];
  format_progress(text, sizeof text, done, meter.total,
                  std::chrono::duration<double>(now - meter.start).count(), meter.unit);
  std::fprintf(meter.out, "\r%s\x1b[K", text);
  std::fflush(meter.out);
  meter.shown = true;
}

void finish_progress(ProgressMeter& meter) {
  if (meter.out == nullptr || !meter.shown) return;
  std::fputs("\r\x1b[K", meter.out);
  std::fflush(meter.out);
  meter.shown = false;
}

}  // namespace gsd
