#include "driver/report_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "design/run_errors.h"
#include "driver/signal_cleanup.h"

namespace gsd {

namespace {

[[noreturn]] void fail(const std::string& what, const OutputFile& out, int error) {
  throw ReportError(what + " the " + out.kind + " \"" + out.path + "\": " +
                    std::strerror(error != 0 ? error : EIO));
}

// The folder part of `path` with its slash ("" for the current directory)
// and the name part.
void split_path(const std::string& path, std::string& folder, std::string& name) {
  const std::size_t slash = path.rfind('/');
  folder = slash == std::string::npos ? "" : path.substr(0, slash + 1);
  name = slash == std::string::npos ? path : path.substr(slash + 1);
}

// A fresh file ".NAME.XXXXXX" next to `path`, created exclusively (O_EXCL:
// never an existing file, never through a link) with the usual permissions
// (0666 less the umask, unlike mkstemp's 0600). The six characters mix the
// process id, the clock and a counter; a name taken by another run is
// simply tried again.
int create_temporary(const std::string& path, std::string& temporary) {
  std::string folder, name;
  split_path(path, folder, name);
  static constexpr char kDigits[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  struct timespec now;
  ::clock_gettime(CLOCK_REALTIME, &now);
  unsigned long long mix = static_cast<unsigned long long>(now.tv_nsec) * 2654435761ULL ^
                           (static_cast<unsigned long long>(::getpid()) << 20) ^
                           static_cast<unsigned long long>(now.tv_sec);
  for (int attempt = 0; attempt < 100; ++attempt) {
    char suffix[7];
    unsigned long long bits = mix;
    for (int i = 0; i < 6; ++i) {
      suffix[i] = kDigits[bits % 62];
      bits /= 62;
    }
    suffix[6] = '\0';
    temporary = folder + "." + name + "." + suffix;
    const int fd =
        ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
    mix = mix * 6364136223846793005ULL + 1442695040888963407ULL;
  }
  errno = EEXIST;
  return -1;
}

void finish_slot(OutputFile& out) {
  release_cleanup(out.cleanup_slot);
  out.cleanup_slot = -1;
  out.temporary.clear();
}

}  // namespace

FileIdentity identify_file(const char* path) {
  struct stat status;
  if (::stat(path, &status) != 0) return {};
  return {true, status.st_dev, status.st_ino};
}

FileIdentity identify_descriptor(int fd) {
  struct stat status;
  if (::fstat(fd, &status) != 0) return {};
  return {true, status.st_dev, status.st_ino};
}

bool same_file(const FileIdentity& a, const FileIdentity& b) {
  return a.exists && b.exists && a.device == b.device && a.inode == b.inode;
}

void open_output(OutputFile& out, const std::string& path, const char* kind) {
  out.path = path;
  out.kind = kind;
  struct stat status;
  if (::lstat(path.c_str(), &status) == 0) {
    if (S_ISLNK(status.st_mode)) {
      throw ReportError("the " + out.kind + " \"" + path +
                        "\" is a symbolic link; the " + out.kind +
                        " is written only to a plain file, never through a link");
    }
    if (!S_ISREG(status.st_mode)) {
      throw ReportError("the " + out.kind + " \"" + path + "\" is not a regular file");
    }
  }
  const int fd = create_temporary(path, out.temporary);
  if (fd < 0) {
    const int error = errno;
    out.temporary.clear();
    fail("cannot create", out, error);
  }
  out.cleanup_slot = register_cleanup(out.temporary.c_str());
  out.file = ::fdopen(fd, "w");
  if (out.file == nullptr) {
    const int error = errno;
    ::close(fd);
    ::unlink(out.temporary.c_str());
    finish_slot(out);
    fail("cannot open", out, error);
  }
}

void check_output(const OutputFile& out) {
  if (out.file != nullptr && std::ferror(out.file)) fail("cannot write", out, errno);
}

void commit_output(OutputFile& out) {
  if (out.file == nullptr) return;
  errno = 0;
  bool written = std::fflush(out.file) == 0 && !std::ferror(out.file);
  // On disk before the rename, so that a crash cannot leave the name
  // holding a file whose blocks never arrived.
  if (written) written = ::fsync(::fileno(out.file)) == 0;
  int error = errno;
  const bool closed = std::fclose(out.file) == 0;
  if (written && !closed) error = errno;
  out.file = nullptr;
  bool renamed = false;
  if (written && closed) {
    renamed = ::rename(out.temporary.c_str(), out.path.c_str()) == 0;
    if (!renamed) error = errno;
  }
  if (!renamed) {
    ::unlink(out.temporary.c_str());
    finish_slot(out);
    fail(!written ? "cannot write" : !closed ? "cannot close" : "cannot put in place", out,
         error);
  }
  finish_slot(out);
}

void discard_output(OutputFile& out) noexcept {
  if (out.file != nullptr) {
    std::fclose(out.file);
    out.file = nullptr;
  }
  if (!out.temporary.empty()) {
    ::unlink(out.temporary.c_str());
    finish_slot(out);
  }
}

std::string keep_incomplete(OutputFile& out) noexcept {
  if (out.file == nullptr) return {};
  try {
    const bool written = std::fflush(out.file) == 0 && !std::ferror(out.file);
    const bool closed = std::fclose(out.file) == 0;
    out.file = nullptr;
    const std::string kept = out.path + ".incomplete";
    struct stat status;
    // As for the report itself: only a regular file of that name is replaced.
    const bool free_name = ::lstat(kept.c_str(), &status) != 0 || S_ISREG(status.st_mode);
    if (written && closed && free_name && ::rename(out.temporary.c_str(), kept.c_str()) == 0) {
      finish_slot(out);
      return kept;
    }
  } catch (...) {
  }
  discard_output(out);
  return {};
}

void open_report(OutputFile& report, const char* name) {
  open_output(report, name, "report file");
}

void check_report(std::FILE* report, const char* name) {
  if (std::ferror(report)) {
    throw ReportError(std::string("cannot write the report file \"") + name + "\": " +
                      std::strerror(errno != 0 ? errno : EIO));
  }
}

void close_report(std::FILE* report, const char* name) {
  errno = 0;
  const bool flushed = std::fflush(report) == 0 && !std::ferror(report);
  const int flush_error = errno;
  const bool closed = std::fclose(report) == 0;
  if (!flushed || !closed) {
    throw ReportError(std::string(flushed ? "cannot close" : "cannot write") +
                      " the report file \"" + name + "\": " +
                      std::strerror(!flushed ? (flush_error != 0 ? flush_error : EIO)
                                             : (errno != 0 ? errno : EIO)));
  }
}

}  // namespace gsd
