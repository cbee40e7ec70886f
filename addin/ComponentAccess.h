#pragma once

#include <QObject>
#include <QString>

#include <memory>

namespace lumora {

// Creates an outside component by prog-id; null when it cannot be created.
std::unique_ptr<QObject> createComponentObject(const QString &progId);

// The same, typed: null also when the object is not of the expected kind.
template<typename T>
std::shared_ptr<T> createComponent(const QString &progId)
{
    std::unique_ptr<QObject> object = createComponentObject(progId);
    if (auto *typed = qobject_cast<T *>(object.get())) {
        object.release();
        return std::shared_ptr<T>(typed);
    }
    return nullptr;
}

} // namespace lumora
