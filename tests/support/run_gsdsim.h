#pragma once

// Runs the gsdsim executable on a design in a scratch directory of its own.

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace gsd::testing {

inline std::string read_file(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

inline void write_file(const std::filesystem::path& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
}

// A fresh, empty directory under the system's temporary directory.
inline std::filesystem::path scratch_directory(const std::string& name) {
  const std::filesystem::path dir = std::filesystem::temp_directory_path() /
                                    ("gsdsim_test_" + std::to_string(::getpid()) + "_" + name);
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  return dir;
}

struct RunResult {
  int status = -1;
  std::string console;  // standard output
  std::string errors;   // standard error: warnings, command-line errors
};

// Runs `gsdsim < design` inside `dir` (the design file is written outside it,
// next to it) and returns the exit status, the console output and what went
// to standard error.
inline RunResult run_gsdsim(const std::filesystem::path& dir, const std::string& design,
                            const std::string& arguments = "") {
  const std::filesystem::path design_file = dir.string() + ".design";
  const std::filesystem::path errors_file = dir.string() + ".stderr";
  write_file(design_file, design);
  const std::string command = "cd '" + dir.string() + "' && '" GSDSIM_EXECUTABLE "' " +
                              arguments + " < '" + design_file.string() + "' 2> '" +
                              errors_file.string() + "'";
  RunResult result;
  std::FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return result;
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
    result.console.append(buffer, n);
  }
  const int status = ::pclose(pipe);
  std::filesystem::remove(design_file);
  result.errors = read_file(errors_file);
  std::filesystem::remove(errors_file);
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

}  // namespace gsd::testing
