#include "core/file_io.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace dravon {

namespace fs = std::filesystem;

fs::path Utf8Path(const std::string& path) {
  return fs::path(std::u8string(path.begin(), path.end()));
}

std::string LastSystemError() {
  int e = errno;
  return e != 0 ? std::strerror(e) : "Input/output error";
}

bool ReadFileStart(const std::string& path, size_t maxBytes, std::vector<uint8_t>& out,
                   std::string& error) {
  errno = 0;
  std::ifstream in(Utf8Path(path), std::ios::binary);
  if (!in) {
    error = LastSystemError();
    return false;
  }
  out.resize(maxBytes);
  in.read(reinterpret_cast<char*>(out.data()), static_cast<std::streamsize>(out.size()));
  if (in.bad()) {
    error = LastSystemError();
    out.clear();
    return false;
  }
  out.resize(static_cast<size_t>(in.gcount()));
  return true;
}

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& out, std::string& error) {
  errno = 0;
  std::ifstream in(Utf8Path(path), std::ios::binary);
  if (!in) {
    error = LastSystemError();
    return false;
  }
  in.seekg(0, std::ios::end);
  std::streamoff size = in.tellg();
  if (size < 0) {
    error = LastSystemError();
    return false;
  }
  if (static_cast<uint64_t>(size) > kMaxInputFileSize) {
    error = "File too large";
    return false;
  }
  in.seekg(0, std::ios::beg);
  out.resize(static_cast<size_t>(size));
  if (size > 0 && !in.read(reinterpret_cast<char*>(out.data()), size)) {
    error = LastSystemError();
    out.clear();
    return false;
  }
  return true;
}

SafeFileWriter::SafeFileWriter(std::string path) : path_(std::move(path)) {
  tempPath_ = path_ + ".dravon-tmp";
  errno = 0;
#ifdef _WIN32
  file_ = _wfopen(Utf8Path(tempPath_).c_str(), L"wb");
#else
  file_ = std::fopen(tempPath_.c_str(), "wb");
#endif
  if (!file_) Fail();
}

SafeFileWriter::~SafeFileWriter() {
  if (file_) std::fclose(file_);
  if (!committed_) {
    std::error_code ignored;
    fs::remove(Utf8Path(tempPath_), ignored);
  }
}

void SafeFileWriter::Fail() {
  if (error_.empty()) error_ = LastSystemError();
}

void SafeFileWriter::Write(const void* data, size_t length) {
  if (!file_ || !ok() || length == 0) return;
  errno = 0;
  if (std::fwrite(data, 1, length, file_) != length) Fail();
}

bool SafeFileWriter::Commit() {
  if (!file_ || !ok()) return false;
  errno = 0;
  bool flushed = std::fflush(file_) == 0;
#ifdef _WIN32
  flushed = flushed && _commit(_fileno(file_)) == 0;
#else
  flushed = flushed && fsync(fileno(file_)) == 0;
#endif
  if (!flushed) Fail();
  if (std::fclose(file_) != 0) Fail();
  file_ = nullptr;
  if (!ok()) return false;
  std::error_code e;
  fs::rename(Utf8Path(tempPath_), Utf8Path(path_), e);
  if (e) {
    error_ = e.message();
    return false;
  }
  committed_ = true;
  return true;
}

}  // namespace dravon
