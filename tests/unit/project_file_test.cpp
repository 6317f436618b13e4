// Project files: a job saved and restored whole, the layout at its offsets, and files that are
// not good leaving the running job exactly as it was.
#include "persistence/project_file.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <fstream>
#include <iterator>
#include <random>
#include <set>

#include "chips/catalogue.h"
#include "core/main_window.h"
#include "link/packet_codec.h"
#include "support/temp_dir.h"
#include "support/test_platform.h"

namespace dravon {
namespace {

using Bytes = std::vector<uint8_t>;
using test::TempDir;
using test::TestStation;

Bytes ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

void WriteAll(const std::string& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

// A job as an operator sets it up: ML630Q464 (32 KiB main flash, 2 KiB data flash), a pattern in
// both images, and every panel option and serial-number setting away from its default.
void SetUpJob(Station& s, uint8_t pattern) {
  s.app.programDir = DRAVON_PROGRAM_DIR;  // the flash driver of the chip
  test::SetUpMl630Job(s, 0x8000, pattern);
  SetMcuNameText(s, s.chip.chipName);
  s.mainImage.fileName = "/lines/A/firmware.v2.hex";
  s.mainImage.fileStart = 0;
  s.mainImage.fileEnd = 0x7FFF;
  s.sums.fileAcc32 = 0x00123456;
  s.sums.eepFileAcc32 = 0x00000ABC;

  WindowModel& w = s.window;
  w["RadioGpVolt"].index = 1;
  w["ChkBoxBlkEr"].checked = true;
  w["RadioGrpRST"].index = 2;
  w["ChkBoxVDD"].checked = false;
  w["CheckBoxRun"].checked = true;
  w["RadioGrpSpdF"].index = 1;
  w["ChkBoxRunSHT"].checked = true;
  w["SpinEditRTM"].number = 1234;  // comes back as 1230
  w["CheckBoxOpt"].checked = true;
  w["ChkBoxPrgEEP"].checked = true;
  w["ChkBoxErsEEP"].checked = true;
  w["ChkBoxAuto"].checked = true;
  w["SpinEditIn"].number = 725;  // comes back as 720
  w["SpinEditOut"].number = 1001;
  w["SpinEditVddTim"].number = 255;
  w["SpinEditPWDTim"].number = 1999;
  w["SpinEditNum"].number = 123457;
  w["CheckBoxCtrl"].checked = true;
  w["CheckBoxSN"].checked = true;
  w["SNOrderChk"].checked = false;
  w["ChkBoxPCSN"].checked = true;
  w["ChkBoxSNDP"].checked = true;
  w["GainEdit"].text = "3";
  w["SNEdit1"].text = "100";
  w["AddrEdit"].text = "0x00007F00";
  w["EditDevAdr"].text = "0x5A";
}

TEST(ProjectFile, RoundTripRestoresTheWholeJob) {
  TempDir dir;
  const std::string path = dir.File("job.pmw");
  TestStation a;
  SetUpJob(*a, 5);
  a.host.boxes.clear();
  ASSERT_TRUE(GatherJobOptions(*a));
  ASSERT_TRUE(WriteProjectFile(*a, path, a->chip.familyCode));
  ASSERT_EQ(a.host.boxes.size(), 1u);
  EXPECT_EQ(a.host.boxes[0].text, "Created Project File : " + path);

  TestStation b;
  b->app.programDir = DRAVON_PROGRAM_DIR;  // where the flash driver of the chip is
  b.host.boxes.clear();
  ASSERT_EQ(LoadProject(*b, path), kProjectOk);
  ASSERT_EQ(b.host.boxes.size(), 1u);
  EXPECT_EQ(b.host.boxes[0].text, "Project File Open Success!");

  const ChipProfile& ca = a->chip;
  const ChipProfile& cb = b->chip;
  EXPECT_EQ(cb.chipName, "ML630Q464");
  EXPECT_EQ(cb.familyCode, ca.familyCode);
  EXPECT_EQ(cb.vendor, ca.vendor);
  EXPECT_EQ(cb.mainSize, ca.mainSize);
  EXPECT_EQ(cb.eepSize, ca.eepSize);
  EXPECT_EQ(cb.mainBase, ca.mainBase);
  EXPECT_EQ(cb.mainEnd, ca.mainEnd);
  EXPECT_EQ(cb.eepBase, ca.eepBase);
  EXPECT_EQ(cb.eepEnd, ca.eepEnd);
  EXPECT_EQ(cb.mainUsedSize, ca.mainUsedSize);
  EXPECT_EQ(cb.chipCode1, ca.chipCode1);
  EXPECT_EQ(cb.sectorSize, ca.sectorSize);
  EXPECT_EQ(cb.usesDriver, ca.usesDriver);
  EXPECT_EQ(b->mainImage.fileName, "/lines/A/firmware.v2.hex");  // dots survive
  EXPECT_EQ(b->window.statusPanels[2], "firmware.v2.hex");
  EXPECT_TRUE(std::equal(b->mainImage.bytes.begin(), b->mainImage.bytes.begin() + 0x8000,
                         a->mainImage.bytes.begin()));
  EXPECT_TRUE(std::equal(b->eepImage.begin(), b->eepImage.begin() + 0x800, a->eepImage.begin()));
  EXPECT_TRUE(
      std::equal(b->optionImage.begin(), b->optionImage.begin() + 128, a->optionImage.begin()));

  const Checksums& sa = a->sums;
  const Checksums& sb = b->sums;
  EXPECT_EQ(sb.fileAcc32, sa.fileAcc32);
  EXPECT_EQ(sb.eepFileAcc32, sa.eepFileAcc32);
  EXPECT_EQ(sb.total, sa.total);
  EXPECT_EQ(sb.mainSum, sa.mainSum);
  EXPECT_EQ(sb.mainCrc, sa.mainCrc);
  EXPECT_EQ(sb.eepSum, sa.eepSum);
  EXPECT_EQ(sb.eepCrc, sa.eepCrc);
  EXPECT_EQ(sb.optionSum, sa.optionSum);
  EXPECT_EQ(sb.optionCrc, sa.optionCrc);
  EXPECT_EQ(b->window.statusPanels[0], "File CheckSum: 0x00123456");

  const JobOptions& ja = a->job;
  const JobOptions& jb = b->job;
  EXPECT_EQ(jb.flags32, ja.flags32);
  EXPECT_EQ(jb.flags33, ja.flags33);
  EXPECT_EQ(jb.flags34, ja.flags34);
  EXPECT_EQ(jb.flags35, ja.flags35);
  EXPECT_EQ(jb.flags36, ja.flags36);
  EXPECT_EQ(jb.runTime, ja.runTime);
  EXPECT_EQ(jb.chipInTime, ja.chipInTime);
  EXPECT_EQ(jb.chipOutTime, ja.chipOutTime);
  EXPECT_EQ(jb.powerOnTime, ja.powerOnTime);
  EXPECT_EQ(jb.powerDownTime, ja.powerDownTime);
  EXPECT_EQ(jb.autoDetect, ja.autoDetect);
  EXPECT_EQ(jb.deviceAddress, 0x5A);
  EXPECT_EQ(jb.snFlags, ja.snFlags);
  EXPECT_EQ(jb.maxCount, 123457u);
  EXPECT_EQ(jb.snGain, 3);
  EXPECT_EQ(jb.snInitial, 100u);
  EXPECT_EQ(jb.snAddress, 0x7F00u);
  EXPECT_EQ(jb.programEep, 1);  // from the job's own bit, so a command-line download sends it
  EXPECT_EQ(jb.programOption, 1);

  const WindowModel& w = b->window;
  auto control = [&w](const char* name) { return *w.Find(name); };
  EXPECT_EQ(control("RadioGpVolt").index, 1);
  EXPECT_TRUE(control("ChkBoxBlkEr").checked);
  EXPECT_EQ(control("RadioGrpRST").index, 2);
  EXPECT_FALSE(control("ChkBoxVDD").checked);
  EXPECT_TRUE(control("CheckBoxRun").checked);
  EXPECT_EQ(control("RadioGrpSpdF").index, 1);
  EXPECT_TRUE(control("ChkBoxRunSHT").checked);
  EXPECT_EQ(control("SpinEditRTM").number, 1230);
  EXPECT_TRUE(control("CheckBoxOpt").checked);
  EXPECT_TRUE(control("ChkBoxPrgEEP").checked);
  EXPECT_TRUE(control("ChkBoxErsEEP").checked);
  EXPECT_TRUE(control("ChkBoxAuto").checked);
  EXPECT_EQ(control("SpinEditIn").number, 720);
  EXPECT_EQ(control("SpinEditOut").number, 990);
  EXPECT_EQ(control("SpinEditVddTim").number, 250);
  EXPECT_EQ(control("SpinEditPWDTim").number, 1990);
  EXPECT_EQ(control("SpinEditNum").number, 123457);
  EXPECT_TRUE(control("CheckBoxCtrl").checked);
  EXPECT_TRUE(control("CheckBoxSN").checked);
  EXPECT_FALSE(control("SNOrderChk").checked);
  EXPECT_TRUE(control("ChkBoxPCSN").checked);
  EXPECT_TRUE(control("ChkBoxSNDP").checked);
  EXPECT_EQ(control("SNEdit1").text, "100");  // decimal, as it was shown
  EXPECT_EQ(control("GainEdit").text, "3");
  EXPECT_EQ(control("AddrEdit").text, "0x00007F00");
  EXPECT_EQ(control("EditDevAdr").text, "0x5A");
  EXPECT_TRUE(control("SpinEditNum").enabled);  // the restored boxes enable their fields
  EXPECT_TRUE(control("SNEdit1").enabled);
  EXPECT_TRUE(control("SpinEditIn").enabled);
  EXPECT_EQ(b->app.chipSelected, 1);
  EXPECT_EQ(b->app.fileLoaded, 1);
}

// With a counting random source every key is known, so each field can be read at its offset.
TEST(ProjectFile, LayoutAtItsOffsets) {
  TestStation t;
  Station& s = *t;
  SetUpJob(s, 1);
  s.chip.mainUsedSize = 2048;
  s.chip.eepSizeSaved = 0;
  s.chip.chipName = "ML630Q464-ABCDEFGHIJKLMNOP";  // 26 characters: 20 are kept
  s.sums.total = 0x11223344;
  s.job.snGain = 0x0203;
  t.random.next = 7;
  const Bytes f = BuildProjectFile(s, 35, 0x05);

  EXPECT_EQ(std::string(f.begin(), f.begin() + 6), "Velmor");
  EXPECT_EQ(f[6], 2);
  EXPECT_EQ(f[7], s.chip.familyCode);
  auto text = [&f](size_t at, size_t width) {
    std::string out;
    for (size_t i = at; i < at + width && f[i] != 0; ++i)
      out += static_cast<char>(f[i] ^ 0x2E);
    return out;
  };
  EXPECT_EQ(text(8, 16), "DravonQ40LAP");
  EXPECT_EQ(text(24, 20), "ML630Q464-ABCDEFGHIJ");
  EXPECT_EQ(GetU32(&f[124]), 0x11223344u);
  EXPECT_EQ(GetU16(&f[168]), 0x0203);
  EXPECT_EQ(f[256], 0x05);
  EXPECT_EQ(GetU32(&f[266]), 2048u);
  // Key table: counting from 7 below 255.
  for (size_t i = 0; i < 2049; ++i)
    ASSERT_EQ(f[354 + i], (7 + i) % 255) << i;
  // The table draws 2,050 values and stores 2,049; the CFG key comes next.
  EXPECT_EQ(f[2403] ^ 0xC6, 'C');
  EXPECT_EQ(f[2404] ^ 0xC6, 'F');
  EXPECT_EQ(f[2405] ^ 0xC6, 'G');
  const uint8_t cfgKey = f[2406];
  EXPECT_EQ(cfgKey, (7 + 2050) % 255);
  auto key = [&f](size_t i) { return f[354 + i]; };
  Bytes block(1024);
  for (size_t i = 0; i < 1024; ++i)
    block[i] = f[2407 + i] ^ key(i) ^ cfgKey;
  EXPECT_EQ(std::string(block.begin(), block.begin() + 4), "ZWLP");
  EXPECT_EQ(GetU32(&block[96]), s.job.snInitial);
  EXPECT_TRUE(std::all_of(block.begin() + 512, block.end(), [](uint8_t b) { return b == 0; }));
  // MFM of 2,048 bytes: key, 1,024 bytes, key, 1,024 bytes, key.
  EXPECT_EQ(f[3431] ^ 0x1D, 'M');
  size_t at = 3434;
  for (size_t chunk = 0; chunk < 2; ++chunk) {
    const uint8_t k = f[at++];
    for (size_t i = 0; i < 1024; ++i, ++at)
      ASSERT_EQ(f[at] ^ key(i) ^ k, s.mainImage.bytes[chunk * 1024 + i]) << chunk << " " << i;
  }
  ++at;  // the key after the last complete chunk
  EXPECT_EQ(f[at] ^ 0xF5, 'E');
  EXPECT_EQ(GetU32(&f[at + 3]), 0u);  // no data flash: the tag and four zero bytes
  const size_t sumAt = at + 7;
  uint32_t sum = 0;
  for (size_t i = 0; i < sumAt; ++i)
    sum += f[i];
  EXPECT_EQ(GetU32(&f[sumAt]), sum);
  EXPECT_EQ(f.size(), sumAt + 4 + 256);

  ProjectContents back;
  ASSERT_EQ(ParseProjectFile(f.data(), f.size(), back), kProjectOk);
  EXPECT_EQ(back.chipName, "ML630Q464-ABCDEFGHIJ");
  EXPECT_EQ(back.modelName, "DravonQ40LAP");
}

TEST(ProjectFile, ModelNames) {
  EXPECT_STREQ(ModelName(35), "DravonQ40LAP");
  EXPECT_STREQ(ModelName(45), "DravonQ40LAP");
  EXPECT_STREQ(ModelName(15), ModelName(31));
  EXPECT_STREQ(ModelName(27), ModelName(44));
  EXPECT_STREQ(ModelName(1), "DravonQ40XXX");
  const uint8_t codes[] = {3,  5,  7,  9,  11, 13, 15, 16, 19, 21, 22, 27, 29, 31, 32,
                           35, 37, 39, 44, 45, 46, 48, 51, 53, 54, 57, 61, 83, 85};
  std::set<std::string> names;
  for (uint8_t c : codes) {
    const std::string name = ModelName(c);
    EXPECT_LE(name.size(), 12u);
    EXPECT_EQ(name.rfind("DravonQ40", 0), 0u);
    names.insert(name);
  }
  EXPECT_EQ(names.size(), 26u);
}

// A bad file changes nothing: the job loaded before stays, byte for byte and field by field.
TEST(ProjectFile, BadFilesLeaveTheRunningJobAlone) {
  TempDir dir;
  TestStation maker;
  SetUpJob(*maker, 9);
  ASSERT_TRUE(GatherJobOptions(*maker));
  const Bytes good = BuildProjectFile(*maker, maker->chip.familyCode, 0);
  const size_t cfgTag = 2403;
  const size_t mfmTag = cfgTag + 3 + 1 + 1024;
  const size_t mainUsed = GetU32(&good[266]);
  const size_t eepTag = mfmTag + 3 + 1 + mainUsed + mainUsed / 1024;
  const size_t sumAt = good.size() - 256 - 4;

  auto changed = [&good](size_t at, uint8_t x) {
    Bytes f = good;
    f[at] ^= x;
    return f;
  };
  auto without = [&good](size_t at, size_t n) {
    Bytes f = good;
    f.erase(f.begin() + static_cast<long>(at), f.begin() + static_cast<long>(at + n));
    return f;
  };
  auto withU32 = [&good](size_t at, uint32_t v) {
    Bytes f = good;
    PutU32(&f[at], v);
    return f;
  };
  auto cfgGone = [&] {
    Bytes f = without(cfgTag + 3, 1 + 1024);
    f[cfgTag] ^= 1;
    return f;
  };
  auto mfmGone = [&] {
    Bytes f = without(mfmTag + 3, 1 + mainUsed + mainUsed / 1024);
    f[mfmTag + 1] ^= 1;
    return f;
  };
  struct Case {
    const char* name;
    Bytes file;
    int result;
  };
  const Case cases[] = {
      {"not Velmor", changed(0, 0x20), kProjectNotVelmor},
      {"no CFG section", changed(cfgTag, 1), kProjectNoEep},  // the tags after it are off too
      {"CFG tag wrong, its data gone", cfgGone(), kProjectNoCfg},
      {"MFM tag wrong, its data gone", mfmGone(), kProjectNoMfm},
      {"EEP tag wrong", changed(eepTag + 2, 1), kProjectNoEep},
      {"a data byte changed", changed(mfmTag + 100, 0x01), kProjectCorrupted},
      {"a header byte changed", changed(150, 0x80), kProjectCorrupted},
      {"cut before the sum", Bytes(good.begin(), good.begin() + static_cast<long>(sumAt + 2)),
       kProjectCorrupted},
      {"more main data than the image holds", withU32(266, kMainImageSize + 1), kProjectCorrupted},
      {"more data flash than the image holds", withU32(eepTag + 3, 65537), kProjectCorrupted},
      {"empty", Bytes{}, kProjectNotVelmor},
      {"trailing bytes cut off", Bytes(good.begin(), good.end() - 256), kProjectOk},
      {"a trailing byte changed", changed(good.size() - 1, 0xFF), kProjectOk},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = dir.File("case.pmw");
    WriteAll(path, c.file);
    TestStation s;
    SetUpJob(*s, 77);
    ASSERT_TRUE(GatherJobOptions(*s));
    const Bytes main(s->mainImage.bytes.begin(), s->mainImage.bytes.begin() + 0x10000);
    const Bytes eep = s->eepImage;
    const ChipProfile chip = s->chip;
    const JobOptions job = s->job;
    const Bytes block = s->projectBlock;
    const auto panel = s->window.Controls();
    const std::string fileName = s->mainImage.fileName;
    s.host.boxes.clear();

    const int result = LoadProject(*s, path);
    EXPECT_EQ(result, c.result);
    ASSERT_EQ(s.host.boxes.size(), 1u);
    if (c.result == kProjectOk) {
      EXPECT_EQ(s.host.boxes[0].text, "Project File Open Success!");
      continue;
    }
    EXPECT_EQ(s.host.boxes[0].text, c.result == kProjectNotVelmor
                                        ? "Not Valid Velmor Project File!"
                                        : "Project File Data Has Been Corrupted!");
    EXPECT_TRUE(std::equal(main.begin(), main.end(), s->mainImage.bytes.begin()));
    EXPECT_EQ(s->eepImage, eep);
    EXPECT_EQ(s->projectBlock, block);
    EXPECT_EQ(s->mainImage.fileName, fileName);
    EXPECT_EQ(s->chip.chipName, chip.chipName);
    EXPECT_EQ(s->chip.mainUsedSize, chip.mainUsedSize);
    EXPECT_EQ(s->chip.familyCode, chip.familyCode);
    EXPECT_EQ(s->job.snInitial, job.snInitial);
    EXPECT_EQ(s->job.flags35, job.flags35);
    EXPECT_TRUE(s->window.Controls() == panel);
  }
}

TEST(ProjectFile, MissingFileAndSaveGuards) {
  TempDir dir;
  TestStation s;
  EXPECT_EQ(LoadProject(*s, dir.File("none.pmw")), kProjectUnreadable);
  ASSERT_EQ(s.host.boxes.size(), 1u);
  EXPECT_NE(s.host.boxes[0].text.find("none.pmw"), std::string::npos);

  s.host.boxes.clear();
  SavetoProjectFile1Click(*s);
  ASSERT_EQ(s.host.boxes.size(), 1u);
  EXPECT_EQ(s.host.boxes[0].text, "Please select chip type first!");
  s->app.chipSelected = 1;
  s.host.boxes.clear();
  SavetoProjectFile1Click(*s);
  ASSERT_EQ(s.host.boxes.size(), 1u);
  EXPECT_EQ(s.host.boxes[0].text, "Please load the object file first!");
  EXPECT_TRUE(s.host.fileRequests.empty());

  // Saved through the dialog; a command-line project reports without a box.
  SetUpJob(*s, 3);
  const std::string path = dir.File("saved.pmw");
  s.host.fileChoices.push_back(FileChoice{path, 0});
  SavetoProjectFile1Click(*s);
  ASSERT_EQ(s.host.fileRequests.size(), 1u);
  EXPECT_EQ(s.host.fileRequests[0].title, "Save to DravonQ40xx Project File");
  EXPECT_EQ(s.host.fileRequests[0].defaultExtension, "pmw");
  TestStation cli;
  cli->app.programDir = DRAVON_PROGRAM_DIR;
  cli->app.autoProject = 1;
  cli.host.boxes.clear();
  EXPECT_EQ(LoadProject(*cli, path), kProjectOk);
  EXPECT_TRUE(cli.host.boxes.empty());
  const auto& lines = cli->info.Lines();
  EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [&](const std::string& l) {
    return l.find("Load Velmor Project file of \"" + path + "\".2026-12-11") != std::string::npos;
  }));
  EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [](const std::string& l) {
    return l.find("Project File Open Success!") != std::string::npos;
  }));
}

