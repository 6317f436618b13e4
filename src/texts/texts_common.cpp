#include <iterator>

#include "texts/texts.h"

namespace dravon {

const ControlText kCommonControlTexts[] = {
    // Tool bar hints
    {"SpdBtnExit", nullptr, nullptr, "Exit Application"},
    {"SpdBtnOpen", nullptr, nullptr, "Clear buffer and Load Object File"},
    {"SpdBtnLoadMore", nullptr, nullptr, "Just load object file(no buffer Clear )"},
    {"SpdBtnLdPrj", nullptr, nullptr, "Open Project File"},
    {"SpdBtnDownLoad", nullptr, nullptr, "Download to programmer for Off-Line Programming"},
    {"AutoSpdBtn", nullptr, nullptr, "Auto-Prog: Blank-Erase-Prog-Verify and Write Option Bytes"},
    {"SpdBtnBlankChk", nullptr, nullptr, "Do Chip Blank Check"},
    {"SpdBtnErase", nullptr, nullptr, "DO Chip Erase"},
    {"SpdBtnProg", nullptr, nullptr, "Do Chip Programming"},
    {"SpdBtnVerify", nullptr, nullptr, "Do Chip Verification"},
    {"SpdBtnWrtOPB", nullptr, nullptr, "Write Option or config data"},
    // Pages
    {"ChipSett", "Chip Setting", nullptr, nullptr},
    {"TabSheetFlash", "Main Flash", nullptr, nullptr},
    {"TabSheetEEP", "Data Flash", nullptr, nullptr},
    // Settings panel
    {"InfoPanel", "Device = ??????", nullptr, nullptr},
    {"DpCpInfX", "xxxxKB", nullptr, nullptr},
    {"RadioGpVolt", nullptr, "3.3V\n5.0V", "Select VOUT Voltage level"},
    {"RadioGrpSpdF", nullptr, "Fast SWCLK\nSlow SWCLK", "Select SWCLK Speed(low or fast)"},
    {"ChkBoxErsEEP", nullptr, nullptr,
     "Check to Enable Erase Data/EEP Memory if has when erase chip."},
    {"ChkBoxPrgEEP", nullptr, nullptr, "Check to Program Erase Data/EEP Memory if has."},
    {"CheckBoxOpt", nullptr, nullptr, "Check to Program Option  data if has."},
    {"BtnOptionCfg", "Set Option Byte", nullptr, nullptr},
    {"CheckBoxCtrl", nullptr, nullptr, "Check to enable Number control"},
    {"ChkBoxBlkEr", nullptr, nullptr, "Check to report error if chip is not blank"},
    {"ChkBoxRunSHT", "Run and then Shut(ms):  ", nullptr, nullptr},
    {"ChkBoxAuto", nullptr, nullptr,
     "Check to enable Chip detectiong and auto-Start off-Line programming"},
    {"SNOrderChk", nullptr, nullptr, "Check to enable S/N Big Endian storage."},
    {"CheckBoxSN", nullptr, nullptr, "Check to enable S/N function"},
    {"ChkBoxPCSN", nullptr, nullptr, "Check to enable S/N function for the Auto button"},
    {"LabelDEVA", "Device Address: ", nullptr, nullptr},
    {"ChkBoxVDD", nullptr, nullptr, "Check to shut VOUT after programming."},
    {"CheckBoxRun", nullptr, nullptr, "Check to start chip after programming"},
    {"RadioGrpRST", nullptr, nullptr, "Set Reset SIgnal output after programmed"},
    // Main menu
    {"File1", "&File", nullptr, nullptr},
    {"Execute1", "&Load Object File", nullptr, nullptr},
    {"LoadEepDataFile1", "Load EEP Data File", nullptr, nullptr},
    {"SaveFile1", "&Save Memory to File", nullptr, nullptr},
    {"SaveEepDatatoFile1", "Save EEP Data to File", nullptr, nullptr},
    {"SavetoProjectFile1", "Save to Project File", nullptr, nullptr},
    {"LoadFromProjectFile1", "Load From Project File", nullptr, nullptr},
    {"ShowChipOptionData1", "Show Chip Option Data", nullptr, nullptr},
    {"ConfigLogFile1", "Config Log File", nullptr, nullptr},
    {"Exit1", "E&xit", nullptr, nullptr},
    {"Execute2", "&Command", nullptr, nullptr},
    {"Download1", "&Download", nullptr, nullptr},
    {"AutoProgram1", "&Auto Program", nullptr, nullptr},
    {"BlankCheck1", "&Blank Check", nullptr, nullptr},
    {"EraseChip1", "&Erase Chip", nullptr, nullptr},
    {"Programming1", "&Programming", nullptr, nullptr},
    {"VeriufyDownload1", "&Verification", nullptr, nullptr},
    {"WriteOptionByte1", "Write &Option Byte", nullptr, nullptr},
    {"WriteEepDataMemory1", "Write EEP Memory", nullptr, nullptr},
    {"DoFirmwareUpgrade1", "Do Firmware Upgrade", nullptr, nullptr},
    {"ReadCommand", "Read", nullptr, nullptr},
    {"ReadChipMemory1", "Read Main Memory", nullptr, nullptr},
    {"ReadEEPMemory1", "Read EEP Data Memory", nullptr, nullptr},
    {"ReadOptionByte1", "Read Chip Option Setting", nullptr, nullptr},
    {"ReadChipCheckSum1", "Read Chip CheckSum", nullptr, nullptr},
    {"ReadMG32xxChipID1", "&Read Chip Information", nullptr, nullptr},
    {"ReadSpcAddress", "Read Specific Address", nullptr, nullptr},
    {"StartOfflineProgrm1", "Start Off-line Progrm", nullptr, nullptr},
    {"Help1", "&Help", nullptr, nullptr},
    {"About1", "About", nullptr, nullptr},
    // Pop-up menus
    {"ClearInformation1", "Clear Information", nullptr, nullptr},
    {"CopytoCli1", "Copy Information", nullptr, nullptr},
    {"LoadFileOTP", "Load File", nullptr, nullptr},
};

const int kCommonControlTextCount = static_cast<int>(std::size(kCommonControlTexts));

}  // namespace dravon
