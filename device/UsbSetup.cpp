#include "device/UsbSetup.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <memory>
#include <unistd.h>

namespace {

QByteArray readSmall(const QString& path, qint64 limit = 64 * 1024)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.read(limit) : QByteArray();
}

QString readLine(const QString& path)
{
    return QString::fromUtf8(readSmall(path, 4096)).trimmed();
}

// The value of KEY=VALUE in a uevent file.
QString ueventValue(const QString& path, const QByteArray& key)
{
    for (const QByteArray& line : readSmall(path).split('\n'))
        if (line.startsWith(key + '='))
            return QString::fromUtf8(line.mid(key.size() + 1)).trimmed();
    return {};
}

// Names by the number they end in, so that hidraw10 comes after hidraw2.
bool naturalLess(const QString& a, const QString& b)
{
    const auto split = [](const QString& s) {
        qsizetype i = s.size();
        while (i > 0 && s[i - 1].isDigit())
            --i;
        return std::make_pair(s.left(i), s.mid(i).toLongLong());
    };
    return split(a) < split(b);
}

QStringList subfolders(const QString& path)
{
    QStringList names = QDir(path).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    std::sort(names.begin(), names.end(), naturalLess);
    return names;
}

void findDevices(const UsbSetupPaths& paths, uint16_t vendorId, uint16_t productId, UsbSetup& out)
{
    const QString root = paths.sysfs + QStringLiteral("/bus/usb/devices");
    out.usbVisible = QFileInfo(root).isDir();
    for (const QString& name : subfolders(root)) {
        const QString dir = root + QLatin1Char('/') + name;
        bool vendorOk = false;
        bool productOk = false;
        const uint vendor = readLine(dir + QStringLiteral("/idVendor")).toUInt(&vendorOk, 16);
        const uint product = readLine(dir + QStringLiteral("/idProduct")).toUInt(&productOk, 16);
        if (vendorOk && productOk && vendor == vendorId && product == productId)
            out.devices.push_back({name, readLine(dir + QStringLiteral("/busnum")).toInt(),
                                   readLine(dir + QStringLiteral("/devnum")).toInt()});
    }
}

// HID_ID=BBBB:VVVVVVVV:PPPPPPPP, bus 3 being USB.
bool hidIdMatches(const QString& hidId, uint16_t vendorId, uint16_t productId)
{
    const QStringList parts = hidId.split(QLatin1Char(':'));
    if (parts.size() != 3)
        return false;
    bool ok[3] = {};
    const uint bus = parts[0].toUInt(&ok[0], 16);
    const uint vendor = parts[1].toUInt(&ok[1], 16);
    const uint product = parts[2].toUInt(&ok[2], 16);
    return ok[0] && ok[1] && ok[2] && bus == 3 && vendor == vendorId && product == productId;
}

int accessErrorOf(const UsbSetupPaths& paths, const QString& node)
{
    if (paths.accessError)
        return paths.accessError(node);
    return ::access(QFile::encodeName(node).constData(), R_OK | W_OK) == 0 ? 0 : errno;
}

void findNodes(const UsbSetupPaths& paths, uint16_t vendorId, uint16_t productId, UsbSetup& out)
{
    const QString root = paths.sysfs + QStringLiteral("/class/hidraw");
    for (const QString& name : subfolders(root)) {
        const QString dir = root + QLatin1Char('/') + name;
        if (!hidIdMatches(ueventValue(dir + QStringLiteral("/device/uevent"), "HID_ID"), vendorId, productId))
            continue;
        UsbSetup::Node node;
        const QString devName = ueventValue(dir + QStringLiteral("/uevent"), "DEVNAME");
        node.name = devName.isEmpty() ? name : devName;
        node.path = paths.dev + QLatin1Char('/') + node.name;
        node.exists = QFileInfo::exists(node.path);
        node.accessError = node.exists ? accessErrorOf(paths, node.path) : ENOENT;
        out.nodes.push_back(node);
    }
}

struct DirCloser {
    void operator()(DIR* d) const { closedir(d); }
};
using DirHandle = std::unique_ptr<DIR, DirCloser>;

QString linkTarget(const QByteArray& path)
{
    char buffer[4096];
    const ssize_t n = ::readlink(path.constData(), buffer, sizeof buffer);
    return n > 0 ? QFile::decodeName(QByteArray(buffer, int(n))) : QString();
}

