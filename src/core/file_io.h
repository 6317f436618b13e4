// Reading and writing whole files safely: reads are bounded, and a write goes to a temporary
// file beside the target that replaces it only once it is complete and on disk, so a failure
// never leaves a half-written file where the user's file was.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace dravon {

// Object, project and firmware files are far smaller; anything larger is refused.
inline constexpr uint64_t kMaxInputFileSize = 1ull << 30;

// Paths travel through the engine as UTF-8 text.
std::filesystem::path Utf8Path(const std::string& path);

// Reads the whole file; on failure returns false with the system's reason in error.
bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& out, std::string& error);

// Reads at most maxBytes from the start of the file (for formats whose length has a bound);
// what lies beyond is never read. On failure returns false with the system's reason in error.
bool ReadFileStart(const std::string& path, size_t maxBytes, std::vector<uint8_t>& out,
                   std::string& error);

// The system's reason for the last failed file operation.
std::string LastSystemError();

class SafeFileWriter {
 public:
  explicit SafeFileWriter(std::string path);
  ~SafeFileWriter();
  SafeFileWriter(const SafeFileWriter&) = delete;
  SafeFileWriter& operator=(const SafeFileWriter&) = delete;

  bool ok() const { return error_.empty(); }
  const std::string& error() const { return error_; }
  void Write(const void* data, size_t length);
  void Write(std::string_view text) { Write(text.data(), text.size()); }
  // Flushes to disk and puts the file in place; false (with error()) when anything failed.
  bool Commit();

 private:
  void Fail();

  std::string path_;
  std::string tempPath_;
  std::FILE* file_ = nullptr;
  std::string error_;
  bool committed_ = false;
};

}  // namespace dravon
