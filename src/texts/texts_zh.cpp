#include "texts/texts.h"

#include <iterator>

namespace dravon {
namespace {

constexpr CodeText kWholeByteCodes[] = {
    {0xE1, "ISP Mode Protection with Access Code!"},
    {0xE2, "ISP Mode Chip Erase Protect is set!"},
    {0xE3, "ISP Mode Chip Erase/Access Protect is set!"},
    {0xE4, "ISP Mode OID Check is not passed!"},
    {0xA6, "USB设备接收超时！"},
    {0xB2, "ID 检查错误或不匹配!"},
    {0xE0, "USB设备通讯错误！"},
    {0xFA, "Socket Detect Error or Not Connected!"},
    {0xFB, "Socket Life Time is Out of Cycles!"},
    {0xFD, "Socket Is Not Identificated!"},
};

constexpr CodeText kLowBitsCodes[] = {
    {0x04, "芯片错误：Arm Fault响应!"},
    {0x07, "芯片错误：Arm Fault响应!"},
    {0x0B, "芯片错误: 无响应!"},
    {0x10, "芯片已被写保护！"},
    {0x13, "芯片已被读保护！"},
    {0x15, "命令执行失败!"},
    {0x20, "数据包错误！"},
    {0x25, "命令不正确或不认识!"},
    {0x27, "该命令不支持!"},
    {0x2C, "Flash Memory错误！"},
    {0x31, "芯片数据校验错误!"},
    {0x34, "芯片校验和不正确！"},
    {0x36, "芯片型号错误或不存在!"},
    {0x38, "芯片型号与厂家不匹配!"},
    {0x40, "命令执行超时!"},
    {0x45, "命令执行错误!"},
    {0x47, "写产品代码数据错误"},
    {0x60, "编程接口错误：无响应!"},
};

}  // namespace

const Texts kChineseTexts{
    .editionName = "Chinese",

    .applicationTitle = "DravonQ40LAP Flash MCU Programmer",
    .mainCaption = "DravonQ40LAP Programmer Wizard",
    .greeting = "Hello DravonQuev-MAR User! ------ ",
    .fileNotFoundConfirm = "文件\"%s\"没有找到，请确认！",
    .projectFileNotFound = "文件%s没有找到！",
    .downloadSuccess = "Download Success",
    .clearInformation = "Clear Information",
    .copyInformation = "Copy Information",

    .operationSuccess = "Operation Success!",
    .commandTimeOut = "命令执行操作超时！",
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
    .operationFailedCode = "操作失败！错误代码: 0%d/0x%0.2x",
};

}  // namespace dravon
