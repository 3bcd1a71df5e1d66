#include "app/Captions.h"

#include "app/MessageTable.h"

#include <QRegularExpression>

#include <cstring>

namespace {

constexpr CaptionEntry kCaptions[] = {
    {"TForm1", "StatusBar1[0]", {"状态", "狀態", "State"}},
    {"TForm1", "StatusBar1[2]", {"使用时间", "使用時間", "Use time"}},
    {"TForm1", "GroupBox1", {"芯片", "芯片", "Chip"}},
    {"TForm1", "BtnCheck", {"智能检测", "智能檢測", "Detection"}},
    {"TForm1", "BtnFind", {"查找", "查找", "Find"}},
    {"TForm1", "FuseRead", {"读熔丝", "讀熔絲", "ReadFuse"}},
    {"TForm1", "FuseDefault", {"默认", "默認", "Default"}},
    {"TForm1", "FuseWrite", {"写熔丝", "寫熔絲", "WriteFuse"}},
    {"TForm1", "ReadLockBtn", {"读加密", "讀加密", "ReadLock"}},
    {"TForm1", "WriteLockBtn", {"写加密", "寫加密", "WriteLock"}},
    {"TForm1", "GroupBox3", {"编程器选项", "編程器選項", "Hardware Options"}},
    {"TForm1", "Label6", {"编程速度", "編程速度", "Speed"}},
    {"TForm1", "CheckBoxHigtSpeed", {"启用高速编程算法", "啟用高速編程算法", "High Speed"}},
    {"TForm1", "GroupBox2", {"自动编程选项", "自動編程選項", "AUTO Program Options"}},
    {"TForm1", "CheckBoxID", {"检测芯片", "檢測芯片", "Detection"}},
    {"TForm1", "CheckBoxErase", {"擦除", "擦除", "Erase"}},
    {"TForm1", "CheckBoxWriteFlash", {"编程", "編程", "Program"}},
    {"TForm1", "CheckBoxVerity", {"校验", "校驗", "Verify"}},
    {"TForm1", "CheckBoxWriteEprom", {"写EPROM", "寫EPROM", "Write EPROM"}},
    {"TForm1", "CheckBoxVerifyEprom", {"校验EPROM", "校驗EPROM", "Verify EPROM"}},
    {"TForm1", "CheckBoxSN", {"写入 SN", "寫入 SN", "Write SN"}},
    {"TForm1", "CheckBoxFUSE", {"熔丝&&加密", "熔絲&&加密", "FUse&&Lock"}},
    {"TForm1", "ToolOpen", {"打开", "打開", "Open"}},
    {"TForm1", "ToolSave", {"保存", "保存", "Save"}},
    {"TForm1", "ToolFill", {"填充", "填充", "FIll"}},
    {"TForm1", "ToolBank", {"查空", "查空", "Bank"}},
    {"TForm1", "ToolAuto", {"自动", "自動", "AUTO"}},
    {"TForm1", "ToolErase", {"擦除", "擦除", "ERASE"}},
    {"TForm1", "ToolWrite", {"写入", "寫入", "Write"}},
    {"TForm1", "ToolRead", {"读出", "讀出", "Read"}},
    {"TForm1", "ToolVerify", {"校验", "校驗", "Verify"}},
    {"TForm1", "O1", {"文件(&F)", "文件(&F)", "File(&F)"}},
    {"TForm1", "O2", {"打开(&O)", "打開(&O)", "Open(&O)"}},
    {"TForm1", "S1", {"保存(&S)", "保存(&S)", "Save(&S)"}},
    {"TForm1", "Q1", {"退出(&Q)", "退出(&Q)", "Quit(&Q)"}},
    {"TForm1", "Buff", {"缓冲区(&B)", "緩沖區(&B)", "Buffer(&B)"}},
    {"TForm1", "Fill", {"填充(&F)", "填充(&F)", "Fill(&F)"}},
    {"TForm1", "O3", {"操作(&O)", "操作(&O)", "Operation(&O)"}},
    {"TForm1", "A1", {"自动(&A)", "自動(&A)", "Auto(&A)"}},
    {"TForm1", "E1", {"擦除(&E)", "擦除(&E)", "Erase(&E)"}},
    {"TForm1", "W1", {"写入(&W)", "寫入(&W)", "Write(&W)"}},
    {"TForm1", "R1", {"读出(&R)", "讀出(&R)", "Read(&R)"}},
    {"TForm1", "V1", {"校验(&V)", "校驗(&V)", "Verify(&V)"}},
    {"TForm1", "N7", {"查空(&B)", "查空(&B)", "Bank(&B)"}},
    {"TForm1", "N3", {"设备(&Y)", "設備(&Y)", "Device(&Y)"}},
    {"TForm1", "L1", {"语言(&L)", "語言(&L)", "Language(&L)"}},
    {"TForm1", "China", {"中文简体", "中文简体", "中文简体"}},
    {"TForm1", "fanti", {"中文繁體", "中文繁體", "中文繁體"}},
    {"TForm1", "Enlish", {"English", "English", "English"}},
    {"TForm1", "H1", {"帮助(&H)", "幫助(&H)", "Help(&H)"}},
    {"TForm1", "N5", {"关于(&A)", "關於(&A)", "About(&A)"}},
    {"TForm1", "FuseEnable", {"使能熔丝", "使能熔絲", "Fuse Enable"}},
    {"TForm1", "LockEnable", {"使能加密", "使能加密", "Lock Enable"}},
    {"TForm1", "GroupBox4", {"序列号或填充", "序列號或填充", "SNOrFill"}},
    {"TForm1", "RadioButton1", {"递增系列号", "遞增系列號", "Incremental SN"}},
    {"TForm1", "RadioButton2", {"递减系列号", "遞減系列號", "Decreasing SN"}},
    {"TForm1", "RadioButton3", {"文件填充", "文件填充", "Fill File"}},
    {"TForm1", "Label2", {"系列号(十进制)", "系列號(十進制)", "SN(Decimal)"}},
    {"TForm1", "Label3", {"系列号4字节低位在前，高位在后", "系列號4字節低位在前，高位在後", "Series number 4 bytes low before, high after"}},
    {"TForm1", "Label4", {"地址(十六进制)", "地址(十六進制)", "Address(Hex)"}},
    {"TForm1", "BitBtn1", {"加载文件填充到缓冲区", "加載文件填充到緩沖區", "Fill the load file into the buffer"}},
    {"TForm1", "Label5", {"文件填充：可以将一个或多个文件合并到缓冲器写入芯片或另存文件备份。注意这个过程不可逆！", "文件填充：可以將壹個或多個文件合並到緩沖器寫入芯片或另存文件備份。註意這個過程不可逆！", "Fill Filling: One or more files can be merged into a buffer to write to the chip or to save a backup file. Note that this process is irreversible!"}},
    {"TForm1", "Label7", {"芯片放置位置", "芯片放置位置", "Chip placement"}},
    {"TForm1", "lblCapcity", {"容量", "Capcity", "Capcity"}},
    {"TForm1", "lblPageSize", {"页面大小", "PageSize", "PageSize"}},
    {"TForm1", "", {"Quibex电子—KTR4180(Ver 1.2)", "Quibex電子—KTR4180(Ver 1.2)", "Quibex—KTR4180(Ver 1.2)"}},
    // The auto button of the options group has the tool button's texts; its
    // English one is ours.
    {"TForm1", "btnAutoProg", {"自动", "自動", "AUTO"}},
    // Compare, Unprotect and the production log.
    {"TForm1", "CompareChip", {"与芯片比较(&C)", "與芯片比較(&C)", "Compare with chip(&C)"}},
    {"TForm1", "UnprotectChip", {"解除保护(&U)", "解除保護(&U)", "Unprotect(&U)"}},
    // Not "Device": that is the chip-list editor's menu when the settings show it.
    {"TForm1", "Dev1", {"生产(&P)", "生產(&P)", "Production(&P)"}},
    {"TForm1", "ProdLog", {"生产记录(&L)…", "生產記錄(&L)…", "Production log(&L)…"}},
    {"TForm2", "BtnDelete", {"删除", "删除", "Delete"}},
    {"TForm2", "BtnAdd", {"添加", "添加", "Add"}},
    {"TForm2", "BtnSave", {"保存", "保存", "Save"}},
    {"TForm2", "BtnExit", {"退出", "退出", "Quit"}},
    {"TForm3", "", {"芯片选择", "芯片選擇", "Chip Select"}},
    {"TForm3", "Label1", {"查找", "查找", "Find"}},
    {"TForm3", "BitBtn1", {"选择", "選擇", "Select"}},
    {"TForm3", "BitBtn2", {"退出", "退出", "Quit"}},
    {"TForm4", "", {"填充", "填充", "Fill"}},
    {"TForm4", "GroupBox1", {"数据", "數據", "Data"}},
    {"TForm4", "RadioButton1", {"常量字节(8bits)", "常量字節(8bits)", "Byte(8bits)"}},
    {"TForm4", "RadioButton2", {"常量字(16bits)", "常量字(16bits)", "Word(16bits)"}},
    {"TForm4", "RadioButton3", {"随机数", "隨機數", "Random"}},
    {"TForm4", "GroupBox2", {"范围", "範圍", "Range"}},
    {"TForm4", "Label1", {"开始地址", "開始地址", "Start ADDR"}},
    {"TForm4", "Label2", {"结束地址", "結束地址", "End ADDR"}},
    {"TForm4", "BitBtn1", {"确定", "確定", "OK"}},
    {"TForm4", "BitBtn2", {"取消", "取消", "Cance"}},
};

} // namespace

std::span<const CaptionEntry> captionTable() { return kCaptions; }

QString captionText(const CaptionEntry& entry, int languageIndex)
{
    return QString::fromUtf8(entry.text[clampLanguage(languageIndex)]);
}

QString captionFor(const char* window, const char* control, int languageIndex)
{
    for (const CaptionEntry& e : kCaptions)
        if (std::strcmp(e.window, window) == 0 && std::strcmp(e.control, control) == 0)
            return captionText(e, languageIndex);
    return {};
}

QString plainCaptionFor(const char* window, const char* control, int languageIndex)
{
    QString text = captionFor(window, control, languageIndex);
    text.remove(QRegularExpression(QStringLiteral("\\(&[^&]\\)")));
    return text.replace(QRegularExpression(QStringLiteral("&(.)")), QStringLiteral("\\1"));
}

int statusPanelOf(const char* control)
{
    static constexpr char kPrefix[] = "StatusBar1[";
    const std::size_t n = sizeof kPrefix - 1;
    if (std::strncmp(control, kPrefix, n) != 0 || control[n] < '0' || control[n] > '9' || control[n + 1] != ']')
        return -1;
    return control[n] - '0';
}
