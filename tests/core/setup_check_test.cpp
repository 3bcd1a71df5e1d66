// The check of the set-up: what a sysfs, /dev and /proc tree shows of the
// programmer, where the udev rule is, and the probe and the timed exchanges
// through the simulated programmer, reports on the wire included.

#include "operations/SetupChecks.h"
#include "support/SimulatedRig.h"
#include "support/SystemTree.h"
#include "support/TestChipEntry.h"
#include "support/QtPrinting.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <functional>

namespace {

constexpr uint16_t kVid = 0xC251;
constexpr uint16_t kPid = 0x1C01;

const QByteArray kShippedRule = "SUBSYSTEM==\"hidraw\", SUBSYSTEMS==\"usb\", ATTRS{idVendor}==\"c251\", "
                                "ATTRS{idProduct}==\"1c01\", TAG+=\"uaccess\"\n";

void programmer(const SystemTree& t, bool node = true)
{
    t.usbBus();
    t.usbDevice("1-2", kVid, kPid, 1, 5);
    t.hidraw("hidraw3", kVid, kPid, node);
}

struct Expect {
    const char* name;
    bool ok;
    const char* detailHas;  // "{}" stands for the tree's folder
};

TEST(SetupCheck, WhatTheSystemTreeShowsOfTheProgrammer)
{
    const struct {
        const char* what;
        std::function<void(const SystemTree&)> lay;
        int accessError;  // what access(2) answers for every node; -1: ask the system
        std::vector<Expect> expect;
    } cases[] = {
        {"present, rule installed, free",
         [](const SystemTree& t) {
             programmer(t);
             t.rule("usr", "60-ktr4180.rules", kShippedRule);
         },
         0,
         {{"usb", true, "Found: 1-2 (Bus 001 Device 005)"},
          {"hidraw", true, "Found: {}/dev/hidraw3"},
          {"access", true, "This user may read and write {}/dev/hidraw3."},
          {"udev-rule", true, "Installed: {}/usr/lib/udev/rules.d/60-ktr4180.rules"},
          {"in-use", true, "No other program has {}/dev/hidraw3 open."}}},
        {"absent among other HID devices",
         [](const SystemTree& t) {
             t.usbBus();
             t.usbDevice("usb1", 0x1d6b, 0x0002, 1, 1);
             t.usbDevice("1-1", 0x046d, 0xc52b, 1, 2);
             t.hidraw("hidraw0", 0x046d, 0xc52b);
             t.hidraw("hidraw1", 0x04d9, 0x1603);
             t.rule("usr", "70-uaccess.rules", "SUBSYSTEM==\"hidraw\", TAG+=\"uaccess\"\n");
         },
         0,
         {{"usb", false, "Not on USB (no device c251:1c01): plug the programmer in"},
          {"hidraw", false, "Not checked: the programmer is not on USB."},
          {"access", false, "Not checked: there is no hidraw node."},
          {"udev-rule", false, "Not installed (looked in {}/etc/udev/rules.d, {}/usr/lib/udev/rules.d, {}/prefix"},
          {"in-use", false, "Not checked: there is no hidraw node."}}},
        {"no USB in the system at all", [](const SystemTree&) {}, 0,
         {{"usb", false, "The system shows no USB devices ({}/sys/bus/usb is missing)"},
          {"hidraw", false, "Not checked: the programmer is not on USB."}}},
        {"node the user may not open", [](const SystemTree& t) { programmer(t); }, EACCES,
         {{"access", false,
           "This user may not read and write {}/dev/hidraw3 (Permission denied): install the udev rule "
           "60-ktr4180.rules, then unplug and replug"},
          {"in-use", true, "No other program"}}},
        {"kernel lists the node, udev made none", [](const SystemTree& t) { programmer(t, false); }, 0,
         {{"usb", true, "Found"},
          {"hidraw", false, "The kernel lists hidraw3 but {}/dev/hidraw3 does not exist"},
          {"access", false, "Not checked: there is no hidraw node."}}},
        {"on USB without a hidraw driver",
         [](const SystemTree& t) {
             t.usbBus();
             t.usbDevice("2-1", kVid, kPid, 2, 9);
         },
         0, {{"hidraw", false, "The programmer is on USB but has no hidraw node"}}},
        {"another program holds it",
         [](const SystemTree& t) {
             programmer(t);
             t.holder(4242, "flashtool", "hidraw3");
             t.holder(77, "editor", "hidraw0");
         },
         0, {{"in-use", false, "{}/dev/hidraw3 is open in flashtool (pid 4242): close that program first."}}},
        {"rule only under the install prefix",
         [](const SystemTree& t) {
             programmer(t);
             t.rule("prefix", "60-ktr4180.rules", kShippedRule);
         },
         0, {{"udev-rule", false, "Found only in {}/prefix/lib/udev/rules.d, which udev does not read"}}},
        {"rule masked by an emptied file of its name",
         [](const SystemTree& t) {
             programmer(t);
             t.rule("usr", "60-ktr4180.rules", kShippedRule);
             t.rule("etc", "60-ktr4180.rules", "# switched off\n");
         },
         0,
         {{"udev-rule", false,
           "{}/usr/lib/udev/rules.d/60-ktr4180.rules is masked by {}/etc/udev/rules.d/60-ktr4180.rules"}}},
        {"two programmers, an own rule in capitals, ids only in a comment elsewhere",
         [](const SystemTree& t) {
             t.usbBus();
             t.usbDevice("3-1", kVid, kPid, 3, 2);
             t.usbDevice("1-2", kVid, kPid, 1, 5);
             t.hidraw("hidraw10", kVid, kPid);
             t.hidraw("hidraw2", kVid, kPid);
             t.rule("etc", "99-mine.rules", "ATTRS{idVendor}==\"C251\", ATTRS{idProduct}==\"1C01\", MODE=\"0666\"\n");
             t.rule("usr", "50-other.rules", "# c251:1c01 was here\n");
         },
         0,
         {{"usb", true, "Found: 1-2 (Bus 001 Device 005), 3-1 (Bus 003 Device 002)"},
          {"hidraw", true, "Found: {}/dev/hidraw2, {}/dev/hidraw10"},
          {"udev-rule", true, "Installed: {}/etc/udev/rules.d/99-mine.rules"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SystemTree tree;
        c.lay(tree);
        UsbSetupPaths paths = tree.paths();
        const int error = c.accessError;
        paths.accessError = [error](const QString&) { return error; };
        const std::vector<SetupCheck> checks = usbSetupChecks(scanUsbSetup(paths, kVid, kPid), paths, 2);
        ASSERT_EQ(checks.size(), 5u);
        const char* order[] = {"usb", "hidraw", "access", "udev-rule", "in-use"};
        for (std::size_t i = 0; i < checks.size(); ++i)
            EXPECT_STREQ(checks[i].name, order[i]);
        for (const Expect& e : c.expect) {
            SCOPED_TRACE(e.name);
            const auto it = std::find_if(checks.begin(), checks.end(),
                                         [&e](const SetupCheck& s) { return qstrcmp(s.name, e.name) == 0; });
            ASSERT_NE(it, checks.end());
            EXPECT_EQ(it->ok, e.ok) << it->detail.toStdString();
            const QString want = QString::fromUtf8(e.detailHas).replace("{}", tree.dir.path());
            EXPECT_TRUE(it->detail.contains(want)) << it->detail.toStdString();
            EXPECT_FALSE(it->simulated);
        }
    }
}

TEST(SetupCheck, AccessAsTheSystemAnswersAndTheRunningSystemsFolders)
{
    // Without a stand-in, access(2) decides: a node the user created is his.
    SystemTree tree;
    programmer(tree);
    const UsbSetup facts = scanUsbSetup(tree.paths(), kVid, kPid);
    ASSERT_EQ(facts.nodes.size(), 1u);
    EXPECT_EQ(facts.nodes[0].accessError, 0);

    const UsbSetupPaths system = UsbSetupPaths::system("/usr/local");
    EXPECT_EQ(system.sysfs, "/sys");
    EXPECT_EQ(system.udevRuleDirs.first(), "/etc/udev/rules.d");
    EXPECT_TRUE(system.udevRuleDirs.contains("/usr/lib/udev/rules.d"));
    EXPECT_EQ(system.otherRuleDirs, QStringList{"/usr/local/lib/udev/rules.d"});
    EXPECT_TRUE(UsbSetupPaths::system({}).otherRuleDirs.isEmpty());
}

TEST(SetupCheck, MedianOfTheExchangeTimes)
{
    const struct {
        std::vector<qint64> times;
        qint64 median, fastest, slowest;
    } cases[] = {
        {{}, 0, 0, 0},
        {{7}, 7, 7, 7},
        {{3, 1, 2}, 2, 1, 3},
        {{4, 1, 3, 2}, 2, 1, 4},  // the mean of the two middle ones, 2.5, in whole nanoseconds
        {{10, 10, 90, 10, 11}, 10, 10, 90},
    };
    for (const auto& c : cases) {
        ExchangeTimes t;
        t.nanoseconds = c.times;
        EXPECT_EQ(t.median(), c.median);
        EXPECT_EQ(t.fastest(), c.fastest);
        EXPECT_EQ(t.slowest(), c.slowest);
    }
}

// Everything through the simulated programmer: the system checks say so,
// the probe and the timed exchanges go over the wire.
TEST(SetupCheck, ProbeAndExchangesThroughTheSimulatedProgrammer)
{
    using Fault = SimulatedProgrammer::Fault;
    const ChipEntry flash = makeChip({.key = "SPI_FLASH,WINBOND,W25Q64JV", .id = 0xEF4017, .flash = 8u << 20,
                                      .page = 256, .chipClass = 0});
    const struct {
        const char* what;
        std::function<void(SimulatedProgrammer&)> set;
        bool probeOk;
        const char* probeHas;
        bool timingOk;
        const char* timingHas;
        std::vector<int> commands;  // the command codes sent after the probe's
    } cases[] = {
        {"chip in the socket", [&flash](SimulatedProgrammer& s) { s.insertChip(flash); }, true,
         "The programmer answers; in the socket: class 0 (SPI flash), identifier EF 40 17: WINBOND W25Q64JV", true,
         " ms per exchange (median of 20, ", std::vector<int>(20, 0x0C)},
        {"empty socket", [](SimulatedProgrammer&) {}, false,
         "The programmer answers, but no chip does: seat the chip", true, "median of 20", std::vector<int>(20, 0x0C)},
        {"unplugged", [](SimulatedProgrammer& s) { s.setPlugged(false); }, false,
         "Not connected: the programmer does not answer", false, "Not checked: the programmer does not answer.", {}},
        {"reply lost in the fifth timed exchange",
         [&flash](SimulatedProgrammer& s) {
             s.insertChip(flash);
             s.addFault({Fault::Kind::Get, 6 + 10});
         },
         true, "class 0", false, "Exchange 5 of 20 failed: the link is unreliable", std::vector<int>(5, 0x0C)},
        {"slow link",
         [&flash](SimulatedProgrammer& s) {
             s.insertChip(flash);
             s.setLatency(6);  // two reports an exchange: at least 12 ms
         },
         true, "class 0", false, "ms per exchange (median of 20) is slow: plug the programmer", std::vector<int>(20, 0x0C)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SimulatedRig rig;
        ChipTable chips;
        fillTable(chips, {chipNamed("A,B,C"), flash});
        c.set(rig.sim);
        const std::vector<SetupCheck> checks = runSetupChecks(UsbSetupPaths{}, rig.programmer, chips, 2);
        ASSERT_EQ(checks.size(), 7u);
        for (std::size_t i = 0; i < 5; ++i) {
            EXPECT_TRUE(checks[i].ok && checks[i].simulated);
            EXPECT_EQ(checks[i].detail, "Simulated programmer: nothing to check here.");
        }
        EXPECT_STREQ(checks[5].name, "probe");
        EXPECT_EQ(checks[5].ok, c.probeOk);
        EXPECT_TRUE(checks[5].detail.contains(c.probeHas)) << checks[5].detail.toStdString();
        EXPECT_STREQ(checks[6].name, "exchange-time");
        EXPECT_EQ(checks[6].ok, c.timingOk);
        EXPECT_TRUE(checks[6].detail.contains(c.timingHas)) << checks[6].detail.toStdString();
        EXPECT_EQ(allSetupChecksOk(checks), c.probeOk && c.timingOk);
        // Nothing but the probe (Setup, ReadId, Finish per class) and PollStatus.
        std::vector<int> codes = rig.commandCodes();
        const std::size_t probe = std::min<std::size_t>(codes.size(), c.probeOk ? 3 : c.timingOk ? 15 : 0);
        const int perClass[] = {0x09, 0x0B, 0x0A};
        for (std::size_t i = 0; i < probe; ++i)
            EXPECT_EQ(codes[i], perClass[i % 3]);
        EXPECT_EQ(std::vector<int>(codes.begin() + qsizetype(probe), codes.end()), c.commands);
        EXPECT_FALSE(rig.device.isOpen());
    }
}

TEST(SetupCheck, LinesInEachLanguage)
{
    SimulatedRig rig;
    ChipTable chips;
    rig.sim.setPlugged(false);
    const QStringList english = setupCheckLines(runSetupChecks(UsbSetupPaths{}, rig.programmer, chips, 2));
    EXPECT_EQ(english.first(), "ok    Programmer on USB: Simulated programmer: nothing to check here.");
    EXPECT_EQ(english.at(5), "FAIL  Probe: Not connected: the programmer does not answer (see the checks above).");
    const QStringList simplified = setupCheckLines(runSetupChecks(UsbSetupPaths{}, rig.programmer, chips, 0));
    EXPECT_EQ(simplified.at(6), QStringLiteral("FAIL  通信时间: 未检查：编程器没有应答。"));
    const QStringList traditional = setupCheckLines(runSetupChecks(UsbSetupPaths{}, rig.programmer, chips, 1));
    EXPECT_EQ(traditional.at(3), QStringLiteral("ok    udev規則: 模擬編程器：此項無需檢查。"));
}

} // namespace
