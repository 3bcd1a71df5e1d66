// Intel HEX reader on arbitrary input.
#include "ReaderCheck.h"

#include "buffers/IntelHex.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    checkReader(
        data, size,
        [](QIODevice& in, uint8_t* d, qint64 c, UserInterface& ui) { return ReadIntelHex(in, d, c, ui); },
        [](QIODevice& out, const uint8_t* s, qint64 n) { return WriteIntelHex(out, s, n); }, 2);
    return 0;
}