void findHolders(const UsbSetupPaths& paths, UsbSetup& out)
{
    QSet<QString> nodes;
    for (const UsbSetup::Node& n : out.nodes)
        if (n.exists)
            nodes.insert(n.path);
    if (nodes.isEmpty())
        return;
    const QByteArray procRoot = QFile::encodeName(paths.proc);
    const DirHandle proc(opendir(procRoot.constData()));
    if (!proc)
        return;
    const qint64 self = qint64(getpid());
    while (const dirent* entry = readdir(proc.get())) {
        const QByteArray pidText(entry->d_name);
        bool numeric = false;
        const qint64 pid = pidText.toLongLong(&numeric);
        if (!numeric || pid == self)
            continue;
        const QByteArray fdRoot = procRoot + '/' + pidText + "/fd";
        const DirHandle fds(opendir(fdRoot.constData()));
        if (!fds) {
            // A process that ended meanwhile is no hidden one.
            if (errno == EACCES || errno == EPERM)
                ++out.hiddenProcesses;
            continue;
        }
        QSet<QString> held;
        while (const dirent* fd = readdir(fds.get())) {
            if (fd->d_name[0] == '.')
                continue;
            const QString target = linkTarget(fdRoot + '/' + fd->d_name);
            if (nodes.contains(target) && !held.contains(target)) {
                held.insert(target);
                out.holders.push_back({pid, readLine(QFile::decodeName(procRoot + '/' + pidText + "/comm")), target});
            }
        }
    }
    std::sort(out.holders.begin(), out.holders.end(),
              [](const UsbSetup::Holder& a, const UsbSetup::Holder& b) { return a.pid < b.pid; });
}

// Whether a rule file names the programmer outside its comments.
bool namesProgrammer(const QString& path, uint16_t vendorId, uint16_t productId)
{
    const QByteArray vendor = QByteArray::number(vendorId, 16).rightJustified(4, '0');
    const QByteArray product = QByteArray::number(productId, 16).rightJustified(4, '0');
    bool vendorSeen = false;
    bool productSeen = false;
    for (const QByteArray& raw : readSmall(path).split('\n')) {
        const QByteArray line = raw.trimmed().toLower();
        if (line.startsWith('#'))
            continue;
        vendorSeen = vendorSeen || line.contains(vendor);
        productSeen = productSeen || line.contains(product);
    }
    return vendorSeen && productSeen;
}

QStringList ruleFiles(const QString& dir)
{
    QStringList names = QDir(dir).entryList({QStringLiteral("*.rules")}, QDir::Files);
    names.sort();
    return names;
}

void findRules(const UsbSetupPaths& paths, uint16_t vendorId, uint16_t productId, UsbSetup& out)
{
    // One folder reached by two names (/lib and /usr/lib on a merged system)
    // is looked at once, under the first.
    QSet<QString> seenDirs;
    const auto firstTime = [&seenDirs](const QString& dir) {
        const QString key = QFileInfo(dir).canonicalFilePath();
        if (key.isEmpty() || seenDirs.contains(key))
            return false;
        seenDirs.insert(key);
        return true;
    };
    QHash<QString, QString> effective;  // file name -> the file udev takes
    for (const QString& dir : paths.udevRuleDirs) {
        if (!firstTime(dir))
            continue;
        for (const QString& name : ruleFiles(dir)) {
            const QString path = dir + QLatin1Char('/') + name;
            const bool names = namesProgrammer(path, vendorId, productId);
            if (!effective.contains(name)) {
                effective.insert(name, path);
                if (names)
                    out.rulesRead << path;
            } else if (names && !namesProgrammer(effective.value(name), vendorId, productId)) {
                out.rulesMasked.push_back({path, effective.value(name)});
            }
        }
    }
    for (const QString& dir : paths.otherRuleDirs) {
        if (!firstTime(dir))
            continue;
        for (const QString& name : ruleFiles(dir))
            if (namesProgrammer(dir + QLatin1Char('/') + name, vendorId, productId))
                out.rulesUnread << dir + QLatin1Char('/') + name;
    }
}

} // namespace

UsbSetupPaths UsbSetupPaths::system(const QString& installPrefix)
{
    UsbSetupPaths p;
    p.udevRuleDirs = {QStringLiteral("/etc/udev/rules.d"), QStringLiteral("/run/udev/rules.d"),
                      QStringLiteral("/usr/lib/udev/rules.d"), QStringLiteral("/lib/udev/rules.d")};
    if (!installPrefix.isEmpty())
        p.otherRuleDirs << QDir::cleanPath(installPrefix + QStringLiteral("/lib/udev/rules.d"));
    return p;
}

UsbSetup scanUsbSetup(const UsbSetupPaths& paths, uint16_t vendorId, uint16_t productId)
{
    UsbSetup out;
    findDevices(paths, vendorId, productId, out);
    findNodes(paths, vendorId, productId, out);
    findHolders(paths, out);
    findRules(paths, vendorId, productId, out);
    return out;
}
