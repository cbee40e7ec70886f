#pragma once

#include "host/Item.h"

namespace lumora::host {

// The safe-mail wrapper (prog-id "QuaySafeLib.SafeMailItem"): reads the sender of the
// wrapped item and opens it.
class LUMORA_HOST_EXPORT SafeMailItem : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    ~SafeMailItem() override;

    virtual void setItem(const ItemPtr &item) = 0;
    virtual ItemPtr item() const = 0;
    // Display name of the wrapped item's sender; empty without an item.
    virtual QString SenderName() const = 0;
    // Opens the wrapped item; false without an item.
    virtual bool Display() = 0;
};

} // namespace lumora::host
