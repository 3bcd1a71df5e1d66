// Load, repaint and find times of the hex view over a full 64 MiB Flash image.
// Runs on the offscreen platform unless QT_QPA_PLATFORM says otherwise.

#include "hexview/HexView.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QKeyEvent>

#include <memory>
#include <vector>

namespace {

constexpr qint64 kFlashBytes = qint64(64) << 20;

const std::vector<uint8_t>& flashImage()
{
    static const std::vector<uint8_t> bytes = [] {
        std::vector<uint8_t> b(static_cast<size_t>(kFlashBytes));
        for (size_t i = 0; i < b.size(); ++i)
            b[i] = static_cast<uint8_t>(i * 7 + (i >> 11));
        return b;
    }();
    return bytes;
}

void BM_LoadIntoNewView(benchmark::State& state)
{
    const std::vector<uint8_t>& bytes = flashImage();
    for (auto _ : state) {
        state.PauseTiming();
        auto view = std::make_unique<HexView>();
        state.ResumeTiming();
        view->loadBytes(bytes.data(), kFlashBytes);
        benchmark::ClobberMemory();
        state.PauseTiming();
        view.reset();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * kFlashBytes);
}
BENCHMARK(BM_LoadIntoNewView)->Unit(benchmark::kMillisecond);

void BM_Reload(benchmark::State& state)
{
    const std::vector<uint8_t>& bytes = flashImage();
    HexView view;
    view.loadBytes(bytes.data(), kFlashBytes);
    for (auto _ : state) {
        view.loadBytes(bytes.data(), kFlashBytes);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * kFlashBytes);
}
BENCHMARK(BM_Reload)->Unit(benchmark::kMillisecond);

// A 1000x600 view at the top (0), middle (1) or end (2) of the image; with
// edited = 1 every row in sight holds an edited byte (the slower coloured path).
void BM_Render(benchmark::State& state)
{
    const std::vector<uint8_t>& bytes = flashImage();
    HexView view;
    view.setRulerVisible(true);
    view.resize(1000, 600);
    view.show();
    view.loadBytes(bytes.data(), kFlashBytes);
    const qint64 address = state.range(0) == 0 ? 0 : state.range(0) == 1 ? kFlashBytes / 2 : kFlashBytes - 1;
    if (state.range(1) != 0) {
        for (qint64 row = 0; row < 64; ++row) {
            view.goToAddress(std::min(address + row * 16, kFlashBytes - 1));
            QKeyEvent key(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
            QApplication::sendEvent(&view, &key);
        }
    }
    view.goToAddress(address);
    QApplication::processEvents();

    QImage image(view.size(), QImage::Format_ARGB32_Premultiplied);
    const qint64 rowsBefore = view.formattedRowCount();
    for (auto _ : state) {
        view.render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["rows_per_paint"] =
        double(view.formattedRowCount() - rowsBefore) / double(std::max<benchmark::IterationCount>(state.iterations(), 1));
}
BENCHMARK(BM_Render)
    ->ArgNames({"at", "edited"})
    ->Args({0, 0})
    ->Args({1, 0})
    ->Args({2, 0})
    ->Args({1, 1})
    ->Unit(benchmark::kMillisecond);

// Find over the whole 64 MiB image for a pattern that is not in it (the worst
// case: every byte looked at), forward (0) and backward (1), 4- or 16-byte.
void BM_FindAbsent(benchmark::State& state)
{
    const std::vector<uint8_t>& bytes = flashImage();
    HexView view;
    view.loadBytes(bytes.data(), kFlashBytes);
    const bool forward = state.range(0) == 0;
    const QByteArray pattern(int(state.range(1)), '\x5A');
    for (auto _ : state) {
        view.goToAddress(forward ? 0 : kFlashBytes - 1);
        benchmark::DoNotOptimize(view.findNext(pattern, forward));
    }
    state.SetBytesProcessed(state.iterations() * kFlashBytes);
}
BENCHMARK(BM_FindAbsent)->ArgNames({"backward", "length"})->Args({0, 4})->Args({1, 4})->Args({0, 16})->Args({1, 16})
    ->Unit(benchmark::kMillisecond);

// 1000 bytes typed over a 64 MiB image, then all of them taken back and done
// again: what the history costs per keystroke.
void BM_TypeUndoRedo1000(benchmark::State& state)
{
    const std::vector<uint8_t>& bytes = flashImage();
    HexView view;
    view.loadBytes(bytes.data(), kFlashBytes);
    for (auto _ : state) {
        view.goToAddress(kFlashBytes / 2);
        for (int i = 0; i < 2000; ++i) {
            QKeyEvent key(QEvent::KeyPress, Qt::Key_5, Qt::NoModifier, QStringLiteral("5"));
            QApplication::sendEvent(&view, &key);
        }
        while (view.canUndo())
            view.undo();
        while (view.canRedo())
            view.redo();
        view.clearHistory();
    }
    state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_TypeUndoRedo1000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
