// Whatever the reader makes of the input must write back to text that reads cleanly to
// the same keys and values.
#include "platform/core/RegFile.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char *>(data), qsizetype(size));
    const lumora::RegFile::Parsed first = lumora::RegFile::parse(input);
    const lumora::RegFile::Parsed second = lumora::RegFile::parse(lumora::RegFile::serialise(first.keys));
    if (second.errorCount != 0 || second.keys != first.keys)
        std::abort();
    return 0;
}
