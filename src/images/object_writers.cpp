#include "images/object_writers.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <functional>
#include <string_view>
#include <vector>

#include "core/file_io.h"

namespace dravon {
namespace {

constexpr char kDigits[] = "0123456789ABCDEF";

// The two hex digits of every byte value.
constexpr std::array<std::array<char, 2>, 256> MakePairs() {
  std::array<std::array<char, 2>, 256> t{};
  for (int b = 0; b < 256; ++b)
    t[b] = {kDigits[b >> 4], kDigits[b & 15]};
  return t;
}
constexpr auto kPairs = MakePairs();

// Records are formatted into a small buffer that is handed on whenever it fills, so a file of
// any size passes through a fixed amount of memory.
class Writer {
 public:
  using Sink = std::function<void(std::string_view)>;
  explicit Writer(Sink sink) : sink_(std::move(sink)), buffer_(kBufferSize) {}
  // Room for the longest record (255 data bytes): the caller may write that much at Cursor().
  char* Cursor() {
    if (at_ + 600 > buffer_.size()) Flush();
    return buffer_.data() + at_;
  }
  void Advance(char* end) { at_ = static_cast<size_t>(end - buffer_.data()); }
  void Text(std::string_view t) {
    char* p = Cursor();
    std::memcpy(p, t.data(), t.size());
    Advance(p + t.size());
  }
  void Flush() {
    if (at_ > 0) sink_(std::string_view(buffer_.data(), at_));
    at_ = 0;
  }

