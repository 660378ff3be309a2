#pragma once

#include <cstdio>
#include <stdexcept>

namespace gsd {

// Exit statuses of a run.
inline constexpr int kExitSuccess = 0;
inline constexpr int kExitInputError = 1;   // the design cannot be read or is refused
inline constexpr int kExitReportError = 2;  // the report cannot be created or written
inline constexpr int kExitRunError = 3;     // the design cannot be simulated to an end
inline constexpr int kExitUsageError = 4;   // the command line cannot be understood

// The report file cannot be created, opened or written.
class ReportError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A design that reads correctly but whose computation would never end.
class RunError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Writes the one-line fatal message to the console and returns `status`.
inline int report_fatal_error(std::FILE* console, const char* message, int status) {
  std::fprintf(console, "gsdsim: error: %s\n", message);
  std::fflush(console);
  return status;
}

}  // namespace gsd
