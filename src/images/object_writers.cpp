#include "images/object_writers.h"

#include "core/file_io.h"

namespace dravon {
namespace {

constexpr char kDigits[] = "0123456789ABCDEF";

// A record under construction: its bytes are summed as they are put.
class Line {
 public:
  explicit Line(std::string& out) : out_(out) {}
  void Byte(uint8_t b) {
    out_ += kDigits[b >> 4];
    out_ += kDigits[b & 15];
    sum_ = static_cast<uint8_t>(sum_ + b);
  }
  uint8_t sum() const { return sum_; }

 private:
  std::string& out_;
  uint8_t sum_ = 0;
};

// Bytes outside the image read as blank flash.
uint8_t At(std::span<const uint8_t> image, uint64_t index) {
  return index < image.size() ? image[index] : 0xFF;
}

void HexRecord(std::string& out, uint8_t type, uint16_t address, std::span<const uint8_t> image,
               uint64_t index, size_t count) {
  out += ':';
  Line line(out);
  line.Byte(static_cast<uint8_t>(count));
  line.Byte(static_cast<uint8_t>(address >> 8));
  line.Byte(static_cast<uint8_t>(address));
  line.Byte(type);
  for (size_t i = 0; i < count; ++i)
    line.Byte(At(image, index + i));
  Line(out).Byte(static_cast<uint8_t>(0 - line.sum()));
  out += "\r\n";
}

void ExtendedLinear(std::string& out, uint16_t upper) {
  const uint8_t v[2] = {static_cast<uint8_t>(upper >> 8), static_cast<uint8_t>(upper)};
  HexRecord(out, 0x04, 0, std::span<const uint8_t>(v, 2), 0, 2);
}

std::string Commit(const std::string& path, const std::string& text) {
  SafeFileWriter writer(path);
  writer.Write(text);
  return writer.Commit() ? std::string() : writer.error();
}

}  // namespace

std::string HexFileText(std::span<const uint8_t> image, uint32_t origin, uint32_t first,
                        uint32_t last) {
  std::string out;
  if (last >= first) out.reserve(static_cast<size_t>((uint64_t{last} - first + 1) * 23 / 8 + 64));
  if (last < first) {
    // Nothing to write but the end record.
  } else if (last < 0x10000) {
    for (uint64_t a = first; a <= last; a += 16) {
      size_t count = static_cast<size_t>(std::min<uint64_t>(16, uint64_t{last} - a + 1));
      HexRecord(out, 0x00, static_cast<uint16_t>(a), image, a - origin, count);
    }
  } else {
    uint16_t upper = static_cast<uint16_t>(first >> 16);
    ExtendedLinear(out, upper);
    uint64_t start = first;
    uint64_t a = first;
    while (a <= last) {
      ++a;
      const bool pageEnd = ((a - 1) & 0xFFFF) == 0xFFFF;
      if (a - start == 32 || pageEnd || a > last) {
        HexRecord(out, 0x00, static_cast<uint16_t>(start), image, start - origin,
                  static_cast<size_t>(a - start));
        start = a;
        if (pageEnd) ExtendedLinear(out, ++upper);
      }
    }
  }
  out += ":00000001FF\r\n";
  return out;
}

std::string SRecordFileText(std::span<const uint8_t> image, uint32_t origin, uint32_t first,
                            uint32_t last) {
  const int type = last < 0x10000 ? 1 : last <= 0xFFFFFF ? 2 : 3;
  const size_t addressBytes = static_cast<size_t>(type) + 1;
  std::string out;
  if (last >= first) out.reserve(static_cast<size_t>((uint64_t{last} - first + 1) * 2 + 64));
  for (uint64_t a = first; last >= first && a <= last; a += 32) {
    size_t count = static_cast<size_t>(std::min<uint64_t>(32, uint64_t{last} - a + 1));
    out += 'S';
    out += static_cast<char>('0' + type);
    Line line(out);
    line.Byte(static_cast<uint8_t>(addressBytes + count + 1));
    for (size_t i = addressBytes; i > 0; --i)
      line.Byte(static_cast<uint8_t>(a >> (8 * (i - 1))));
    for (size_t i = 0; i < count; ++i)
      line.Byte(At(image, a - origin + i));
    Line(out).Byte(static_cast<uint8_t>(0xFF - line.sum()));
    out += "\r\n";
  }
  // The S7 record carries a 4-byte address like every S3 file's end record must, or other
  // tools refuse the file.
  out += type == 1 ? "S9030000FC\r\n" : type == 2 ? "S804000000FB\r\n" : "S70500000000FA\r\n";
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
  return Commit(path, HexFileText(image, origin, first, last));
}

std::string WriteSRecordFile(const std::string& path, std::span<const uint8_t> image,
                             uint32_t origin, uint32_t first, uint32_t last) {
  return Commit(path, SRecordFileText(image, origin, first, last));
}

}  // namespace dravon
