#pragma once

#include "host/COMAddIns.h"

#include <QList>

namespace lumora {

// An options dialog's page list that records what was added.
class MemoryPropertyPages : public host::PropertyPages
{
    Q_OBJECT
public:
    struct Page
    {
        QString progId;
        QString title;
    };

    explicit MemoryPropertyPages(QObject *parent = nullptr);
    ~MemoryPropertyPages() override;

    bool Add(const QString &progId, const QString &title) override;

    QList<Page> pages() const { return m_pages; }

private:
    QList<Page> m_pages;
};

} // namespace lumora
