// Feeds arbitrary server bytes to the POP3 response reader, in two pieces split where the
// first byte says, expecting bodies where its bits say; each body is read as a UIDL listing.
// It must neither crash, hang nor read past what arrived.
#include "host/pop3/Pop3Response.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const QByteArray bytes(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    const qsizetype split = qMin<qsizetype>(data[0] * 4, bytes.size());
    unsigned pattern = data[0];
    lumora::Pop3ResponseReader reader;
    lumora::Pop3Response response;
    auto drain = [&] {
        while (reader.next((pattern & 1) != 0, &response)) {
            pattern = (pattern >> 1) | ((pattern & 1) << 7);
            for (const auto &[number, uidl] : lumora::Pop3ResponseReader::parseUidl(response.body))
                (void)lumora::Pop3ResponseReader::isValidUidl(uidl), (void)number;
        }
    };
    reader.feed(QByteArrayView(bytes).first(split));
    drain();
    reader.feed(QByteArrayView(bytes).sliced(split));
    drain();
    (void)reader.bufferedBytes();
    return 0;
}
