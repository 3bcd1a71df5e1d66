// The XML reader on large inputs: a multi-megabyte well-formed document, one
// full of unclosed elements, and the fuse description load of the bundled file.
#include "chipdb/Xmlparser.h"
#include "fuses/FuseDescription.h"
#include "support/RecordingUi.h"

#include <benchmark/benchmark.h>

namespace {

QByteArray wellFormed(int elements)
{
    QByteArray x = "<ZFPART>\n";
    for (int i = 0; i < elements; ++i)
        x += "  <FUSE" + QByteArray::number(i) + ">\n    <NAME>byte name</NAME>\n    <TEXT0><MASK>0x0F</MASK>"
             "<VALUE>0x02</VALUE>\n      <TEXT>Some caption text\n        over two lines</TEXT></TEXT0>\n"
             "    <!-- a comment -->\n  </FUSE" + QByteArray::number(i) + ">\n";
    return x + "</ZFPART>\n";
}

void BM_ParseWellFormed(benchmark::State& state)
{
    const QByteArray text = wellFormed(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        RecordingUi ui;
        const XMLFile xml(ui, text);
        benchmark::DoNotOptimize(xml.hasPath("ZFPART\\FUSE0\\NAME"));
    }
    state.SetBytesProcessed(state.iterations() * text.size());
}
BENCHMARK(BM_ParseWellFormed)->Arg(1000)->Arg(25000)->Unit(benchmark::kMillisecond);

void BM_ParseUnclosed(benchmark::State& state)
{
    QByteArray text;
    for (int i = 0; i < state.range(0); ++i)
        text += "<a><b>1</b><c></a>";
    for (auto _ : state) {
        RecordingUi ui;
        const XMLFile xml(ui, text);
        benchmark::DoNotOptimize(xml.root().children().size());
    }
    state.SetBytesProcessed(state.iterations() * text.size());
}
BENCHMARK(BM_ParseUnclosed)->Arg(60000)->Unit(benchmark::kMillisecond);

void BM_LoadBundledDescription(benchmark::State& state)
{
    const QString path = QStringLiteral(KTR_SOURCE_DIR "/data/xml/0.xml");
    for (auto _ : state) {
        RecordingUi ui;
        benchmark::DoNotOptimize(ReadFuseDescription(path, ui));
    }
}
BENCHMARK(BM_LoadBundledDescription)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
