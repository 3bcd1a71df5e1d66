// S-record reader on arbitrary input.
#include "ReaderCheck.h"

#include "buffers/SRecord.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    checkReader(
        data, size,
        [](QIODevice& in, uint8_t* d, qint64 c, UserInterface& ui) { return ReadSRecord(in, d, c, ui); },
        [](QIODevice& out, const uint8_t* s, qint64 n) { return WriteSRecord(out, s, n); }, 1);
    return 0;
}
