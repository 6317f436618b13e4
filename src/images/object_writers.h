// Images back into files: raw binary, Intel HEX and Motorola S-record. Every writer replaces
// the target only once the whole file is on disk.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace dravon {

// Each returns an empty string on success, else the system's reason.
std::string WriteBinaryFile(const std::string& path, std::span<const uint8_t> image,
                            uint64_t first, uint64_t last);
// Addresses first..last, the byte of address a being image[a - origin].
std::string WriteHexFile(const std::string& path, std::span<const uint8_t> image, uint32_t origin,
                         uint32_t first, uint32_t last);
std::string WriteSRecordFile(const std::string& path, std::span<const uint8_t> image,
                             uint32_t origin, uint32_t first, uint32_t last);

// The same texts in memory, for tests and converters.
std::string HexFileText(std::span<const uint8_t> image, uint32_t origin, uint32_t first,
                        uint32_t last);
std::string SRecordFileText(std::span<const uint8_t> image, uint32_t origin, uint32_t first,
                            uint32_t last);

}  // namespace dravon
