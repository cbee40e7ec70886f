// A plugin built for an earlier contract version: the factory must refuse it.
#include <QObject>
#include <QtPlugin>

class OldContract
{
public:
    virtual ~OldContract() = default;
    virtual QObject *CreateObject(const QString &progId) = 0;
};

#define OldContract_iid "org.corvane.lumora.ComponentPlugin/0"
Q_DECLARE_INTERFACE(OldContract, OldContract_iid)

class ComponentOldPlugin : public QObject, public OldContract
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID OldContract_iid)
    Q_INTERFACES(OldContract)
public:
    QObject *CreateObject(const QString &) override { return new QObject; }
};

#include "ComponentOldPlugin.moc"
