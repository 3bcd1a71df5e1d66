#pragma once
// Tells when a USB device or a hidraw node comes or goes: the system's
// hot-plug notifications (udev), watched on the event loop without polling.

#include <QObject>

struct udev;
struct udev_monitor;
class QSocketNotifier;

class HotplugMonitor : public QObject {
    Q_OBJECT
public:
    explicit HotplugMonitor(QObject* parent = nullptr);
    ~HotplugMonitor() override;
    HotplugMonitor(const HotplugMonitor&) = delete;
    HotplugMonitor& operator=(const HotplugMonitor&) = delete;

    // False when the system gives no notifications (no udev, no netlink
    // socket); the program then only checks when its window is activated.
    bool isActive() const { return notifier_ != nullptr; }

    // Whether a udev action is a device arriving or leaving; "bind",
    // "change" and the like say nothing new about the programmer.
    static bool isPlugAction(const char* action);

signals:
    // One per device that arrived or left.
    void deviceChanged();

private:
    void readEvents();

    udev* udev_ = nullptr;
    udev_monitor* monitor_ = nullptr;
    QSocketNotifier* notifier_ = nullptr;
};
