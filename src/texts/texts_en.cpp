#include "texts/texts.h"

#include <iterator>

namespace dravon {
namespace {

constexpr CodeText kWholeByteCodes[] = {
    {0xE1, "ISP Mode Protection with Access Code!"},
    {0xE2, "ISP Mode Chip Erase Protect is set!"},
    {0xE3, "ISP Mode Chip Erase/Access Protect is set!"},
    {0xE4, "ISP Mode OID Check is not passed!"},
    {0xA6, "USB RX Time Out!"},
    {0xB2, "ID is not unmatched!"},
    {0xE0, "USB Communication Error!"},
    {0xFA, "Socket Detect Error or Not Connected!"},
    {0xFB, "Socket Life Time is Out of Cycles!"},
    {0xFD, "Socket Is Not Identificated!"},
};

constexpr CodeText kLowBitsCodes[] = {
    {0x04, "Chip error: Arm Fault Response!"},
    {0x07, "Chip error: Arm Fault Response!"},
    {0x0B, "Chip error: No Response!"},
    {0x10, "Chip Has been Written Protected!"},
    {0x13, "Chip Has been Read out Protected!"},
    {0x15, "Command Execute Failed!"},
    {0x20, "Packet Error!"},
    {0x25, "Unknow Command or not Support!"},
    {0x27, "UnSupported Command!"},
    {0x2C, "Flash Memory Error!"},
    {0x31, "Chip Data Verify error!"},
    {0x34, "Chip check Sum unmatched!"},
    {0x36, "Chip error!"},
    {0x38, "Manufacturing error!"},
    {0x40, "Command Execute Time Out!"},
    {0x45, "Command Execute Error!"},
    {0x47, "Write S/N Error!"},
    {0x60, "Programming Interface error: No Response!"},
};

}  // namespace

const Texts kEnglishTexts{
    .editionName = "English",

    .applicationTitle = "DravonQ40LAP Flash MCU Programmer",
    .mainCaption = "DravonQ40LAP Programmer Wizard",
    .greeting = "Hello DravonQuev-MAR User! ------ ",
    .fileNotFoundConfirm = "File \"%s\" not found, Please confirm!",
    .projectFileNotFound = "File of %s is not found!",
    .downloadSuccess = "Download Success",
    .clearInformation = "Clear Information",
    .copyInformation = "Copy Information",

    .operationSuccess = "Operation Success!",
    .commandTimeOut = "Command Executed Time Out!",
    .phaseInitInterface = "Initial Programming Interface ....",
    .phaseBlankCheck = "Chip Blank Checking....",
    .phaseErase = "Do Chip Erasing....",
    .phaseProgramMain = "Do Main Flash Programming....",
    .phaseProgramEep = "Do EEP Data Programming....",
    .phaseVerifyMain = "Do Main Flash Verification....",
    .phaseVerifyEep = "Do EEP Data Verification....",
    .phaseOptionBytes = "Do Chip Option Byte Programming....",
    .programmingCompleted = "Progrmming Completed : ",
    .completedSuccess = "Successed !",
    .completedFailed = "Failed : Error=0x%0.2x!",
    .okNgCounts = "OK=%d, NG=%d.",

    .wholeByteCodes = kWholeByteCodes,
    .wholeByteCodeCount = static_cast<int>(std::size(kWholeByteCodes)),
    .lowBitsCodes = kLowBitsCodes,
    .lowBitsCodeCount = static_cast<int>(std::size(kLowBitsCodes)),
    .operationFailedCode = "Opertaion Failed! Error Code : 0%d/0x%0.2x.",
};

}  // namespace dravon
