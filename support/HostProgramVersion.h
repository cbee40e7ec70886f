#pragma once

#include "support/CFileVersionInfo.h"

#include <QString>

#include <memory>

namespace lumora {

// The host program's version, which both plugins read to find their settings key: the
// program folder registered under the App Paths key, its program file, its major version.
class HostProgramVersion
{
public:
    // A reader over the registered program file (over the bare file name when nothing is
    // registered, which reads no version).
    static std::unique_ptr<CFileVersionInfo> open();
    // The settings key for the host versions 9, 10 and 11; empty for any other.
    static QString settingsKey(const QString &major);
};

} // namespace lumora
