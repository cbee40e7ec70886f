// Feeds arbitrary bytes to the readers of Maildir names: file names (unique name, flags,
// delivery time), entry ids and folder directory names. Ids that parse must name what
// they were made from.
#include "host/common/MailboxName.h"
#include "host/maildir/MaildirFolderIndex.h"
#include "host/maildir/MaildirStore.h"

#include <cstdint>
#include <cstdlib>

using lumora::MaildirFolderIndex;
using lumora::MaildirStore;

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString name = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString unique = MaildirFolderIndex::uniqueName(name);
    check(name.startsWith(unique));
    (void)MaildirFolderIndex::hasSeenFlag(name);
    check(MaildirFolderIndex::deliveryTimeNs(name) >= 0);

    QString dir;
    QString uniqueName;
    if (MaildirStore::parseItemEntryId(name, &dir, &uniqueName))
        check(MaildirStore::itemEntryId(dir, uniqueName) == name);
    if (MaildirStore::parseFolderEntryId(name, &dir))
        check(MaildirStore::folderEntryId(dir) == name);
    if (MaildirStore::isFolderDirName(name)) {
        check(MaildirStore::parseFolderEntryId(MaildirStore::folderEntryId(name), &dir));
        check(dir == name);
    }
    (void)lumora::MailboxName::decode(name);
    return 0;
}
