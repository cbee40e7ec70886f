// Feeds arbitrary bytes to the mbox splitter, whole and in two pieces cut where the first
// byte says (the two must agree), then parses the head of every message it found.
#include "host/mbox/MboxMessageHead.h"
#include "host/mbox/MboxSplitter.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const QByteArray bytes(reinterpret_cast<const char *>(data) + 1, qsizetype(size - 1));
    lumora::MboxSplitter whole;
    QList<qint64> starts;
    whole.feed(bytes.constData(), bytes.size(), &starts);
    const qsizetype cut = bytes.isEmpty() ? 0 : qsizetype(data[0]) % (bytes.size() + 1);
    lumora::MboxSplitter pieces;
    QList<qint64> again;
    pieces.feed(bytes.constData(), cut, &again);
    pieces.feed(bytes.constData() + cut, bytes.size() - cut, &again);
    if (starts != again || whole.position() != bytes.size())
        std::abort();
    for (qsizetype i = 0; i < starts.size(); ++i) {
        if (starts.at(i) < 0 || starts.at(i) >= bytes.size() || !bytes.mid(starts.at(i)).startsWith("From "))
            std::abort();
        const qint64 end = i + 1 < starts.size() ? starts.at(i + 1) : bytes.size();
        const lumora::MboxMessageHead head =
            lumora::MboxMessageHead::parse(bytes.mid(starts.at(i), end - starts.at(i)));
        (void)head.received.isValid();
    }
    return 0;
}
