#pragma once

#include "platform/core/Registry.h"

#include <QString>
#include <QVariant>

// The small registry routines both plugins use for their settings. Values of type 1
// (string) and 4 (32-bit number) only.
namespace lumora::modRegistry {

// The value's text without its trailing NUL, a qint32 for a number, or a null QVariant
// when the key or value is missing or of another type.
QVariant ReadRegistryValue(reg::HKEY root, const QString &keyPath, const QString &valueName);
// Creates the key if needed and writes the value; false when the key path is empty or the
// write failed.
bool WriteRegistryValue(reg::HKEY root, const QString &keyPath, const QString &valueName, const QVariant &value,
                        qint32 valueType);
// Why the latest write that failed did not reach the settings file (the file or folder,
// and the reason); for the message the user is shown.
QString LastWriteError();
// Reads a value of an open key into value (left null on failure); returns the status of
// the last registry call, or -1 for a value of another type.
qint32 QueryValueEx(reg::HKEY key, const QString &valueName, QVariant &value);
// Writes text (with its terminating NUL) for type 1 or a 32-bit number for type 4.
qint32 SetValueEx(reg::HKEY key, const QString &valueName, qint32 valueType, const QVariant &value);

} // namespace lumora::modRegistry
