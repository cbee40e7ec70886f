#include "props/frmFolders.h"

#include "host/Application.h"
#include "props/FolderIcons.h"
#include "props/PropsGlobals.h"
#include "settings/CINIFile.h"

#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace lumora {

namespace {

// Numbers of the failures the picker logs.
enum PickerError {
    NoNamespace = 1,
    FolderNotFound = 2,
    DuplicateKey = 3,
    NothingChecked = 4,
    DuplicateEntry = 5
};

struct DefaultFolderIcon
{
    int number;
    const char *name;
};

const DefaultFolderIcon kDefaultFolderIcons[] = {
    {6, "Deleted Items"}, {7, "Drafts"}, {8, "Inbox"}, {9, "Outbox"}, {10, "Sent Items"},
};

constexpr int kStoreImage = 12;

QString tagOf(host::MAPIFolder *folder)
{
    return folder->EntryID() + QLatin1Char('|') + folder->StoreID();
}

} // namespace

frmFolders::frmFolders(host::Application *application, QWidget *parent)
    : QDialog(parent)
    , m_application(application ? application : props().application.data())
{
    setObjectName(QStringLiteral("frmFolders"));
    setWindowTitle(tr(" Select Folders To Scan"));
    setModal(true);

    m_label = new QLabel(tr("Select Folders for Lumora to Examine:"), this);
    m_label->setObjectName(QStringLiteral("Label1"));
    m_tree = new QTreeWidget(this);
    m_tree->setObjectName(QStringLiteral("TreeView1"));
    m_tree->setHeaderHidden(true);
    m_tree->setColumnCount(1);
    m_tree->setUniformRowHeights(true);
    m_tree->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_label->setBuddy(m_tree);

    QFont buttonFont(QStringLiteral("Tahoma"));
    m_cmdApply = new QPushButton(tr("Apply"), this);
    m_cmdApply->setObjectName(QStringLiteral("cmdApply"));
    m_cmdApply->setFont(buttonFont);
    m_cmdApply->setDefault(true);
    m_cmdCancel = new QPushButton(tr("Cancel"), this);
    m_cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    m_cmdCancel->setFont(buttonFont);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_cmdApply);
    buttons->addWidget(m_cmdCancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_label);
    layout->addWidget(m_tree, 1);
    layout->addLayout(buttons);
    resize(420, 440);

    connect(m_cmdApply, &QPushButton::clicked, this, &frmFolders::cmdApply_Click);
    connect(m_cmdCancel, &QPushButton::clicked, this, &frmFolders::cmdCancel_Click);
    connect(m_tree, &QTreeWidget::itemExpanded, this, &frmFolders::TreeView1_Expand);
    connect(m_tree, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem *item, int) {
        if (!m_populating)
            TreeView1_NodeCheck(item);
    });
}

frmFolders::~frmFolders() = default;

void frmFolders::Start(QObject *aParent)
{
    m_Parent = aParent;
    m_Canceled = true;
    m_EntryIDs.clear();
    Form_Load();
    exec();
    Form_Unload();
}

QString frmFolders::escapeName(const QString &name)
{
    QString out = name;
    out.replace(QLatin1Char('%'), QLatin1String("%25"));
    out.replace(QLatin1Char(':'), QLatin1String("%3A"));
    out.replace(QLatin1Char('#'), QLatin1String("%23"));
    return out;
}

QString frmFolders::childKey(const QString &parentKey, const QString &name)
{
    return parentKey.isEmpty() ? escapeName(name) : parentKey + QLatin1Char(':') + escapeName(name);
}

QStringList frmFolders::splitKey(const QString &key)
{
    QStringList names = key.split(QLatin1Char(':'));
    for (QString &name : names) {
        // A "#n" suffix only tells apart two folders of the same name under one parent.
        const qsizetype hash = name.indexOf(QLatin1Char('#'));
        if (hash >= 0)
            name.truncate(hash);
        name.replace(QLatin1String("%23"), QLatin1String("#"));
        name.replace(QLatin1String("%3A"), QLatin1String(":"));
        name.replace(QLatin1String("%25"), QLatin1String("%"));
    }
    return names;
}

void frmFolders::Form_Load()
{
    m_tree->clear();
    m_nodes.clear();
    m_Namespace = m_application ? m_application->GetNamespace(QStringLiteral("MAPI")) : nullptr;

    CINIFile ini;
    ini.setFile(propsDataFolder() + QStringLiteral("/Lumora.ini"));
    ini.setSection(QStringLiteral("EntryID"));
    QVariant values;
    m_storedList.clear();
    if (ini.enumSectionValues(values) > 0) {
        for (const QVariant &v : values.toList())
            m_storedList.append(v.toString());
    }

    m_Folders.RemoveAll();
    for (const QString &value : std::as_const(m_storedList)) {
        const QStringList parts = value.split(QLatin1Char('|'));
        if (parts.size() != 2)
            continue;
        // The same folder stored twice is one watched folder: the later copy is skipped
        // instead of spoiling the whole list.
        if (!m_Folders.Add(value, parts.at(1)))
            logError(QStringLiteral("Form_Load"), DuplicateEntry,
                     QStringLiteral("folder %1 is stored more than once; the copy is skipped").arg(parts.at(0)));
    }
    PopulateTreeList();
}

