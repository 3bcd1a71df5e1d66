#include "app/MessageTable.h"

#include <array>

namespace {

struct Variants {
    const char* simplified;
    const char* traditional;
    const char* english;
};

// Indexed by message number; 22, 29, 30 and 32 carry no message.
constexpr std::array<Variants, kMessageCount> kTable = {{
    /* 0 */ {"配置文件被破坏！", "配置文件被破壞！", "The configuration file was destroyed."},
    /* 1 */ {"文件已存在,是否覆盖?", "文件已存在,是否覆蓋?", "File already exists. Is it covered? "},
    /* 2 */ {"写入文件出错。", "寫入文件出錯。", "Error writing file."},
    /* 3 */ {"检测到KTR4180 USB高速编程器，工作状态正常。", "檢測到KTR4180 USB高速編程器，工作狀態正常。",
             "KTR4180 USB High-Speed Programmer is detected, and the working state is normal."},
    /* 4 */ {"准备好", "準備好", "Ready"},
    /* 5 */ {"编程器未接入", "編程器未接入", "Not connected"},
    /* 6 */ {"未知型号芯片ID =", "未知型號芯片ID =", "Unknown chip ID ="},
    /* 7 */ {"请手动选择兼容型号。", "請手動選擇兼容型號。", "Please choose the compatibility type manually."},
    /* 8 */ {"擦除 Flash ...", "擦除 Flash ...", "Erase Flash ..."},
    /* 9 */ {"读出 Flash ...", "讀出 Flash ...", "Read Flash ..."},
    /* 10 */ {"查空 Flash ...", "查空 Flash ...", "Bank Flash ..."},
    /* 11 */ {"芯片没有擦空", "芯片沒有擦空", "The chip is not empty."},
    /* 12 */ {"校验 Flash ...", "校驗 Flash ...", "Verify Flash ..."},
    /* 13 */ {"Flash 校验错误地址: ", "Flash 校驗錯誤地址: ", "Flash check error address:"},
    /* 14 */ {"编程 Flash ...", "編程 Flash ... ", "Write Flash ..."},
    /* 15 */ {"文件长度大于芯片容量,是否继续烧录?", "文件長度大於芯片容量,是否繼續烧录?",
              "File length is larger than chip capacity. Do you want to continue to write?"},
    /* 16 */ {"打开", "打開", "Open"},
    /* 17 */ {"读出完成！", "讀出完成！", "Read Complete!"},
    /* 18 */ {"擦除完成！", "擦除完成！", "Erase Complete!"},
    /* 19 */ {"写入完成！", "寫入完成！", "Write Complete!"},
    /* 20 */ {"校验完成！", "校驗完成！", "Verify Complete!"},
    /* 21 */ {"自动编程校验通过！", "自動編程校驗通過！", "AUTO Complete!"},
    /* 22 */ {"", "", ""},
    /* 23 */ {"查空完成！", "查空完成！", "Bank Complete!"},
    /* 24 */ {"等待放置芯片", "等待放置芯片", "Waiting for chip placement"},
    /* 25 */ {"已检测到芯片", "已檢測到芯片", "Chip detected"},
    /* 26 */ {"没有检测到芯片，请放置芯片再试！", "沒有檢測到芯片，請放置芯片再試！",
              "No chips detected, please put the chip to try again!"},
    /* 27 */ {"检测到芯片：", "檢測到芯片：", "The chip was detected:"},
    /* 28 */ {"\n\n芯片类型 ：", "\n\n芯片類型 ：", "\n\n Chip type"},
    /* 29 */ {"", "", ""},
    /* 30 */ {"", "", ""},
    /* 31 */ {"缓冲区数据为空，请加载数据文件。", "緩沖區數據為空，請加載數據文件。",
              "The buffer data is empty. Please load the data file.."},
    /* 32 */ {"", "", ""},
    /* 33 */ {"请取出芯片", "請取出芯片", "Please remove the chip"},
    /* 34 */ {"请放置芯片", "請放置芯片", "Please place the chip "},
    /* 35 */ {"批量烧录", "批量燒錄", "Batch write "},
    /* 36 */ {"停止批量烧录", "停止批量燒錄", "Stop batch write "},
    /* 37 */ {"与编程器通信失败，操作已停止。", "與編程器通信失敗，操作已停止。",
              "Communication with the programmer failed; the operation was stopped."},
    /* 38 */ {"所选芯片的参数无法使用（页面大小为0，或容量超出缓冲区）。",
              "所選芯片的參數無法使用（頁面大小為0，或容量超出緩沖區）。",
              "The selected chip's parameters cannot be used (page size 0, or a size beyond the buffer)."},
    /* 39 */ {"系列号地址超出缓冲区范围。", "系列號地址超出緩沖區範圍。",
              "The serial number address lies beyond the buffer."},
    /* 40 */ {"填充范围无效：开始地址不能大于结束地址，且两者都必须在缓冲区内。",
              "填充範圍無效：開始地址不能大於結束地址，且兩者都必須在緩沖區內。",
              "The fill range is not valid: the start must not lie above the end, and both must lie inside the buffer."},
    /* 41 */ {"请在每个填充字段中输入十六进制数值。", "請在每個填充字段中輸入十六進制數值。",
              "Every field of the fill dialog needs a hexadecimal value."},
    /* 42 */ {"文件在此地址放不进缓冲区，未作任何改动。", "文件在此地址放不進緩沖區，未作任何改動。",
              "The file does not fit into the buffer at this address; nothing was changed."},
    /* 43 */ {"芯片列表超过2000个芯片，只载入了前2000个。", "芯片列表超過2000個芯片，只載入了前2000個。",
              "The chip list holds more than 2000 chips; only the first 2000 were loaded."},
    /* 44 */ {"芯片列表最多只能保存1999个芯片，未保存。", "芯片列表最多只能保存1999個芯片，未保存。",
              "The chip list can hold at most 1999 chips; nothing was saved."},
    /* 45 */ {"芯片类型、厂商、型号和关联字段连同其间的逗号合计超过47字节，未保存：",
              "芯片類型、廠商、型號和關聯字段連同其間的逗號合計超過47字節，未保存：",
              "A chip's type, manufacturer, model and association field, with the commas between them, "
              "exceed 47 bytes together; nothing was saved: "},
    /* 46 */ {"熔丝描述文件超出范围（最多255项设置、32个字节、4个校准项），未载入。",
              "熔絲描述文件超出範圍（最多255項設置、32個字節、4個校準項），未載入。",
              "The fuse description is too large (at most 255 settings, 32 bytes and 4 calibration entries); it was not loaded."},
    /* 47 */ {"自动编程在此步骤停止：", "自動編程在此步驟停止：", "AUTO stopped at: "},
    /* 48 */ {"Can't open File", "Can't open File", "Can't open File"},
    /* 49 */ {"File is too big for Buffer", "File is too big for Buffer", "File is too big for Buffer"},
    /* 50 */ {"创建文件失败", "创建文件失败", "创建文件失败"},
    /* 51 */ {"配置导出成功！", "配置导出成功！", "配置导出成功！"},
    /* 52 */ {"'%1' is not a valid integer value", "'%1' is not a valid integer value",
              "'%1' is not a valid integer value"},
    /* 53 */ {"所选芯片未载入熔丝描述，熔丝步骤未执行，未发送任何数据。",
              "所選芯片未載入熔絲描述，熔絲步驟未執行，未發送任何數據。",
              "No fuse description is loaded for the chosen chip; the fuse step was not run and nothing was sent."},
    /* 54 */ {"系列号的4个字节在此地址超出芯片范围，未发送任何数据。", "系列號的4個字節在此地址超出芯片範圍，未發送任何數據。",
              "The serial number's 4 bytes do not fit inside the chip at this address; nothing was sent."},
    /* 55 */ {"已由用户停止。", "已由用戶停止。", "Stopped by the user."},
    /* 56 */ {"写入已停止：芯片只编程了一部分。", "寫入已停止：芯片只編程了一部分。",
              "The write was stopped: the chip is only partly programmed."},
    /* 57 */ {"擦除已停止：芯片只擦除了一部分。", "擦除已停止：芯片只擦除了一部分。",
              "The erase was stopped: the chip is only partly erased."},
    /* 58 */ {"停止", "停止", "Stop"},
    /* 59 */ {"%1/秒，剩余 %2", "%1/秒，剩餘 %2", "%1/s, %2 left"},
    /* 60 */ {"已用 %1", "已用 %1", "%1 elapsed"},
    /* 61 */ {"芯片与缓冲区一致。", "芯片與緩沖區一致。", "The chip and the buffer are equal."},
    /* 62 */ {"不同的字节：%1，区域：%2。", "不同的字節：%1，區域：%2。", "Differing bytes: %1, ranges: %2."},
    /* 63 */ {"%1-%2：%3 字节，应为 %4，实际 %5", "%1-%2：%3 字節，應為 %4，實際 %5",
              "%1-%2: %3 bytes, expected %4, found %5"},
    /* 64 */ {"%1：1 字节，应为 %2，实际 %3", "%1：1 字節，應為 %2，實際 %3", "%1: 1 byte, expected %2, found %3"},
    /* 65 */ {"另有 %1 个区域", "另有 %1 個區域", "and %1 more"},
    /* 66 */ {"所有不同的位在芯片上仍为1：芯片未被编程（写保护，或写入未执行）。",
              "所有不同的位在芯片上仍為1：芯片未被編程（寫保護，或寫入未執行）。",
              "All differing bits are still 1 on the chip: not programmed (write-protected, or the write did not run)."},
    /* 67 */ {"芯片上有位为0而数据为1：写入前未擦除。", "芯片上有位為0而數據為1：寫入前未擦除。",
              "Bits are 0 on the chip where the data has 1: not erased before writing."},
    /* 68 */ {"不同的位两个方向都有：数据错误或芯片损坏。", "不同的位兩個方向都有：數據錯誤或芯片損壞。",
              "Bits differ both ways (mixed): wrong data or a failing chip."},
    /* 69 */ {"芯片可能处于写保护状态：请执行“解除保护”，然后重新写入。",
              "芯片可能處於寫保護狀態：請執行「解除保護」，然後重新寫入。",
              "The chip may be write-protected: run Unprotect, then write again."},
    /* 70 */ {"解除保护 Flash ...", "解除保護 Flash ...", "Unprotect Flash ..."},
    /* 71 */ {"解除保护完成！", "解除保護完成！", "Unprotect Complete!"},
    /* 72 */ {"只有SPI Flash芯片可以解除写保护。", "只有SPI Flash芯片可以解除寫保護。",
              "Only SPI flash chips can be unprotected."},
    /* 73 */ {"无法写入生产记录：", "無法寫入生產記錄：", "The production log could not be written: "},
    /* 74 */ {"生产记录：", "生產記錄：", "Production log: "},
    /* 75 */ {"通过 %1，失败 %2，每小时 %3 片", "通過 %1，失敗 %2，每小時 %3 片", "Passed %1, failed %2, %3 chips/hour"},
    /* 76 */ {"芯片列表中没有名为“%1”的芯片。", "芯片列表中沒有名為“%1”的芯片。",
              "No chip named \"%1\" in the chip list."},
    /* 77 */ {"芯片列表中没有ID为 %1 的芯片。", "芯片列表中沒有ID為 %1 的芯片。",
              "No chip with the identifier %1 in the chip list."},
    /* 78 */ {"芯片“%1”无法在芯片列表中选中。", "芯片“%1”無法在芯片列表中選中。",
              "The chip \"%1\" cannot be selected in the chip lists."},
    /* 79 */ {"名称“%1”对应多个芯片，请用 --chip 指定其中之一：", "名稱“%1”對應多個芯片，請用 --chip 指定其中之一：",
              "The name \"%1\" fits several chips; name one of them with --chip:"},
    /* 80 */ {"最接近的型号：", "最接近的型號：", "Closest models: "},
    /* 81 */ {"请用 --chip 指定芯片。", "請用 --chip 指定芯片。", "Name the chip with --chip."},
    /* 82 */ {"插座中的芯片（类型 %1）没有可供识别的ID，请用 --chip 指定。",
              "插座中的芯片（類型 %1）沒有可供識別的ID，請用 --chip 指定。",
              "The chip in the socket (class %1) has no identifier to find it by; name it with --chip."},
    /* 83 */ {"检测不到的芯片（单片机）请用 --chip 指定。", "檢測不到的芯片（單片機）請用 --chip 指定。",
              "A chip the probe does not see (a microcontroller) is named with --chip."},
    /* 84 */ {"所选芯片没有EEPROM。", "所選芯片沒有EEPROM。", "The chosen chip has no EEPROM."},
    /* 85 */ {"所选芯片没有可校验的ID。", "所選芯片沒有可校驗的ID。", "The chosen chip has no identifier to check."},
    /* 86 */ {"只有 --force 才会继续操作此芯片。", "只有 --force 才會繼續操作此芯片。", "Only --force goes on with this chip."},
    /* 87 */ {"无法读取文件 ", "無法讀取文件 ", "Cannot read the file "},
    /* 88 */ {"无法写入文件 ", "無法寫入文件 ", "Cannot write the file "},
    /* 89 */ {"编程器已接入，但无法打开（%1：%2）。当前用户需要读写权限：安装udev规则 60-ktr4180.rules，然后重新插拔编程器（见README）。",
              "編程器已接入，但無法打開（%1：%2）。當前用戶需要讀寫權限：安裝udev規則 60-ktr4180.rules，然後重新插拔編程器（見README）。",
              "The programmer is plugged in but cannot be opened (%1: %2). Your user needs read and write access to it: "
              "install the udev rule 60-ktr4180.rules, then unplug and replug the programmer (see the README)."},
    /* 90 */ {"auto 至少需要一个步骤：", "auto 至少需要一個步驟：", "auto needs at least one step: "},
    /* 91 */ {"插座中的芯片（类型 %1，ID = %2）不是所选的芯片 %3（类型 %4，ID = %5）。是否继续操作插座中的芯片？",
              "插座中的芯片（類型 %1，ID = %2）不是所選的芯片 %3（類型 %4，ID = %5）。是否繼續操作插座中的芯片？",
              "The chip in the socket (class %1, ID = %2) is not the chosen chip %3 (class %4, ID = %5). "
              "Go on with the chip in the socket?"},
    /* 92 */ {"插座中的芯片（签名 %1）不是所选的芯片 %2（签名 %3）。是否继续操作插座中的芯片？",
              "插座中的芯片（簽名 %1）不是所選的芯片 %2（簽名 %3）。是否繼續操作插座中的芯片？",
              "The chip in the socket (signature %1) is not the chosen chip %2 (signature %3). "
              "Go on with the chip in the socket?"},
    /* 93 */ {"擦除后芯片不空（地址 %1 为 %2）：擦除没有生效。", "擦除後芯片不空（地址 %1 為 %2）：擦除沒有生效。",
              "The chip is not blank after the erase (address %1 holds %2): the erase did not take."},
    /* 94 */ {"芯片可能处于写保护状态：请执行“解除保护”，然后重新擦除。",
              "芯片可能處於寫保護狀態：請執行「解除保護」，然後重新擦除。",
              "The chip may be write-protected: run Unprotect, then erase again."},
    /* 95 */ {"擦除开始 %1 秒后芯片仍然忙：擦除没有完成。", "擦除開始 %1 秒後芯片仍然忙：擦除沒有完成。",
              "The chip is still busy %1 s after the erase began: the erase is not complete."},
    /* 96 */ {"数据（%1 字节）大于芯片容量（%2 字节），芯片不可能与之一致。",
              "數據（%1 字節）大於芯片容量（%2 字節），芯片不可能與之一致。",
              "The data (%1 bytes) are larger than the chip (%2 bytes): the chip cannot hold them all."},
    /* 97 */ {"所选芯片没有熔丝字节，未发送任何数据。", "所選芯片沒有熔絲字節，未發送任何數據。",
              "The chosen chip has no fuse bytes; nothing was sent."},
    /* 98 */ {"解除保护向芯片的状态寄存器写入0，清除其中所有的位：块保护位（BP0-BP3，以及芯片具有的TB、SEC、CMP）、"
              "状态寄存器保护位（SRP），以及芯片放在此寄存器中的四线使能位（QE）。从此芯片以四线模式启动的电路板之后需要重新设置QE。",
              "解除保護向芯片的狀態寄存器寫入0，清除其中所有的位：塊保護位（BP0-BP3，以及芯片具有的TB、SEC、CMP）、"
              "狀態寄存器保護位（SRP），以及芯片放在此寄存器中的四線使能位（QE）。從此芯片以四線模式啟動的電路板之後需要重新設置QE。",
              "Unprotect writes 0 to the chip's status register, which clears every bit of it: the block protection "
              "(BP0-BP3, and TB, SEC, CMP where the chip has them), the register's own protection (SRP) and the Quad "
              "Enable bit (QE) where the chip keeps it there. A board that boots from this chip in quad mode needs QE "
              "set again afterwards."},
    /* 99 */ {"解除保护向芯片的状态寄存器写入0：清除块保护位BP0-BP3及其锁定位（BPL）。",
              "解除保護向芯片的狀態寄存器寫入0：清除塊保護位BP0-BP3及其鎖定位（BPL）。",
              "Unprotect writes 0 to the chip's status register: it clears the block protection bits BP0-BP3 and "
              "their lock (BPL)."},
    /* 100 */ {"解除保护清除芯片的块保护寄存器（全局解锁），所有块都变为可写；状态和配置寄存器（包括四线使能IOC）保持不变。",
               "解除保護清除芯片的塊保護寄存器（全局解鎖），所有塊都變為可寫；狀態和配置寄存器（包括四線使能IOC）保持不變。",
               "Unprotect clears the chip's block-protection register (global unlock): every block becomes writable. "
               "The status and configuration registers, Quad Enable (IOC) included, stay as they are."},
    /* 101 */ {"现在解除保护吗？", "現在解除保護嗎？", "Clear the protection now?"},
    /* 102 */ {"编程器USB连接", "編程器USB連接", "Programmer on USB"},
    /* 103 */ {"hidraw节点", "hidraw節點", "hidraw node"},
    /* 104 */ {"读写权限", "讀寫權限", "Access for this user"},
    /* 105 */ {"udev规则", "udev規則", "udev rule"},
    /* 106 */ {"其他程序", "其他程序", "Other programs"},
    /* 107 */ {"芯片探测", "芯片探測", "Probe"},
    /* 108 */ {"通信时间", "通信時間", "Report exchange"},
    /* 109 */ {"模拟编程器：此项无需检查。", "模擬編程器：此項無需檢查。", "Simulated programmer: nothing to check here."},
    /* 110 */ {"已找到：%1", "已找到：%1", "Found: %1"},
    /* 111 */ {"系统中看不到USB设备（%1 不存在）：请在连接编程器的电脑上运行本程序（容器或虚拟机需要转发该USB设备）。",
               "系統中看不到USB設備（%1 不存在）：請在連接編程器的電腦上運行本程序（容器或虛擬機需要轉發該USB設備）。",
               "The system shows no USB devices (%1 is missing): run the program on the computer the programmer is "
               "plugged into (a container or a virtual machine needs the USB device passed through)."},
    /* 112 */ {"USB上没有编程器（c251:1c01）：请插上编程器；如仍找不到，请换一根数据线（只能充电的线不行）或换一个USB口。",
               "USB上沒有編程器（c251:1c01）：請插上編程器；如仍找不到，請換一根數據線（只能充電的線不行）或換一個USB口。",
               "Not on USB (no device c251:1c01): plug the programmer in; if it still does not show, try another "
               "cable (a charge-only cable shows nothing) or another port."},
    /* 113 */ {"未检查：编程器不在USB上。", "未檢查：編程器不在USB上。", "Not checked: the programmer is not on USB."},
    /* 114 */ {"编程器在USB上，但没有hidraw节点：请拔下并重新插上编程器；如仍没有，说明系统缺少hidraw驱动。",
               "編程器在USB上，但沒有hidraw節點：請拔下並重新插上編程器；如仍沒有，說明系統缺少hidraw驅動。",
               "The programmer is on USB but has no hidraw node: unplug and replug it; if there is still none, the "
               "system lacks the hidraw driver."},
    /* 115 */ {"系统列出了 %1，但 %2 不存在：udev没有创建它，请重新插拔编程器或运行 sudo udevadm trigger。",
               "系統列出了 %1，但 %2 不存在：udev沒有創建它，請重新插拔編程器或運行 sudo udevadm trigger。",
               "The kernel lists %1 but %2 does not exist: udev did not create it; unplug and replug the programmer "
               "or run sudo udevadm trigger."},
    /* 116 */ {"未检查：没有hidraw节点。", "未檢查：沒有hidraw節點。", "Not checked: there is no hidraw node."},
    /* 117 */ {"当前用户可以读写 %1。", "當前用戶可以讀寫 %1。", "This user may read and write %1."},
    /* 118 */ {"当前用户不能读写 %1（%2）：请安装udev规则 60-ktr4180.rules，然后重新插拔编程器（见README）。",
               "當前用戶不能讀寫 %1（%2）：請安裝udev規則 60-ktr4180.rules，然後重新插拔編程器（見README）。",
               "This user may not read and write %1 (%2): install the udev rule 60-ktr4180.rules, then unplug and "
               "replug the programmer (see the README)."},
    /* 119 */ {"已安装：%1", "已安裝：%1", "Installed: %1"},
    /* 120 */ {"只在 %1 中找到，udev不读取该目录：请复制到 /etc/udev/rules.d/，运行 sudo udevadm control --reload，然后重新插拔编程器。",
               "只在 %1 中找到，udev不讀取該目錄：請複製到 /etc/udev/rules.d/，運行 sudo udevadm control --reload，然後重新插拔編程器。",
               "Found only in %1, which udev does not read: copy it to /etc/udev/rules.d/, run sudo udevadm control "
               "--reload, then unplug and replug the programmer."},
    /* 121 */ {"未安装（已查找 %1）：请安装软件包，或将 60-ktr4180.rules（源代码的 packaging/ 中）复制到 /etc/udev/rules.d/，运行 sudo udevadm control --reload，然后重新插拔编程器。",
               "未安裝（已查找 %1）：請安裝軟件包，或將 60-ktr4180.rules（源代碼的 packaging/ 中）複製到 /etc/udev/rules.d/，運行 sudo udevadm control --reload，然後重新插拔編程器。",
               "Not installed (looked in %1): install the package, or copy 60-ktr4180.rules (packaging/ in the "
               "source) to /etc/udev/rules.d/, run sudo udevadm control --reload, then unplug and replug the programmer."},
    /* 122 */ {"%1 被 %2 屏蔽，后者没有提到编程器：请删除 %2，或把规则写入其中。",
               "%1 被 %2 屏蔽，後者沒有提到編程器：請刪除 %2，或把規則寫入其中。",
               "%1 is masked by %2, which does not name the programmer: remove %2, or put the rule into it."},
    /* 123 */ {"没有其他程序打开 %1。", "沒有其他程序打開 %1。", "No other program has %1 open."},
    /* 124 */ {"（其他用户的程序只有root才能看到。）", "（其他用戶的程序只有root才能看到。）",
               " (Programs of other users are seen only by root.)"},
    /* 125 */ {"%1 已被 %2 打开：请先关闭该程序。", "%1 已被 %2 打開：請先關閉該程序。",
               "%1 is open in %2: close that program first."},
    /* 126 */ {"编程器有应答；插座中的芯片：类型 %1（%2），ID %3%4", "編程器有應答；插座中的芯片：類型 %1（%2），ID %3%4",
               "The programmer answers; in the socket: class %1 (%2), identifier %3%4"},
    /* 127 */ {"编程器有应答，但没有芯片应答：请放好芯片（注意1脚方向）或检查夹子的接触；单片机不响应探测。",
               "編程器有應答，但沒有芯片應答：請放好芯片（注意1腳方向）或檢查夾子的接觸；單片機不響應探測。",
               "The programmer answers, but no chip does: seat the chip (pin 1 as the picture shows) or check the "
               "clip's contact; microcontrollers do not answer the probe."},
    /* 128 */ {"编程器未接入：编程器没有应答（见上面的检查）。", "編程器未接入：編程器沒有應答（見上面的檢查）。",
               "Not connected: the programmer does not answer (see the checks above)."},
    /* 129 */ {"每次 %1 ms（%2 次的中位数，%3 至 %4 ms）", "每次 %1 ms（%2 次的中位數，%3 至 %4 ms）",
               "%1 ms per exchange (median of %2, %3 to %4 ms)"},
    /* 130 */ {"每次 %1 ms（%2 次的中位数），太慢：请把编程器直接接到电脑上，不要经过集线器或虚拟机的USB转发。",
               "每次 %1 ms（%2 次的中位數），太慢：請把編程器直接接到電腦上，不要經過集線器或虛擬機的USB轉發。",
               "%1 ms per exchange (median of %2) is slow: plug the programmer into the computer directly, not "
               "through a hub or a virtual machine's USB."},
    /* 131 */ {"第 %1 次通信失败（共 %2 次）：连接不可靠，请换一根数据线或换一个USB口。",
               "第 %1 次通信失敗（共 %2 次）：連接不可靠，請換一根數據線或換一個USB口。",
               "Exchange %1 of %2 failed: the link is unreliable; try another cable or port."},
    /* 132 */ {"未检查：编程器没有应答。", "未檢查：編程器沒有應答。", "Not checked: the programmer does not answer."},
    /* 133 */ {"%1：按内容读作 %2", "%1：按內容讀作 %2", "%1: read by its content as %2"},
    /* 134 */ {"（--yes 回答是，--no 回答否）", "（--yes 回答是，--no 回答否）", "(--yes answers it, --no declines)"},
    /* 135 */ {"配置导出成功！", "配置匯出成功！", "The chip list was exported."},
    /* 136 */ {"第 %1 行：名称“%2”含有逗号，而逗号分隔芯片的各个名称；未保存。",
              "第 %1 行：名稱“%2”含有逗號，而逗號分隔芯片的各個名稱；未保存。",
              "line %1: the name \"%2\" holds a comma, which separates a chip's names; nothing was saved."},
}};

} // namespace

int clampLanguage(int languageIndex)
{
    return (languageIndex >= 0 && languageIndex <= 2) ? languageIndex : 0;
}

QString messageText(Msg id, int languageIndex)
{
    const int n = static_cast<int>(id);
    if (n < 0 || n >= kMessageCount)
        return {};
    const Variants& v = kTable[static_cast<std::size_t>(n)];
    switch (clampLanguage(languageIndex)) {
    case 1: return QString::fromUtf8(v.traditional);
    case 2: return QString::fromUtf8(v.english);
    default: return QString::fromUtf8(v.simplified);
    }
}
