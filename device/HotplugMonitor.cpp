#include "device/HotplugMonitor.h"

#include <QSocketNotifier>

#include <cstring>

#include <libudev.h>

HotplugMonitor::HotplugMonitor(QObject* parent) : QObject(parent)
{
    udev_ = udev_new();
    if (!udev_)
        return;
    monitor_ = udev_monitor_new_from_netlink(udev_, "udev");
    if (!monitor_)
        return;
    // A programmer brings a USB device and its hidraw node; the interfaces
    // in between would only repeat the news.
    if (udev_monitor_filter_add_match_subsystem_devtype(monitor_, "hidraw", nullptr) < 0
        || udev_monitor_filter_add_match_subsystem_devtype(monitor_, "usb", "usb_device") < 0
        || udev_monitor_enable_receiving(monitor_) < 0)
        return;
    const int fd = udev_monitor_get_fd(monitor_);
    if (fd < 0)
        return;
    notifier_ = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &HotplugMonitor::readEvents);
}

HotplugMonitor::~HotplugMonitor()
{
    delete notifier_;
    if (monitor_)
        udev_monitor_unref(monitor_);
    if (udev_)
        udev_unref(udev_);
}

bool HotplugMonitor::isPlugAction(const char* action)
{
    return action && (std::strcmp(action, "add") == 0 || std::strcmp(action, "remove") == 0);
}

void HotplugMonitor::readEvents()
{
    // The socket is non-blocking: read until it has nothing more, so one
    // wake-up handles a burst of events.
    while (udev_device* device = udev_monitor_receive_device(monitor_)) {
        const bool plug = isPlugAction(udev_device_get_action(device));
        udev_device_unref(device);
        if (plug)
            emit deviceChanged();
    }
}
