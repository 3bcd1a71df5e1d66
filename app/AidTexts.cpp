#include "app/AidTexts.h"

#include "app/MessageTable.h"

#include <cstring>

namespace {

constexpr CaptionEntry kToolTips[] = {
    {"TForm1", "ToolOpen", {"打开数据文件到当前缓冲区", "打開數據文件到當前緩沖區", "Open a data file into the active buffer"}},
    {"TForm1", "ToolSave", {"将当前缓冲区保存为文件", "將當前緩沖區保存為文件", "Save the active buffer to a file"}},
    {"TForm1", "ToolRead", {"读出芯片到当前缓冲区", "讀出芯片到當前緩沖區", "Read the chip into the active buffer"}},
    {"TForm1", "ToolErase", {"擦除芯片", "擦除芯片", "Erase the chip"}},
    {"TForm1", "ToolWrite", {"将当前缓冲区写入芯片", "將當前緩沖區寫入芯片", "Write the active buffer into the chip"}},
    {"TForm1", "ToolVerify", {"将芯片与当前缓冲区比较", "將芯片與當前緩沖區比較", "Compare the chip with the active buffer"}},
    {"TForm1", "ToolAuto", {"按勾选的步骤自动编程", "按勾選的步驟自動編程", "Run the ticked steps of the automatic sequence"}},
    {"TForm1", "ToolBank", {"检查芯片是否为空", "檢查芯片是否為空", "Check that the chip is blank"}},
    {"TForm1", "ToolFill", {"用常量或随机数填充FLASH缓冲区", "用常量或隨機數填充FLASH緩沖區", "Fill the Flash buffer with a constant or random bytes"}},
    {"TForm1", "BtnCheck", {"读出芯片ID并选择该芯片", "讀出芯片ID並選擇該芯片", "Read the chip's identifier and select that chip"}},
    {"TForm1", "BtnFind", {"按名称查找芯片", "按名稱查找芯片", "Find a chip by its name"}},
    {"TForm1", "btnAutoProg", {"按勾选的步骤自动编程", "按勾選的步驟自動編程", "Run the ticked steps of the automatic sequence"}},
    {"TForm1", "Panel8", {"批量编程：每放入一颗芯片就按勾选的步骤编程", "批量編程：每放入一顆芯片就按勾選的步驟編程", "Batch mode: every chip put into the socket runs the ticked steps"}},
    {"TForm1", "cmbProgSpeed", {"编程器与芯片之间的时钟", "編程器與芯片之間的時鐘", "Clock between the programmer and the chip"}},
    {"TForm1", "CheckBoxID", {"自动编程前检查芯片ID", "自動編程前檢查芯片ID", "AUTO checks the chip's identifier first"}},
    {"TForm1", "CheckBoxErase", {"自动编程时先擦除芯片", "自動編程時先擦除芯片", "AUTO erases the chip first"}},
    {"TForm1", "CheckBoxWriteFlash", {"自动编程时写入FLASH缓冲区", "自動編程時寫入FLASH緩沖區", "AUTO writes the Flash buffer"}},
    {"TForm1", "CheckBoxVerity", {"自动编程时校验FLASH", "自動編程時校驗FLASH", "AUTO verifies the Flash against the buffer"}},
    {"TForm1", "CheckBoxWriteEprom", {"自动编程时写入EEPROM缓冲区", "自動編程時寫入EEPROM緩沖區", "AUTO writes the EEPROM buffer"}},
    {"TForm1", "CheckBoxVerifyEprom", {"自动编程时校验EEPROM", "自動編程時校驗EEPROM", "AUTO verifies the EEPROM against the buffer"}},
    {"TForm1", "CheckBoxSN", {"自动编程时写入序列号", "自動編程時寫入序列號", "AUTO writes the serial number"}},
    {"TForm1", "CheckBoxFUSE", {"自动编程最后写入熔丝和加密", "自動編程最後寫入熔絲和加密", "AUTO writes the fuse and lock bytes last"}},
    {"TForm1", "CheckBoxHigtSpeed", {"启用高速编程算法", "啟用高速編程算法", "Use the high-speed programming algorithm"}},
    {"TForm1", "FuseEnable", {"自动编程时写入熔丝", "自動編程時寫入熔絲", "AUTO writes the fuse bytes"}},
    {"TForm1", "LockEnable", {"自动编程时写入加密", "自動編程時寫入加密", "AUTO writes the lock byte"}},
};

constexpr CaptionEntry kCaptions[] = {
    {"TForm1", "GoTo", {"转到地址(&G)...", "轉到地址(&G)...", "Go to address(&G)..."}},
    {"TForm1", "FindBytes", {"查找(&S)...", "查找(&S)...", "Find(&S)..."}},
    {"TForm1", "FindNext", {"查找下一个(&N)", "查找下一個(&N)", "Find next(&N)"}},
    {"TForm1", "FindPrevious", {"查找上一个(&P)", "查找上一個(&P)", "Find previous(&P)"}},
    {"TForm1", "CopyHex", {"复制为十六进制文本(&C)", "複製為十六進制文本(&C)", "Copy as hex text(&C)"}},
    {"TForm1", "Detect", {"智能检测(&D)", "智能檢測(&D)", "Detection(&D)"}},
    {"TForm1", "BatchMode", {"批量编程(&M)", "批量編程(&M)", "Batch mode(&M)"}},
    {"TForm1", "WriteSn", {"写入系列号(&N)", "寫入系列號(&N)", "Write SN(&N)"}},
    {"TForm1", "UndoEdit", {"撤销(&U)", "撤銷(&U)", "Undo(&U)"}},
    {"TForm1", "RedoEdit", {"重做(&R)", "重做(&R)", "Redo(&R)"}},
    {"TForm1", "PasteHex", {"粘贴十六进制文本(&V)", "貼上十六進制文本(&V)", "Paste hex text(&V)"}},
    {"TForm1", "NoProdLog", {"不记录(&N)", "不記錄(&N)", "No log(&N)"}},
    {"FindDialog", "", {"查找", "查找", "Find"}},
    {"FindDialog", "Label1", {"查找内容：", "查找內容：", "Find what:"}},
    {"FindDialog", "HexBytes", {"十六进制字节", "十六進制字節", "Hex bytes"}},
    {"FindDialog", "Text", {"文本", "文本", "Text"}},
    {"FindDialog", "Forward", {"查找下一个", "查找下一個", "Find next"}},
    {"FindDialog", "Backward", {"查找上一个", "查找上一個", "Find previous"}},
    {"FindDialog", "Cancel", {"取消", "取消", "Cancel"}},
    {"GoToDialog", "", {"转到地址", "轉到地址", "Go to address"}},
    {"GoToDialog", "Label1", {"地址(十六进制)：", "地址(十六進制)：", "Address (hex):"}},
    {"TForm1", "CheckSetup", {"检查设置", "檢查設置", "Check the set-up"}},
    {"SetupDialog", "", {"检查设置", "檢查設置", "Check the set-up"}},
    {"SetupDialog", "Again", {"重新检查", "重新檢查", "Check again"}},
};

constexpr const char* kMessages[][3] = {
    {"未找到：%1", "未找到：%1", "Not found: %1"},
    {"查找内容不是十六进制字节（例如 EB 3C 90）。", "查找內容不是十六進制字節（例如 EB 3C 90）。",
     "The search text is not hexadecimal bytes (such as EB 3C 90)."},
    {"查找已到达末尾，从开头继续。", "查找已到達末尾，從開頭繼續。", "The search reached the end and went on from the start."},
    {"查找已到达开头，从末尾继续。", "查找已到達開頭，從末尾繼續。", "The search reached the start and went on from the end."},
    {"地址 %1 处没有字节：此缓冲区的地址为 0 到 %2。", "地址 %1 處沒有字節：此緩沖區的地址為 0 到 %2。",
     "There is no byte at %1: this buffer holds the addresses 0 to %2."},
    {"剪贴板中有 %1 个字节，从光标到末尾只能放下 %2 个。", "剪貼板中有 %1 個字節，從光標到末尾只能放下 %2 個。",
     "The clipboard holds %1 bytes; from the cursor to the end there is room for %2."},
    {"剪贴板中不是十六进制字节（例如 EB 3C 90）。", "剪貼板中不是十六進制字節（例如 EB 3C 90）。",
     "The clipboard does not hold hexadecimal bytes (such as EB 3C 90)."},
    {"批量编程时每颗芯片都写入同一个缓冲区，现在不能更改。请先停止批量编程。",
     "批量編程時每顆芯片都寫入同一個緩沖區，現在不能更改。請先停止批量編程。",
     "Batch mode writes the same buffer into every chip, so it cannot change now. Switch batch mode off first."},
    {"生产记录：不记录", "生產記錄：不記錄", "Production log: none"},
    {"生产记录文件", "生產記錄文件", "Production log file"},
    {"自动编程选项中没有勾选任何步骤，请至少勾选一项（例如擦除、编程、校验）。",
     "自動編程選項中沒有勾選任何步驟，請至少勾選一項（例如擦除、編程、校驗）。",
     "No step is ticked in the AUTO Program Options: tick at least one (such as Erase, Program, Verify)."},
    {"显示的熔丝值不是从这颗芯片读出的：写入会替换芯片的全部熔丝字节，包括您没有改动的。请先读熔丝，只改您要改的位。仍要写入吗？",
     "顯示的熔絲值不是從這顆芯片讀出的：寫入會替換芯片的全部熔絲字節，包括您沒有改動的。請先讀熔絲，只改您要改的位。仍要寫入嗎？",
     "The fuse values shown were not read from this chip: writing them replaces every fuse byte of the chip, also "
     "those you did not change. Read the fuses first (ReadFuse) and change only what you mean to. Write them anyway?"},
    {"显示的加密字节不是从这颗芯片读出的。请先读加密。仍要写入吗？",
     "顯示的加密字節不是從這顆芯片讀出的。請先讀加密。仍要寫入嗎？",
     "The lock byte shown was not read from this chip. Read it first (ReadLock). Write it anyway?"},
};

QString lookUp(std::span<const CaptionEntry> table, const char* window, const char* control, int languageIndex)
{
    for (const CaptionEntry& e : table)
        if (std::strcmp(e.window, window) == 0 && std::strcmp(e.control, control) == 0)
            return captionText(e, languageIndex);
    return {};
}

} // namespace

std::span<const CaptionEntry> toolTipTable() { return kToolTips; }
std::span<const CaptionEntry> aidCaptionTable() { return kCaptions; }

QString toolTipFor(const char* window, const char* control, int languageIndex)
{
    return lookUp(kToolTips, window, control, languageIndex);
}

QString aidCaptionFor(const char* window, const char* control, int languageIndex)
{
    return lookUp(kCaptions, window, control, languageIndex);
}

QString aidMessage(AidMessage message, int languageIndex)
{
    return QString::fromUtf8(kMessages[int(message)][clampLanguage(languageIndex)]);
}