// A save killed at any moment leaves the old project or the new one, never a broken file.
TEST(ProjectFile, KilledSaveLeavesTheOldOrTheNewProject) {
  TempDir dir;
  const std::string path = dir.File("big.pmw");
  TestStation s;
  SetUpJob(*s, 1);
  // A large job: 4 MiB of main flash makes a save take long enough to be caught midway.
  s->chip.mainUsedSize = 4 * 1024 * 1024;
  for (size_t i = 0; i < s->chip.mainUsedSize; ++i)
    s->mainImage.bytes[i] = static_cast<uint8_t>(i >> 10);
  const auto start = std::chrono::steady_clock::now();
  ASSERT_TRUE(WriteProjectFile(*s, path, 35));
  const auto saveUs = std::chrono::duration_cast<std::chrono::microseconds>(
                          std::chrono::steady_clock::now() - start)
                          .count();
  std::mt19937 pick(20261211);
  std::uniform_int_distribution<long> moment(0, saveUs * 3 / 2);
  uint8_t old = s->mainImage.bytes[0];
  int sawOld = 0;
  for (int round = 0; round < 24; ++round) {
    const uint8_t generation = static_cast<uint8_t>(0x80 + round);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      s->mainImage.bytes[0] = generation;
      _exit(WriteProjectFile(*s, path, 35) ? 0 : 1);
    }
    usleep(static_cast<useconds_t>(moment(pick)));
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    const Bytes f = ReadAll(path);
    ProjectContents p;
    ASSERT_EQ(ParseProjectFile(f.data(), f.size(), p), kProjectOk) << "round " << round;
    ASSERT_EQ(p.main.size(), s->chip.mainUsedSize);
    EXPECT_TRUE(std::equal(p.main.begin() + 1, p.main.end(), s->mainImage.bytes.begin() + 1));
    ASSERT_TRUE(p.main[0] == old || p.main[0] == generation) << "round " << round;
    sawOld += p.main[0] == old;
    old = p.main[0];
  }
  // Some kills came before the new file was in place (and some after, most likely).
  EXPECT_GT(sawOld, 0);
}

}  // namespace
}  // namespace dravon
