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

struct Texts {
  const char* editionName;

  // Program entry and start-up
  const char* applicationTitle;
  const char* mainCaption;
  const char* greeting;
  const char* fileNotFoundConfirm;  // %s = full path
  const char* projectFileNotFound;  // %s = path
  const char* downloadSuccess;      // the one line of ResDW.Txt
  const char* clearInformation;
  const char* copyInformation;

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

extern const Texts kEnglishTexts;
extern const Texts kChineseTexts;

}  // namespace dravon