QTreeWidgetItem *frmFolders::addNode(QTreeWidgetItem *parent, const QString &key, const QString &text, int image,
                                     const QString &tag)
{
    // Two folders of one name under the same parent still get keys of their own.
    QString unique = key;
    for (int n = 2; m_nodes.contains(unique); ++n)
        unique = key + QLatin1Char('#') + QString::number(n);
    auto *item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(m_tree);
    item->setText(0, text);
    item->setIcon(0, FolderIcons::image(image));
    item->setData(0, KeyRole, unique);
    item->setData(0, TagRole, tag);
    item->setData(0, ReadRole, false);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(0, !tag.isEmpty() && m_Folders.Exists(tag) ? Qt::Checked : Qt::Unchecked);
    // The expand button shows until the node's children have been read.
    item->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    m_nodes.insert(unique, item);
    return item;
}

void frmFolders::PopulateTreeList(QTreeWidgetItem *node)
{
    if (!m_Namespace) {
        logError(QStringLiteral("PopulateTreeList"), NoNamespace, QStringLiteral("the host offers no mail namespace"));
        return;
    }
    m_populating = true;
    if (!node) {
        host::FoldersPtr tops = m_Namespace->folders();
        const int count = tops ? tops->Count() : 0;
        for (int i = 1; i <= count; ++i) {
            host::FolderPtr top = tops->Item(i);
            if (!top)
                continue;
            // Stores of one host may share a top folder name; their place tells them apart.
            QString path = top->FolderPath();
            if (path.startsWith(QDir::homePath() + QLatin1Char('/')))
                path = QLatin1Char('~') + path.mid(QDir::homePath().size());
            const QString text = path.isEmpty() ? top->Name() : QStringLiteral("%1 (%2)").arg(top->Name(), path);
            QTreeWidgetItem *item =
                addNode(nullptr, childKey(QString(), top->Name()), text, kStoreImage, tagOf(top.get()));
            item->setToolTip(0, path);
        }
        m_populating = false;
        return;
    }

    // Each folder's children are read once, however many there are.
    if (node->data(0, ReadRole).toBool()) {
        m_populating = false;
        return;
    }
    const QStringList tag = node->data(0, TagRole).toString().split(QLatin1Char('|'));
    host::FolderPtr folder = tag.size() == 2 ? m_Namespace->GetFolderFromID(tag.at(0), tag.at(1)) : nullptr;
    if (!folder) {
        logError(QStringLiteral("PopulateTreeList"), FolderNotFound,
                 QStringLiteral("folder %1 can no longer be found").arg(node->data(0, KeyRole).toString()));
        m_populating = false;
        return;
    }
    node->setData(0, ReadRole, true);
    const QString key = node->data(0, KeyRole).toString();
    host::FoldersPtr children = folder->folders();
    const int count = children ? children->Count() : 0;
    int added = 0;
    for (int i = 1; i <= count; ++i) {
        host::FolderPtr sub = children->Item(i);
        if (!sub || sub->DefaultItemType() != host::MailItemType)
            continue;
        addNode(node, childKey(key, sub->Name()), sub->Name(), GetFolderIconIndex(sub.get()), tagOf(sub.get()));
        ++added;
    }
    if (added == 0)
        node->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicatorWhenChildless);
    m_populating = false;
}

int frmFolders::GetFolderIconIndex(host::MAPIFolder *folder) const
{
    if (!folder)
        return 0;
    int t = folder->DefaultItemType();
    if (t == host::MailItemType) {
        const QString name = folder->Name();
        for (const DefaultFolderIcon &row : kDefaultFolderIcons) {
            if (name == QLatin1String(row.name)) {
                t = row.number;
                break;
            }
        }
    }
    return t + 1;
}

void frmFolders::TreeView1_Expand(QTreeWidgetItem *node)
{
    PopulateTreeList(node);
}

void frmFolders::TreeView1_NodeCheck(QTreeWidgetItem *node)
{
    if (!node)
        return;
    const QString tag = node->data(0, TagRole).toString();
    if (tag.isEmpty()) {
        props().log(3, QStringLiteral("NodeCheck"), QStringLiteral("Node.Tag = 0 for ") + node->text(0));
        return;
    }
    const QStringList parts = tag.split(QLatin1Char('|'));
    if (parts.size() < 2) {
        props().log(3, QStringLiteral("NodeCheck"), QStringLiteral("Split Failed for ") + tag);
        return;
    }
    if (node->checkState(0) == Qt::Checked) {
        if (!m_Folders.Add(tag, parts.at(1)))
            logError(QStringLiteral("TreeView1_NodeCheck"), DuplicateKey,
                     QStringLiteral("folder %1 is checked already").arg(tag));
    } else {
        m_Folders.Remove(tag);
    }
}

void frmFolders::GetCheckedFolders()
{
    m_EntryIDs.clear();
    if (m_Folders.Count() == 0) {
        logError(QStringLiteral("GetCheckedFolders"), NothingChecked, QStringLiteral("no folder is checked"));
        return;
    }
    for (const QString &key : m_Folders.Keys())
        m_EntryIDs.append(key);
}

void frmFolders::cmdApply_Click()
{
    GetCheckedFolders();
    m_Canceled = false;
    accept();
}

void frmFolders::cmdCancel_Click()
{
    m_Canceled = true;
    reject();
}

void frmFolders::reject()
{
    // The window's close button and Escape end here too: the page keeps its stored list.
    m_Canceled = true;
    m_EntryIDs.clear();
    QDialog::reject();
}

void frmFolders::Form_Unload()
{
    m_Folders.RemoveAll();
    m_Parent = nullptr;
    m_Namespace = nullptr;
}

void frmFolders::logError(const QString &procedure, int number, const QString &description) const
{
    props().log(3, QStringLiteral("frmFolders"),
                QStringLiteral("Error %1 (%2) in procedure %3").arg(number).arg(description, procedure));
}

} // namespace lumora
