#pragma once

#include "platform/core/PlatformExport.h"

#include <QString>

namespace lumora {

// English display names for Windows language ids (LANGID: primary language in the low
// ten bits, sub-language above), as a version resource's translation carries them.
class LUMORA_PLATFORM_EXPORT LanguageNames
{
public:
    // "German (Germany)" for 0x0407; the bare language for an unlisted sub-language of a
    // known primary language; empty for an unknown language.
    static QString name(quint32 langId);
};

} // namespace lumora
