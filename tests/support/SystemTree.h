#pragma once
// A folder laid out as Linux shows USB and HID devices (sysfs), device nodes,
// processes' open files (/proc) and udev rule folders, for the check of the
// set-up to look at instead of the running system.

#include "device/UsbSetup.h"
#include "support/FileText.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

class SystemTree {
public:
    QTemporaryDir dir;

    QString path(const QString& relative) const { return dir.filePath(relative); }

    UsbSetupPaths paths() const
    {
        UsbSetupPaths p;
        p.sysfs = path("sys");
        p.dev = path("dev");
        p.proc = path("proc");
        p.udevRuleDirs = {path("etc/udev/rules.d"), path("usr/lib/udev/rules.d")};
        p.otherRuleDirs = {path("prefix/lib/udev/rules.d")};
        return p;
    }

    // The USB bus with no device on it.
    void usbBus() const { QDir().mkpath(path("sys/bus/usb/devices")); }

    void usbDevice(const QString& name, uint16_t vendor, uint16_t product, int bus, int address) const
    {
        const QString d = path("sys/bus/usb/devices/" + name);
        QDir().mkpath(d);
        putFile(d + "/idVendor", QByteArray::number(vendor, 16).rightJustified(4, '0') + '\n');
        putFile(d + "/idProduct", QByteArray::number(product, 16).rightJustified(4, '0') + '\n');
        putFile(d + "/busnum", QByteArray::number(bus) + '\n');
        putFile(d + "/devnum", QByteArray::number(address) + '\n');
    }

    // A hidraw device of a USB HID interface; node: its /dev entry exists.
    void hidraw(const QString& name, uint16_t vendor, uint16_t product, bool node = true) const
    {
        const QString d = path("sys/class/hidraw/" + name);
        QDir().mkpath(d + "/device");
        putFile(d + "/uevent", "MAJOR=241\nMINOR=0\nDEVNAME=" + name.toUtf8() + '\n');
        putFile(d + "/device/uevent", "DRIVER=hid-generic\nHID_ID=0003:0000" +
                                          QByteArray::number(vendor, 16).toUpper().rightJustified(4, '0') + ":0000" +
                                          QByteArray::number(product, 16).toUpper().rightJustified(4, '0') +
                                          "\nHID_NAME=some device\n");
        QDir().mkpath(path("dev"));
        if (node)
            putFile(path("dev/" + name), {});
    }

    // A process with a file descriptor on the node.
    void holder(int pid, const QByteArray& command, const QString& node) const
    {
        const QString p = path("proc/" + QString::number(pid));
        QDir().mkpath(p + "/fd");
        putFile(p + "/comm", command + '\n');
        QFile::link(path("dev/" + node), p + "/fd/7");
        QFile::link(QStringLiteral("/dev/null"), p + "/fd/0");
    }

    // folder: "etc", "usr" or "prefix".
    void rule(const QString& folder, const QString& name, const QByteArray& text) const
    {
        const QString d = folder == "prefix" ? path("prefix/lib/udev/rules.d")
                          : folder == "usr"  ? path("usr/lib/udev/rules.d")
                                             : path("etc/udev/rules.d");
        QDir().mkpath(d);
        putFile(d + '/' + name, text);
    }
};
