#pragma once

#include "host/HostExport.h"

#include <QList>
#include <QObject>
#include <QPointer>

namespace lumora::host {

// One loaded add-in as other clients see it: its prog-id and the object it published.
class LUMORA_HOST_EXPORT COMAddIn : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString ProgId READ progId CONSTANT)
    Q_PROPERTY(QObject *Object READ object WRITE setObject)
public:
    explicit COMAddIn(const QString &progId, QObject *parent = nullptr);
    ~COMAddIn() override;

    QString progId() const { return m_progId; }
    QObject *object() const { return m_object; }
    void setObject(QObject *object) { m_object = object; }

private:
    QString m_progId;
    QPointer<QObject> m_object;
};

// The add-ins the host loaded, one entry per prog-id (matched without case, as class
// registrations are). Every mail host keeps its entries here.
class LUMORA_HOST_EXPORT COMAddIns : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    ~COMAddIns() override;

    // The entry for a prog-id, or null.
    COMAddIn *Item(const QString &progId) const;
    // The entry for a prog-id, created when missing; null for an empty prog-id.
    COMAddIn *add(const QString &progId);
    void remove(const QString &progId);
    int count() const { return int(m_entries.size()); }

private:
    QList<COMAddIn *> m_entries;
};

// The options dialog's page list, offered with OptionsPagesAdd.
class LUMORA_HOST_EXPORT PropertyPages : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    ~PropertyPages() override;

    // Adds the page created from the prog-id under the title; false when it cannot be created.
    virtual bool Add(const QString &progId, const QString &title) = 0;
};

} // namespace lumora::host
