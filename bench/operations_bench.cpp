// Host-side cost of the chip operations, and of the compare with its report,
// on a 16 MiB chip with 256-byte pages (65,536 data reports each), through the
// simulated programmer with no delay and a user interface that shows nothing,
// as on a terminal without a bar.

#include "app/ProgramState.h"
#include "device/SimulatedProgrammer.h"
#include "operations/ChipOperations.h"
#include "support/RecordingUi.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <vector>

namespace {

constexpr uint32_t kChipBytes = 16u * 1024 * 1024;

struct Bench {
    SimulatedProgrammer sim;
    RecordingUi ui;  // records a few events per run; progress and pumps only count
    ProgramState state{sim, ui};
    ChipOperations ops = state.chipOperations();

    Bench()
    {
        ChipEntry chip{};
        chip.setKeyText("SPI_FLASH,BENCH,16M");
        chip.setChipId(0xEF4018);
        chip.setFlashBytes(kChipBytes);
        chip.setFlashPage(256);
        chip.chipClass = kClass93Eeprom;  // written bytes replace, as on an EEPROM
        state.chips()[0] = chip;
        state.setCurrentChipIndex(0);
        sim.insertChip(chip);
        uint8_t* flash = state.buffers().flash();
        for (uint32_t i = 0; i < kChipBytes; ++i)
            flash[i] = uint8_t(i * 31 + (i >> 11));
        state.buffers().setFlashLength(int32_t(kChipBytes));
        std::memcpy(sim.flash().data(), flash, kChipBytes);
    }
};

Bench& bench()
{
    static const auto instance = std::make_unique<Bench>();
    return *instance;
}

void report(benchmark::State& s, Bench& b)
{
    if (b.ops.lastOutcome() != Outcome::Done || !b.ui.errors().isEmpty())
        s.SkipWithError("the operation did not complete");
    s.SetBytesProcessed(int64_t(s.iterations()) * kChipBytes);
}

void BM_Read16MiB(benchmark::State& s)
{
    Bench& b = bench();
    for (auto _ : s)
        b.ops.readChip(MemoryPage::Flash);
    report(s, b);
}

void BM_Write16MiB(benchmark::State& s)
{
    Bench& b = bench();
    for (auto _ : s)
        b.ops.writeChip(MemoryPage::Flash);
    report(s, b);
}

// The terminal's write: the data, then the written range read back and compared.
void BM_WriteVerified16MiB(benchmark::State& s)
{
    Bench& b = bench();
    for (auto _ : s)
        b.ops.writeChip(MemoryPage::Flash, {.verifyAfter = true});
    report(s, b);
}

void BM_Verify16MiB(benchmark::State& s)
{
    Bench& b = bench();
    for (auto _ : s)
        b.ops.verifyChip(MemoryPage::Flash);
    report(s, b);
}

// The compare reads as much as the verify and builds the report of ranges:
// with a few wrong bytes (range(0) = 0), or with every byte wrong (1), the
// worst case of the per-byte work.
void BM_Compare16MiB(benchmark::State& s)
{
    Bench& b = bench();
    std::vector<uint8_t>& chip = b.sim.flash();
    const bool everyByte = s.range(0) != 0;
    const std::vector<uint8_t> kept = chip;
    if (everyByte) {
        for (uint8_t& byte : chip)
            byte = uint8_t(~byte);
    } else {
        for (const uint32_t at : {0x100u, 0x101u, 0x7FFFFFu, 0xFFFFF0u})
            chip[at] = uint8_t(~chip[at]);
    }
    for (auto _ : s)
        b.ops.compareChip(MemoryPage::Flash);
    const CompareReport* r = b.ops.lastCompare();
    if (!r || r->differingBytes() != (everyByte ? qint64(kChipBytes) : 4) || !b.ui.errors().isEmpty())
        s.SkipWithError("the compare did not report what differs");
    s.SetBytesProcessed(int64_t(s.iterations()) * kChipBytes);
    chip = kept;
}

} // namespace

BENCHMARK(BM_Read16MiB)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Write16MiB)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteVerified16MiB)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Verify16MiB)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Compare16MiB)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
