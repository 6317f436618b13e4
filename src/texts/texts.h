// The caption and message tables of the two editions. Every text the program shows lives here,
// exactly as the operator sees it; the engine holds a reference to one table for the whole run.
#pragma once

#include <cstdint>

namespace dravon {

// One entry of the programmer result-code table.
struct CodeText {
  uint8_t code;
  const char* text;
};

// Caption, items ('\n' between them) and hint of one window control; nullptr leaves a field as
// another table set it.
struct ControlText {
  const char* name;
  const char* caption;
  const char* items;
  const char* hint;
};

struct Texts {
  const char* editionName;

  // Program entry and start-up
  const char* applicationTitle;
  const char* mainCaption;
  const char* greeting;
  const char* fileNotFoundConfirm;       // %s = full path
  const char* projectFileNotFound;       // %s = path
  const char* downloadSuccess;           // the one line of ResDW.Txt
  const char* unattendedNoProgrammers;   // %d found, %d listed
  const char* unattendedDownloadFailed;  // %d failed, %d found

  // Project files
  const char* projectCreated;  // followed by the path
  const char* projectNotVelmor;
  const char* projectCorrupted;
  const char* projectOpenSuccess;
  const char* projectLoading;  // %s = path; the date follows

  // Main window: captions of the edition (applied over kCommonControlTexts)
  const ControlText* controlTexts;
  int controlTextCount;
  const char* comboBoxComText;
  const char* mcuNamePrompt;
  const char* fileChecksumCaption;
  const char* chipChecksumCaption;
  const char* fileChecksumValue;  // %0.8x
  const char* chipChecksumValue;  // %0.8x
  const char* notValidInteger;    // %s = the text
  const char* exitWhileBusy;

  // Read address dialog and About box
  const char* readAddressCaption;
  const char* readAddressLabel;
  const char* readLengthLabel;
  const char* aboutCaption;
  const char* aboutTitle;
  const char* aboutVersion;
  const char* aboutDate;

  // Command guards
  const char* selectChipFirst;
  const char* loadFileFirst;
  const char* connectDevice;

  // Log files
  const char* writeLogError;
  const char* logFileHeader;

  // Object files and checksums
  const char* addressOutOfChip;  // %0.8x
  const char* lineDataError;     // %d line, %d code
  const char* formatError;
  const char* outOfFlashSpace;
  const char* outOfEepSpace;
  const char* fileCrc32;            // %0.8x
  const char* fileStartAddress;     // %0.8x
  const char* fileEndAddress;       // %0.8x
  const char* fileAcc32;            // %0.8x
  const char* programmedSize;       // %d bytes, %0.8x bytes - 1 (the Chinese text has no hex)
  const char* eepFileStartAddress;  // %0.8x
  const char* eepFileEndAddress;    // %0.8x
  const char* eepFileAcc32;         // %0.8x
  const char* mainFlashAcc32;       // %0.8x
  const char* eepDataAcc32;         // %0.8x
  const char* chipAcc32;            // %0.8x
  const char* readMainAcc32;        // %0.8x
  const char* readEepAcc32;         // %0.8x
  const char* binOffsetCaption;
  const char* binOffsetLabel;
  const char* binOffsetRefused;      // %0.8x
  const char* fileHasBeenLoaded;     // %s
  const char* eepFileHasBeenLoaded;  // %s
  const char* fileOpenError;         // %s path, %s reason
  const char* fileWriteError;        // %s path, %s reason

  // Chip selection and flash drivers
  const char* chipSelected;    // %s
  const char* memoryWithEep;   // %d main, %d eep
  const char* memoryNoEep;     // %d main
  const char* mainFlashSize;   // %d bytes, %d KB
  const char* mainFlashStart;  // %0.8x
  const char* mainFlashEnd;    // %0.8x
  const char* eepDataStart;    // %0.8x
  const char* eepDataEnd;      // %0.8x
  const char* chipSelectCaption;
  const char* vendorGroupCaption;
  const char* chipOkButton;
  const char* chipNoButton;
  const char* driverNotExists;
  const char* noDriverFound;
  const char* driverFileMissing;  // %s
  const char* driverCheckError;
  const char* ac78OptionCaption;
  const char* aucuConfigCaption;

