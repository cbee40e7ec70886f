#pragma once

#include "host/Item.h"

namespace lumora::host {

// The items of one folder, with the restricted search the add-in uses.
class LUMORA_HOST_EXPORT Items : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    ~Items() override;

    virtual int Count() const = 0;
    // First item matching the filter, or null. The add-in only asks "[Unread] = true",
    // which yields unread items oldest first; an unknown filter matches nothing.
    virtual ItemPtr Find(const QString &filter) = 0;
    // Next match of the last Find, or null.
    virtual ItemPtr FindNext() = 0;
    // A new unsaved item of the folder's default kind, or null.
    virtual ItemPtr Add() = 0;
};

using ItemsPtr = std::shared_ptr<Items>;

} // namespace lumora::host
