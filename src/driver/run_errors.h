#pragma once

#include <stdexcept>

namespace gsd {

// Exit statuses of a run.
inline constexpr int kExitSuccess = 0;
inline constexpr int kExitInputError = 1;   // the design cannot be read or is refused
inline constexpr int kExitReportError = 2;  // the report cannot be created or written
inline constexpr int kExitRunError = 3;     // the design cannot be simulated to an end

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

}  // namespace gsd
