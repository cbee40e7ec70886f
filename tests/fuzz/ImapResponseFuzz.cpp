// Feeds arbitrary server bytes to the IMAP response reader, in two pieces split where the
// first byte says: it must neither crash, hang nor read past what arrived.
#include "host/imap/ImapResponse.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const QByteArray bytes(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    const qsizetype split = qMin<qsizetype>(data[0], bytes.size());
    lumora::ImapResponseReader reader;
    reader.feed(bytes.left(split));
    lumora::ImapResponse response;
    while (reader.next(&response))
        (void)response.status();
    reader.feed(bytes.mid(split));
    while (reader.next(&response)) {
        (void)response.word(1);
        for (const lumora::ImapValue &v : response.values) {
            (void)v.valueOf("UID");
            (void)v.number();
        }
    }
    return 0;
}
