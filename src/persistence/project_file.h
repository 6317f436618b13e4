// Project files (.pmw): a whole job in one file. A fixed header, the tagged sections "CFG"
// (the job block of channel 0), "MFM" (main flash) and "EEP" (data flash), a trailing sum and
// 256 random bytes. Text fields, tags and section data are scrambled with XOR; the key table
// travels in the file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/station.h"

namespace dravon {

// Results of reading a project file.
inline constexpr int kProjectOk = 0;
inline constexpr int kProjectNotVelmor = 5;
inline constexpr int kProjectNoCfg = 10;
inline constexpr int kProjectNoMfm = 13;
inline constexpr int kProjectNoEep = 15;
inline constexpr int kProjectCorrupted = 16;
// The file could not be opened or read at all; the system's reason has been shown.
inline constexpr int kProjectUnreadable = -1;

inline constexpr size_t kProjectKeyTableSize = 2049;
inline constexpr size_t kProjectCfgSize = 1024;
inline constexpr size_t kProjectChunk = 1024;
inline constexpr size_t kProjectHeaderSize = 354;
inline constexpr size_t kProjectTrailerSize = 256;

// ProjectFlags: how the serial number is shown, online serial numbers, the flash driver.
inline constexpr uint8_t kProjectSnDecimal = 0x01;
inline constexpr uint8_t kProjectOnlineSn = 0x02;
inline constexpr uint8_t kProjectUsesDriver = 0x04;

// The programmer model that serves a chip family; "DravonQ40XXX" for a code not in the table.
const char* ModelName(uint8_t familyCode);

// Everything a project file holds, read into a staging copy so that a bad file changes nothing.
struct ProjectContents {
  uint8_t version = 0;
  uint8_t familyCode = 0;
  std::string modelName;
  std::string chipName;
  std::string fileName;
  uint32_t total = 0;
  uint32_t fileAcc32 = 0;
  uint32_t eepFileAcc32 = 0;
  uint32_t fileStart = 0;
  uint32_t fileEnd = 0;
  uint16_t snGain = 0;
  uint8_t flags = 0;  // ProjectFlags
  uint8_t vendor = 0;
  uint32_t mainSize = 0;
  uint32_t eepSize = 0;
  uint32_t mainUsedSize = 0;
  uint32_t mainBase = 0;
  uint32_t eepBase = 0;
  uint32_t optionBase = 0;
  uint32_t extraBase = 0;
  uint16_t mainSum = 0;
  uint16_t mainCrc = 0;
  uint16_t eepSum = 0;
  uint16_t eepCrc = 0;
  uint16_t optionSum = 0;
  uint16_t optionCrc = 0;
  std::vector<uint8_t> block;  // the CFG section, kProjectCfgSize bytes
  std::vector<uint8_t> main;   // mainUsedSize bytes of MainImage from index 0
  uint32_t eepSizeSaved = 0;
  std::vector<uint8_t> eep;  // eepSizeSaved bytes of EepImage from index 0
};

// Parses the bytes of a project file; the result code and, on success, the contents.
int ParseProjectFile(const uint8_t* data, size_t size, ProjectContents& contents);

// The file's bytes for the current job; the model name follows familyCode. Builds the job block
// with channel 0's packet area, which is left as it was.
std::vector<uint8_t> BuildProjectFile(Station& station, uint8_t familyCode, uint8_t flags);
// Writes the file beside the target and renames it over it, then reports it; false (with the
// system's reason shown) when the file could not be written, and the old file is untouched.
bool WriteProjectFile(Station& station, const std::string& path, uint8_t familyCode);
// Reads the file, reports the verdict and, only when the file is good, takes it into the
// station (header fields, ProjectBlock, the images). Returns the result code.
// flags, when given, receives the file's ProjectFlags.
int ReadProjectFile(Station& station, const std::string& path, uint8_t* flags = nullptr);
// ChipProfile, JobOptions, Checksums and OptionImage from ProjectBlock.
void ApplyProjectBlock(Station& station);
// The settings panel from ChipProfile and JobOptions.
void ShowSettings(Station& station);
// ReadProjectFile and, when it succeeded, the window brought in line with the project.
int LoadProject(Station& station, const std::string& path);

// "Save to Project File" and "Load From Project File" / the Open Project button.
void SavetoProjectFile1Click(Station& station);
void SpdBtnLdPrjClick(Station& station);

}  // namespace dravon
