#include "driver/report_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "design/run_errors.h"

namespace gsd {

namespace {

[[noreturn]] void fail(const char* what, const char* name, int error) {
  throw ReportError(std::string(what) + " the report file \"" + name + "\": " +
                    std::strerror(error));
}

}  // namespace

std::FILE* open_report(const char* name) {
  // O_NOFOLLOW: a link could point anywhere. O_NONBLOCK: opening a FIFO
  // must not wait for a reader; it is refused below anyway.
  const int fd = ::open(name, O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC,
                        0666);
  if (fd < 0) {
    if (errno == ELOOP) {
      throw ReportError(std::string("the report file \"") + name +
                        "\" is a symbolic link; the report is written only to a plain file "
                        "in the current directory");
    }
    fail("cannot create", name, errno);
  }
  struct stat status;
  if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
    ::close(fd);
    throw ReportError(std::string("the report file \"") + name + "\" is not a regular file");
  }
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  std::FILE* report = ::fdopen(fd, "w");
  if (report == nullptr) {
    const int error = errno;
    ::close(fd);
    fail("cannot open", name, error);
  }
  return report;
}

void check_report(std::FILE* report, const char* name) {
  if (std::ferror(report)) fail("cannot write", name, errno != 0 ? errno : EIO);
}

void close_report(std::FILE* report, const char* name) {
  errno = 0;
  const bool flushed = std::fflush(report) == 0 && !std::ferror(report);
  const int flush_error = errno;
  const bool closed = std::fclose(report) == 0;
  if (!flushed) fail("cannot write", name, flush_error != 0 ? flush_error : EIO);
  if (!closed) fail("cannot close", name, errno != 0 ? errno : EIO);
}

}  // namespace gsd
