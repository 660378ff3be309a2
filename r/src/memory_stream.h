#pragma once

#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>

// A FILE* that writes into memory; text() is what was written so far.
class MemoryStream {
 public:
  MemoryStream() : file_(open_memstream(&buffer_, &size_)) {
    if (file_ == nullptr) throw std::runtime_error("cannot open a memory stream");
  }
  ~MemoryStream() {
    if (file_ != nullptr) std::fclose(file_);
    std::free(buffer_);
  }
  MemoryStream(const MemoryStream&) = delete;
  MemoryStream& operator=(const MemoryStream&) = delete;

  std::FILE* file() { return file_; }
  std::string text() {
    std::fflush(file_);
    return std::string(buffer_, size_);
  }

 private:
  char* buffer_ = nullptr;
  std::size_t size_ = 0;
  std::FILE* file_;
};
