#include "driver/output_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string_view>
#include <vector>

#include "design/run_errors.h"

namespace gsd {

namespace fs = std::filesystem;

bool same_file(const std::string& a, const std::string& b) {
  std::error_code error;
  if (fs::exists(a, error) && fs::exists(b, error)) {
    const bool same = fs::equivalent(a, b, error);
    if (!error) return same;
  }
  const fs::path pa = fs::weakly_canonical(fs::absolute(a, error), error);
  const fs::path pb = fs::weakly_canonical(fs::absolute(b, error), error);
  return pa.lexically_normal() == pb.lexically_normal();
}

void write_file_by_rename(const std::string& path, const std::string& text, const char* what) {
  const std::string name = std::string(what) + " \"" + path + "\"";
  std::vector<char> temporary(path.begin(), path.end());
  for (const char c : std::string_view(".XXXXXX")) temporary.push_back(c);
  temporary.push_back('\0');
  const int fd = ::mkstemp(temporary.data());
  if (fd < 0) throw ReportError("cannot create the " + name);
  std::FILE* out = ::fdopen(fd, "w");
  if (out == nullptr) {
    ::close(fd);
    ::unlink(temporary.data());
    throw ReportError("cannot create the " + name);
  }
  const bool written = std::fwrite(text.data(), 1, text.size(), out) == text.size();
  const bool closed = std::fclose(out) == 0;
  if (!written || !closed) {
    ::unlink(temporary.data());
    throw ReportError("cannot write the " + name);
  }
  // mkstemp makes the file private; the page is as readable as any other output.
  const mode_t mask = ::umask(0);
  ::umask(mask);
  ::chmod(temporary.data(), 0666 & ~mask);
  if (std::rename(temporary.data(), path.c_str()) != 0) {
    ::unlink(temporary.data());
    throw ReportError("cannot write the " + name + " (it cannot replace what has that name)");
  }
}

}  // namespace gsd
