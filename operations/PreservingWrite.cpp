// The write that keeps what the file does not cover: the chip is read and
// saved first, the file laid over what was read, and the whole image goes
// back through the ordinary erase, write and verify.

#include "operations/ChipOperations.h"

#include "app/FileWrite.h"
#include "app/UserInterface.h"
#include "buffers/Buffers.h"
#include "buffers/Merge.h"
#include "chipdb/ChipEntry.h"
#include "chipdb/ChipSelection.h"
#include "operations/EraseProcedure.h"

#include <QBuffer>
#include <QFile>

#include <algorithm>
#include <optional>

#include <unistd.h>

namespace {

QString hexAddress(qint64 address)
{
    return QString::asprintf("%llXh", static_cast<unsigned long long>(address));
}

// The request's data read as Open reads a file, from memory, so that the
// data checked before the job are the data written.
AreaLoader loaderOf(const PreserveRequest& request, UserInterface& ui)
{
    return [&request, &ui](ErasedArea& area) {
        QByteArray bytes = request.data;
        QBuffer in(&bytes);
        in.open(QIODevice::ReadOnly);
        return LoadStreamIntoBuffer(in, area, ui, request.format, request.name);
    };
}

// The one copy of the chip's contents while it is erased: on the disk, not
// only in the system's cache, before the erase goes out.
bool saveBackup(const QString& path, const uint8_t* bytes, qint64 count, QString* reason)
{
    const auto write = [&](QIODevice& out) {
        if (!writeAll(out, reinterpret_cast<const char*>(bytes), count))
            return false;
        auto* file = qobject_cast<QFileDevice*>(&out);
        return !file || (file->flush() && ::fsync(file->handle()) == 0);
    };
    return writeFileSafely(path, write, reason) == FileWrite::Written;
}

// The bytes the data store, from `address` on: the first, the last and how
// many. Laid once over 0xFF and once over 0x00, a byte the data hold reads
// the same in both; a gap between HEX records reads both ways.
struct Coverage {
    qint64 first = 0;
    qint64 last = -1;
    qint64 bytes = 0;
};

// nullopt: no data, or data past the buffer (the loader's own message shown).
std::optional<Coverage> coverageOf(const AreaLoader& load, qint64 address, qint64* end)
{
    ErasedArea overFF(Buffers::kFlashCapacity);
    const qint64 n = overlayData(overFF, address, load);
    *end = n < 0 ? -1 : address + n;
    if (n <= 0)
        return std::nullopt;
    ErasedArea over00(Buffers::kFlashCapacity);
    std::fill_n(over00.span(address, n), n, uint8_t(0x00));
    overlayData(over00, address, load);
    const uint8_t* a = overFF.bytes(address, n);
    const uint8_t* b = over00.bytes(address, n);
    Coverage c;
    for (qint64 i = 0; i < n; ++i) {
        if (a[i] != b[i])
            continue;
        if (c.bytes++ == 0)
            c.first = address + i;
        c.last = address + i;
    }
    if (c.bytes == 0)
        return std::nullopt;
    return c;
}

} // namespace

void ChipOperations::writePreserving(const PreserveRequest& request)
{
    outcome_ = Outcome::Refused;
    UserInterface& ui = ui_;
    const qint64 size = selection_.currentChip().flashBytes();
    // Where the data land is settled before the chip is touched.
    const AreaLoader load = loaderOf(request, ui);
    const bool placeable = request.address >= 0 && request.address < Buffers::kFlashCapacity;
    qint64 end = -1;
    const std::optional<Coverage> covered = placeable ? coverageOf(load, request.address, &end) : std::nullopt;
    if (placeable && end >= 0 && !covered) {
        ui.showError(ui.message(Msg::PreserveNoData));
        return;
    }
    if (!covered || end > size) {
        const QString from = hexAddress(covered ? covered->first : request.address);
        const QString to = end > 0 ? hexAddress(end - 1) : QStringLiteral("...");
        ui.showError(ui.message(Msg::PreservePastChip).arg(from, to).arg(size));
        return;
    }
    if (!start(true))
        return;
    outcome_ = runJob([&] { return preserveBody(request, covered->first, covered->last); }, std::nullopt);
    if (outcome_ == Outcome::Done && !request.keepBackup && QFile::remove(request.backupPath))
        ui.log(ui.message(Msg::PreserveBackupRemoved).arg(request.backupPath));
}

Outcome ChipOperations::preserveBody(const PreserveRequest& request, qint64 first, qint64 last)
{
    UserInterface& ui = ui_;
    const ChipEntry& chip = selection_.currentChip();
    Buffers& buffers = buffers_;
    const qint64 size = chip.flashBytes();
    // Every failure says what the chip holds now, and once it was erased,
    // where its earlier contents are.
    const auto failed = [&](Outcome why, const QString& chipNow, bool changed) {
        ui.showError(changed ? chipNow + QLatin1Char('\n') + ui.message(Msg::PreserveRestoreFrom).arg(request.backupPath)
                             : chipNow);
        return why;
    };

    if (const Outcome read = loops_.read(chip, MemoryPage::Flash, buffers); read != Outcome::Done)
        return failed(read, ui.message(Msg::PreserveChipAsItWas), false);
    ui.log(ui.message(Msg::ReadComplete));
    QString reason;
    if (!saveBackup(request.backupPath, buffers.flashArea().bytes(0, size), size, &reason)) {
        ui.showError(ui.message(Msg::PreserveBackupFailed).arg(request.backupPath, reason));
        return Outcome::Failed;
    }
    ui.log(ui.message(Msg::PreserveSaved).arg(request.backupPath));

    overlayData(buffers.flashArea(), request.address, loaderOf(request, ui));
    buffers.setFlashLength(int32_t(size));
    buffers.reloadFlashView(chip);
    ui.log(ui.message(Msg::PreserveCovers).arg(hexAddress(first), hexAddress(last)));

    if (const Outcome erased = eraseChipMemory(programmer_, ui, chip); erased != Outcome::Done)
        return failed(erased, ui.message(Msg::PreserveAfterErase), true);
    ui.log(ui.message(Msg::EraseComplete));
    if (const Outcome written = loops_.write(chip, MemoryPage::Flash, buffers); written != Outcome::Done)
        return failed(written, ui.message(Msg::PreserveAfterWrite).arg(hexAddress(loops_.writtenUpTo())), true);
    ui.log(ui.message(Msg::WriteComplete));
    if (const Outcome verified = verifyWritten(MemoryPage::Flash); verified != Outcome::Done)
        return failed(verified,
                      ui.message(verified == Outcome::Declined ? Msg::PreserveAfterVerify : Msg::PreserveNotVerified),
                      true);
    ui.log(ui.message(Msg::VerifyComplete));
    return Outcome::Done;
}