  // Ports, discovery and firmware upgrade
  const char* noComPort;
  const char* searchingDevices;
  const char* checkingDevice;  // %d entry, %s port
  const char* findDevice;      // %s identity
  const char* noDeviceFound;
  const char* pleaseConnectDevice;
  const char* errorOpeningPort;  // %s port
  const char* startUpgrade;      // %d programmer
  const char* upgradeCompleted;  // %d programmer (the Chinese text has none)
  const char* portLost;          // %s port
  const char* noDeviceConnected;

  // Operations
  const char* announceJobDownload;
  const char* announceMainDownload;
  const char* announceEepDownload;
  const char* announceAuto;
  const char* announceBlankCheck;
  const char* announceProgramMain;
  const char* announceProgramEep;
  const char* announceVerifyMain;
  const char* announceVerifyEep;
  const char* announceWriteOption;
  const char* announceReadOption;
  const char* announceReadMain;
  const char* announceReadEep;
  const char* announceReadChecksum;
  const char* mainProgrammingSuccess;
  const char* downloadDone;
  const char* eraseAnnouncement;
  const char* readChipInfoLine;
  const char* startOffline;
  const char* mainDownloadSuccess;
  const char* chipErased;
  const char* chipBlank;
  const char* notBlankErasing;
  const char* notBlank;
  const char* protectedErasing;
  const char* protectedChip;
  const char* eepProgramSuccess;
  const char* mainVerifySuccess;
  const char* eepVerifySuccess;
  const char* chipProgrammingSuccess;
  const char* writeOptionSuccess;
  const char* mainReadOut;
  const char* eepReadOut;
  const char* readChecksumLine;
  const char* verifyMismatch;
  const char* addressOutOfMemory;

  // Fixed S/N data
  const char* fixedSnNeedsChip;
  const char* fixedSnEmpty;
  const char* fixedSnCaption;
  const char* fixedSnAddressLabel;
  const char* fixedSnAreaCaption;
  const char* fixedSnAreaItems;
  const char* fixedSnFormatCaption;
  const char* fixedSnFormatItems;
  const char* fixedSnDataLabel;

  // Log configuration dialog
  const char* logDialogCaption;
  const char* logEnable;
  const char* logCreationCaption;
  const char* logCreationItems;
  const char* logModeCaption;
  const char* logModeItems;
  const char* logFileLabel;
  const char* logOpenButton;
  const char* logNameMissing;

  // Channel results and status reports
  const char* operationSuccess;
  const char* commandTimeOut;
  const char* phaseInitInterface;
  const char* phaseBlankCheck;
  const char* phaseErase;
  const char* phaseProgramMain;
  const char* phaseProgramEep;
  const char* phaseVerifyMain;
  const char* phaseVerifyEep;
  const char* phaseOptionBytes;
  const char* programmingCompleted;
  const char* completedSuccess;
  const char* completedFailed;  // %0.2x = result
  const char* okNgCounts;       // %d = OK count, %d = NG count

  // Result codes compared with the whole byte, before the seven-bit table
  const CodeText* wholeByteCodes;
  int wholeByteCodeCount;
  // Result codes looked up by their low seven bits
  const CodeText* lowBitsCodes;
  int lowBitsCodeCount;
  // Any other code: %d = code in decimal, %0.2x = code in hexadecimal (the whole byte)
  const char* operationFailedCode;
};

// Captions and hints that are the same in both editions: menus, pages, hints.
extern const ControlText kCommonControlTexts[];
extern const int kCommonControlTextCount;

extern const Texts kEnglishTexts;
extern const Texts kChineseTexts;

}  // namespace dravon
