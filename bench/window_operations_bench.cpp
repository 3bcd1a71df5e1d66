// Host-side cost of reading, writing and verifying 16 MiB with 256-byte pages
// (65,536 data reports each) from the shown main window, through the
// simulated programmer with no delay: the window's own work per block
// (progress bar, event pump) on top of the transfer. Runs on the offscreen
// platform unless told otherwise.

#include "app/ProgramFiles.h"
#include "app/gui/BoxPresenter.h"
#include "app/gui/Unit1.h"
#include "buffers/Fill.h"
#include "hexview/HexView.h"
#include "device/SimulatedProgrammer.h"
#include "support/TestChipEntry.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>

namespace {

constexpr uint32_t kChipBytes = 16u * 1024 * 1024;

class CountingPresenter : public BoxPresenter {
public:
    void show(Icon, const QString&, const QString&) override { ++boxes; }
    bool ask(const QString&, const QString&) override
    {
        ++boxes;
        return false;
    }
    QString openFileName(const QStringList&) override { return {}; }
    QString saveFileName(const QStringList&, const QString&, const QString&) override { return {}; }
    int execDialog(QDialog&) override { return 0; }
    int boxes = 0;
};

struct WindowBench {
    QTemporaryDir dir;
    SimulatedProgrammer sim;
    CountingPresenter* presenter = nullptr;
    std::unique_ptr<TForm1> form;
    bool ready = false;

    WindowBench()
    {
        const ChipEntry chip = makeChip({.key = "SPI_FLASH,BENCH,16M", .id = 0xEF4018, .flash = kChipBytes, .page = 256});
        if (!writeBytes(dir.filePath(QStringLiteral("ktr4180.Dat")), entryBytes(chip) + QByteArray(sizeof chip, '\0')))
            return;
        auto boxes = std::make_unique<CountingPresenter>();
        presenter = boxes.get();
        form = std::make_unique<TForm1>(sim, ProgramFiles(dir.path()), std::move(boxes));
        form->show();
        QCoreApplication::processEvents();
        sim.insertChip(chip);
        Buffers& buffers = form->state().buffers();
        for (uint32_t i = 0; i < kChipBytes; ++i)
            buffers.flash()[i] = uint8_t(i * 31 + (i >> 11));
        buffers.setFlashLength(int32_t(kChipBytes));
        std::memcpy(sim.flash().data(), buffers.flash(), kChipBytes);
        ready = form->state().currentChip().flashBytes() == kChipBytes;
    }

    int logLines() const { return form->RichEdit1->document()->blockCount(); }
};

template <void (TForm1::*Handler)()>
void runHandler(benchmark::State& s, WindowBench& b)
{
    if (!b.ready) {
        s.SkipWithError("the window could not be set up");
        return;
    }
    const int linesBefore = b.logLines();
    for (auto _ : s)
        ((*b.form).*Handler)();
    // Every run ends with its completion line and shows no box.
    if (b.presenter->boxes != 0 || b.logLines() != linesBefore + int(s.iterations()))
        s.SkipWithError("the operation did not complete");
    s.SetBytesProcessed(int64_t(s.iterations()) * kChipBytes);
}

// A fill of the whole chip from the Buffer menu's dialog, kept for undo, then
// taken back and done again: the copies the history makes of 16 MiB.
void fillUndoRedo(benchmark::State& s, WindowBench& b)
{
    if (!b.ready) {
        s.SkipWithError("the window could not be set up");
        return;
    }
    Buffers& buffers = b.form->state().buffers();
    const FillFields fields{QStringLiteral("00"), QStringLiteral("0000"), QStringLiteral("0"),
                            QString::number(kChipBytes - 1, 16)};
    HexView* view = b.form->FlashEditor;
    for (auto _ : s) {
        FillFlash(buffers, FillKind::Byte, fields, 0, *b.form, nullptr);
        buffers.refreshFlashView(b.form->state().currentChip(), 0, kChipBytes);
        view->undo();
        view->redo();
    }
    if (!view->canUndo() || buffers.flash()[kChipBytes - 1] != 0)
        s.SkipWithError("the fill was not kept for undo");
    s.SetBytesProcessed(int64_t(s.iterations()) * kChipBytes);
}

} // namespace

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    {
        // The window goes before the application object.
        WindowBench b;
        const auto add = [&b](const char* name, void (*run)(benchmark::State&, WindowBench&)) {
            benchmark::RegisterBenchmark(name, [run, &b](benchmark::State& s) { run(s, b); })
                ->Unit(benchmark::kMillisecond)
                ->MinTime(2.0);
        };
        add("BM_WindowRead16MiB", runHandler<&TForm1::ToolReadClick>);
        add("BM_WindowWrite16MiB", runHandler<&TForm1::ToolWriteClick>);
        add("BM_WindowVerify16MiB", runHandler<&TForm1::ToolVerifyClick>);
        add("BM_WindowFillUndoRedo16MiB", fillUndoRedo);
        benchmark::Initialize(&argc, argv);
        benchmark::RunSpecifiedBenchmarks();
        benchmark::Shutdown();
    }
    return 0;
}
