#pragma once

#include "host/SafeMailItem.h"

namespace lumora::host {

// The safe-mail component (prog-id "QuaySafeLib.SafeMailItem"). The host needs no guard
// around sender reads, so the wrapper reads straight from the item.
class LUMORA_HOST_EXPORT HostSafeMailItem : public SafeMailItem
{
    Q_OBJECT
public:
    static constexpr const char *ProgId = "QuaySafeLib.SafeMailItem";

    explicit HostSafeMailItem(QObject *parent = nullptr);
    ~HostSafeMailItem() override;

    void setItem(const ItemPtr &item) override { m_item = item; }
    ItemPtr item() const override { return m_item; }
    QString SenderName() const override;
    bool Display() override;

private:
    ItemPtr m_item;
};

} // namespace lumora::host
