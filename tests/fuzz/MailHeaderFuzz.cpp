// Feeds arbitrary bytes to the message header reader: it must neither crash nor hang.
#include "host/common/MailHeaderReader.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const lumora::MailHeaders headers = lumora::MailHeaderReader::parse(bytes);
    (void)headers.subject.size();
    (void)lumora::MailHeaderReader::importanceFrom(bytes, bytes, bytes);
    return 0;
}
