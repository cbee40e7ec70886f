// Feeds arbitrary bytes to the INI parser and checks that unchanged documents come back
// byte for byte and that edits read back as written.
#include "platform/core/IniDocument.h"

#include <cstdint>
#include <cstdlib>

using lumora::IniDocument;

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char *>(data), qsizetype(size));
    IniDocument doc = IniDocument::parse(input);
    check(doc.serialize() == input);

    // Each lookup walks the whole document, so reading back every key of a large input
    // costs keys x lines; a bounded sample keeps the run linear in the input's size.
    constexpr qsizetype kSample = 16;
    const QList<QByteArray> sections = doc.sectionNames();
    for (const QByteArray &section : sections.first(qMin(sections.size(), kSample))) {
        const QList<QByteArray> keys = doc.keys(section);
        for (const QByteArray &key : keys.first(qMin(keys.size(), kSample)))
            check(doc.value(section, key).has_value());
        (void)doc.sectionLines(section);
    }

    QByteArray section = sections.isEmpty() ? QByteArrayLiteral("Fuzz") : sections.first();
    if (!IniDocument::isWritableSection(section))
        section = QByteArrayLiteral("Fuzz");
    QByteArray key = doc.keys(section).value(0, QByteArrayLiteral("key"));
    if (!IniDocument::isWritableKey(key) || key.trimmed().isEmpty())
        key = QByteArrayLiteral("key");

    doc.setValue(section, key, "written");
    IniDocument reread = IniDocument::parse(doc.serialize());
    check(reread.value(section, key) == QByteArrayLiteral("written"));

    reread.replaceSection(section, {"a=1", "b = 2"});
    reread = IniDocument::parse(reread.serialize());
    check(reread.value(section, "b") == QByteArrayLiteral("2"));
    check(!reread.value(section, key) || qstricmp(key.constData(), "a") == 0 || qstricmp(key.constData(), "b") == 0);

    reread.removeKey(section, "a");
    check(!IniDocument::parse(reread.serialize()).value(section, "a"));
    reread.removeSection(section);
    check(!IniDocument::parse(reread.serialize()).hasSection(section));
    return 0;
}
