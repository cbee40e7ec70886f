#pragma once

#include "settings/OrderedDictionary.h"

#include <QDialog>
#include <QHash>
#include <QPointer>
#include <QStringList>

class QLabel;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace lumora {

namespace host {
class Application;
class MAPIFolder;
class NameSpace;
} // namespace host

// The folder picker: a tree of every store and its mail folders with a check box on each,
// the stored watched folders pre-checked. Sub-folders are read from the host when a node
// is first expanded. It hands the checked folders back and never writes the stored list.
class frmFolders : public QDialog
{
    Q_OBJECT
public:
    // Roles of a tree item's data.
    enum Role {
        KeyRole = Qt::UserRole,
        TagRole,
        ReadRole
    };

    // application: where the folders come from (the library's application when null).
    explicit frmFolders(host::Application *application = nullptr, QWidget *parent = nullptr);
    ~frmFolders() override;

    // Shows the dialog modally and returns when it is closed.
    void Start(QObject *aParent);
    // True unless the dialog was closed by Apply: Cancel, Escape and the window's close
    // button all leave the stored list alone.
    bool Canceled() const { return m_Canceled; }
    void setCanceled(bool value) { m_Canceled = value; }
    // The checked folders, each entry id, "|", store id, in the order they were checked.
    QStringList EntryIDs() const { return m_EntryIDs; }
    void setEntryIDs(const QStringList &value) { m_EntryIDs = value; }

    QTreeWidget *tree() const { return m_tree; }
    // The node with this key, or null.
    QTreeWidgetItem *node(const QString &key) const { return m_nodes.value(key); }

    // Node keys chain the folder names from the store down, joined by ":"; names are escaped
    // so a ":" inside a name never splits it.
    static QString escapeName(const QString &name);
    static QString childKey(const QString &parentKey, const QString &name);
    static QStringList splitKey(const QString &key);

    // Reads the stored list and builds the top level; Start does this before showing.
    void Form_Load();

protected:
    void reject() override;

private:
    void cmdApply_Click();
    void cmdCancel_Click();
    void TreeView1_Expand(QTreeWidgetItem *node);
    void TreeView1_NodeCheck(QTreeWidgetItem *node);
    void PopulateTreeList(QTreeWidgetItem *node = nullptr);
    int GetFolderIconIndex(host::MAPIFolder *folder) const;
    void GetCheckedFolders();
    void logError(const QString &procedure, int number, const QString &description) const;
    QTreeWidgetItem *addNode(QTreeWidgetItem *parent, const QString &key, const QString &text, int image,
                             const QString &tag);
    void Form_Unload();

    QPointer<QObject> m_Parent;
    QPointer<host::Application> m_application;
    QPointer<host::NameSpace> m_Namespace;
    QStringList m_storedList;
    // The checked folders: key the whole entry (folder id, "|", store id), since a folder id
    // is only unique within its store; item the store id.
    OrderedDictionary<QString> m_Folders;
    QStringList m_EntryIDs;
    bool m_Canceled = true;
    bool m_populating = false;

    QLabel *m_label = nullptr;
    QTreeWidget *m_tree = nullptr;
    QPushButton *m_cmdApply = nullptr;
    QPushButton *m_cmdCancel = nullptr;
    QHash<QString, QTreeWidgetItem *> m_nodes;
};

} // namespace lumora
