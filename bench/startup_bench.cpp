// Start-up of the main window, from construction to the shown window with
// its chip list loaded and the remembered chip selected, over a full chip
// list of 2000 entries. Runs on the offscreen platform unless told otherwise.

#include "app/ProgramFiles.h"
#include "app/gui/BoxPresenter.h"
#include "app/gui/Unit1.h"
#include "device/SimulatedProgrammer.h"
#include "support/TestChipEntry.h"

#include <QApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

class SilentPresenter : public BoxPresenter {
public:
    void show(Icon, const QString&, const QString&) override {}
    bool ask(const QString&, const QString&) override { return false; }
    QString openFileName(const QStringList&) override { return {}; }
    QString saveFileName(const QStringList&, const QString&, const QString&) override { return {}; }
    int execDialog(QDialog&) override { return 0; }
};

// 20 types x 10 manufacturers x 10 models; the remembered selection is the
// last model of the last manufacturer of the first type, so the lists are
// walked in full.
bool writeFullChipList(const QString& dir)
{
    QByteArray bytes;
    for (int t = 0; t < 20; ++t)
        for (int m = 0; m < 10; ++m)
            for (int n = 0; n < 10; ++n) {
                const QByteArray key = QStringLiteral("TYPE%1,MAKER%2,MODEL%1-%2-%3").arg(t).arg(m).arg(n).toLatin1();
                bytes += entryBytes(makeChip({.key = key.constData(), .id = 0x100000 + t * 100 + m * 10 + n,
                                              .flash = 1u << (12 + n), .page = 256, .chipClass = uint8_t(t % 5),
                                              .eeprom = uint16_t(t == 3 ? 512 : 0)}));
            }
    bytes += QByteArray(sizeof(ChipEntry), '\0');
    return writeBytes(dir + QStringLiteral("/ktr4180.Dat"), bytes)
           && writeBytes(dir + QStringLiteral("/ktr4180.ini"), "[CHIP]\nINDEX1=0\nINDEX2=9\nINDEX3=9\n");
}

void startUpToShownWindow(benchmark::State& state)
{
    QTemporaryDir dir;
    if (!writeFullChipList(dir.path())) {
        state.SkipWithError("cannot write the chip list");
        return;
    }
    SimulatedProgrammer sim;
    for (auto _ : state) {
        TForm1 form(sim, ProgramFiles(dir.path()), std::make_unique<SilentPresenter>());
        form.show();
        QCoreApplication::processEvents();  // first paint and the start-up connection check
        benchmark::DoNotOptimize(form.state().currentChipIndex());
        state.PauseTiming();
        if (form.state().currentChipIndex() != 99)
            state.SkipWithError("the remembered chip was not selected");
        form.close();
        state.ResumeTiming();
    }
}

BENCHMARK(startUpToShownWindow)->Unit(benchmark::kMillisecond)->Iterations(10);

} // namespace

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
