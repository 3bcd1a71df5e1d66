#pragma once
// What the system shows of the programmer without opening it: the USB device
// in sysfs, its hidraw nodes and whether this user may open them, the
// programs that hold a node open (as far as /proc lets this user see), and
// where a udev rule for it is installed. Every place looked at is a path, so
// that a tree laid out in a folder stands in for the system.

#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <vector>

struct UsbSetupPaths {
    QString sysfs = QStringLiteral("/sys");
    QString dev = QStringLiteral("/dev");
    QString proc = QStringLiteral("/proc");
    // Folders udev reads, the one that takes precedence first: a file there
    // hides a file of the same name in the folders after it.
    QStringList udevRuleDirs;
    // Folders an install may have put the rule in that udev does not read.
    QStringList otherRuleDirs;
    // 0 when this user may open the path for reading and writing, else the
    // system's error number. Empty: access(2).
    std::function<int(const QString&)> accessError;

    // The running system. installPrefix: the folder an installed program
    // lives under (bin/ beside lib/), empty for a build tree.
    static UsbSetupPaths system(const QString& installPrefix);
};

struct UsbSetup {
    struct Device {
        QString name;  // the sysfs name, the port path: "1-2"
        int bus = 0;
        int address = 0;
    };
    struct Node {
        QString name;      // "hidraw3"
        QString path;      // the node under the dev folder
        bool exists = false;
        int accessError = 0;  // 0: this user may open it
    };
    struct Holder {
        qint64 pid = 0;
        QString command;
        QString node;  // path of the node it holds
    };
    struct MaskedRule {
        QString rule;  // names the programmer, but is hidden by
        QString by;    // a file of the same name in a folder udev prefers
    };

    bool usbVisible = false;  // the system shows a USB bus at all
    std::vector<Device> devices;
    std::vector<Node> nodes;
    std::vector<Holder> holders;
    int hiddenProcesses = 0;  // processes whose open files this user may not see
    QStringList rulesRead;    // rule files naming the programmer that udev reads
    QStringList rulesUnread;  // the same in folders udev does not read
    std::vector<MaskedRule> rulesMasked;
};

UsbSetup scanUsbSetup(const UsbSetupPaths& paths, uint16_t vendorId, uint16_t productId);