 private:
  static constexpr size_t kBufferSize = 256 * 1024;
  Sink sink_;
  std::vector<char> buffer_;
  size_t at_ = 0;
};

// Formats bytes at a local cursor, summing them; kept in registers in the hot loops.
struct Record {
  char* p;
  unsigned sum = 0;
  void Byte(uint8_t b) {
    std::memcpy(p, kPairs[b].data(), 2);
    p += 2;
    sum += b;
  }
  void Bytes(const uint8_t* bytes, size_t n) {
    char* q = p;
    unsigned s = sum;
    for (size_t i = 0; i < n; ++i) {
      std::memcpy(q, kPairs[bytes[i]].data(), 2);
      q += 2;
      s += bytes[i];
    }
    p = q;
    sum = s;
  }
  void End() {
    *p++ = '\r';
    *p++ = '\n';
  }
};

// Bytes outside the image read as blank flash.
uint8_t At(std::span<const uint8_t> image, uint64_t index) {
  return index < image.size() ? image[index] : 0xFF;
}

void ImageBytes(Record& r, std::span<const uint8_t> image, uint64_t index, size_t count) {
  if (index + count <= image.size()) {
    r.Bytes(image.data() + index, count);
  } else {
    for (size_t i = 0; i < count; ++i)
      r.Byte(At(image, index + i));
  }
}

void HexRecord(Writer& w, uint8_t type, uint16_t address, std::span<const uint8_t> image,
               uint64_t index, size_t count) {
  Record r{w.Cursor()};
  *r.p++ = ':';
  r.Byte(static_cast<uint8_t>(count));
  r.Byte(static_cast<uint8_t>(address >> 8));
  r.Byte(static_cast<uint8_t>(address));
  r.Byte(type);
  ImageBytes(r, image, index, count);
  r.Byte(static_cast<uint8_t>(0 - r.sum));
  r.End();
  w.Advance(r.p);
}

void ExtendedLinear(Writer& w, uint16_t upper) {
  const uint8_t v[2] = {static_cast<uint8_t>(upper >> 8), static_cast<uint8_t>(upper)};
  HexRecord(w, 0x04, 0, std::span<const uint8_t>(v, 2), 0, 2);
}

void HexText(Writer& w, std::span<const uint8_t> image, uint32_t origin, uint32_t first,
             uint32_t last) {
  if (last < first) {
    // Nothing to write but the end record.
  } else if (last < 0x10000) {
    for (uint64_t a = first; a <= last; a += 16) {
      size_t count = static_cast<size_t>(std::min<uint64_t>(16, uint64_t{last} - a + 1));
      HexRecord(w, 0x00, static_cast<uint16_t>(a), image, a - origin, count);
    }
  } else {
    uint16_t upper = static_cast<uint16_t>(first >> 16);
    ExtendedLinear(w, upper);
    uint64_t a = first;
    while (a <= last) {
      // A record ends after 32 bytes, at the end of the range, or after the last byte of a
      // 64 KiB page, which the next upper address follows.
      uint64_t pageEnd = (a | 0xFFFF) + 1;
      uint64_t end = std::min<uint64_t>({a + 32, uint64_t{last} + 1, pageEnd});
      HexRecord(w, 0x00, static_cast<uint16_t>(a), image, a - origin, static_cast<size_t>(end - a));
      if (end == pageEnd) ExtendedLinear(w, ++upper);
      a = end;
    }
  }
  w.Text(":00000001FF\r\n");
  w.Flush();
}

void SRecordText(Writer& w, std::span<const uint8_t> image, uint32_t origin, uint32_t first,
                 uint32_t last) {
  const int type = last < 0x10000 ? 1 : last <= 0xFFFFFF ? 2 : 3;
  const size_t addressBytes = static_cast<size_t>(type) + 1;
  for (uint64_t a = first; last >= first && a <= last; a += 32) {
    size_t count = static_cast<size_t>(std::min<uint64_t>(32, uint64_t{last} - a + 1));
    Record r{w.Cursor()};
    *r.p++ = 'S';
    *r.p++ = static_cast<char>('0' + type);
    r.Byte(static_cast<uint8_t>(addressBytes + count + 1));
    for (size_t i = addressBytes; i > 0; --i)
      r.Byte(static_cast<uint8_t>(a >> (8 * (i - 1))));
    ImageBytes(r, image, a - origin, count);
    r.Byte(static_cast<uint8_t>(0xFF - r.sum));
    r.End();
    w.Advance(r.p);
  }
  // The S7 record carries a 4-byte address like every S3 file's end record must, or other
  // tools refuse the file.
  w.Text(type == 1 ? "S9030000FC\r\n" : type == 2 ? "S804000000FB\r\n" : "S70500000000FA\r\n");
  w.Flush();
}

}  // namespace

std::string HexFileText(std::span<const uint8_t> image, uint32_t origin, uint32_t first,
                        uint32_t last) {
  std::string out;
  Writer w([&out](std::string_view piece) { out += piece; });
  HexText(w, image, origin, first, last);
  return out;
}

std::string SRecordFileText(std::span<const uint8_t> image, uint32_t origin, uint32_t first,
                            uint32_t last) {
  std::string out;
  Writer w([&out](std::string_view piece) { out += piece; });
  SRecordText(w, image, origin, first, last);
  return out;
}

std::string WriteBinaryFile(const std::string& path, std::span<const uint8_t> image, uint64_t first,
                            uint64_t last) {
  SafeFileWriter writer(path);
  if (last >= first && first < image.size()) {
    uint64_t end = std::min<uint64_t>(last + 1, image.size());
    writer.Write(image.data() + first, static_cast<size_t>(end - first));
  }
  return writer.Commit() ? std::string() : writer.error();
}

std::string WriteHexFile(const std::string& path, std::span<const uint8_t> image, uint32_t origin,
                         uint32_t first, uint32_t last) {
  SafeFileWriter file(path);
  Writer w([&file](std::string_view piece) { file.Write(piece); });
  HexText(w, image, origin, first, last);
  return file.Commit() ? std::string() : file.error();
}

std::string WriteSRecordFile(const std::string& path, std::span<const uint8_t> image,
                             uint32_t origin, uint32_t first, uint32_t last) {
  SafeFileWriter file(path);
  Writer w([&file](std::string_view piece) { file.Write(piece); });
  SRecordText(w, image, origin, first, last);
  return file.Commit() ? std::string() : file.error();
}

}  // namespace dravon
