#include "driver/console_check.h"

#include <cerrno>
#include <cstring>

#include "design/run_errors.h"

namespace gsd {

bool console_written(std::FILE* console) {
  return std::fflush(console) == 0 && !std::ferror(console);
}

int report_console_error(std::FILE* errors, const ConsoleError& failure) {
  if (errors != nullptr) {
    std::fprintf(errors,
                 "gsdsim: error: cannot write to the console (standard output): %s; the report "
                 "was not written\n",
                 std::strerror(failure.error != 0 ? failure.error : EIO));
    std::fflush(errors);
  }
  return kExitReportError;
}

int close_console(std::FILE* console, std::FILE* errors, int status) {
  errno = 0;
  const bool written = console_written(console);
  const int write_error = errno;
  errno = 0;
  const bool closed = std::fclose(console) == 0;
  const int close_error = errno;
  if (written && closed) return status;
  // Status 2 of a run whose console failed has been reported already.
  if (status == kExitReportError) return status;
  const int error = !written ? write_error : close_error;
  std::fprintf(errors, "gsdsim: error: cannot %s the console (standard output): %s",
               written ? "close" : "write to", error != 0 ? std::strerror(error) : "write error");
  if (status != kExitSuccess) std::fprintf(errors, " (the run ended with status %d)", status);
  std::fputc('\n', errors);
  std::fflush(errors);
  return status == kExitSuccess ? kExitReportError : status;
}

}  // namespace gsd
