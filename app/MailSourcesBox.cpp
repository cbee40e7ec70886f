#include "app/MailSourcesBox.h"

#include "app/ImapAccountDialog.h"
#include "app/MaildirSourceFactory.h"
#include "host/imap/ImapAccountConfig.h"
#include "host/pop3/Pop3AccountConfig.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace lumora {

namespace {

constexpr int KindRole = Qt::UserRole;
constexpr int IndexRole = Qt::UserRole + 1;

QString securityName(ImapAccountConfig::Security security)
{
    switch (security) {
    case ImapAccountConfig::Security::ImplicitTls:
        return QStringLiteral("SSL/TLS");
    case ImapAccountConfig::Security::StartTls:
        return QStringLiteral("STARTTLS");
    case ImapAccountConfig::Security::Plain:
        return QCoreApplication::translate("lumora::MailSourcesBox", "no encryption");
    }
    return {};
}

const char kNotOpen[] = QT_TRANSLATE_NOOP("lumora::MailSourcesBox", " (watched after Apply)");

} // namespace

MailSourcesBox::MailSourcesBox(QWidget *parent)
    : QGroupBox(tr("Mail sources"), parent)
{
    setObjectName(QStringLiteral("grpSources"));
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("lstSources"));
    // The page must still fit a small screen.
    m_list->setMaximumHeight(m_list->fontMetrics().height() * 7);
    auto *addStore = new QPushButton(tr("Add &Maildir store..."), this);
    addStore->setObjectName(QStringLiteral("cmdAddStore"));
    auto *addAccount = new QPushButton(tr("Add &IMAP account..."), this);
    addAccount->setObjectName(QStringLiteral("cmdAddAccount"));
    auto *addPop3 = new QPushButton(tr("Add &POP3 account..."), this);
    addPop3->setObjectName(QStringLiteral("cmdAddPop3"));
    m_edit = new QPushButton(tr("&Edit..."), this);
    m_edit->setObjectName(QStringLiteral("cmdEdit"));
    m_remove = new QPushButton(tr("Re&move"), this);
    m_remove->setObjectName(QStringLiteral("cmdRemove"));
    auto *note = new QLabel(tr("Lumora watches every store and account listed here, side by side. "
                               "What you add or remove is watched or let go when you press Apply; "
                               "a new source's Inbox is watched at once."),
                            this);
    note->setWordWrap(true);

    auto *buttons = new QVBoxLayout;
    buttons->addWidget(addStore);
    buttons->addWidget(addAccount);
    buttons->addWidget(addPop3);
    buttons->addWidget(m_edit);
    buttons->addWidget(m_remove);
    buttons->addStretch(1);
    auto *row = new QHBoxLayout;
    row->addWidget(m_list, 1);
    row->addLayout(buttons);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(note);

    connect(addStore, &QPushButton::clicked, this, &MailSourcesBox::addStore);
    connect(addAccount, &QPushButton::clicked, this, &MailSourcesBox::addAccount);
    connect(addPop3, &QPushButton::clicked, this, [this] { runPop3Dialog(-1); });
    connect(m_edit, &QPushButton::clicked, this, &MailSourcesBox::edit);
    connect(m_remove, &QPushButton::clicked, this, &MailSourcesBox::remove);
    connect(m_list, &QListWidget::itemDoubleClicked, this, &MailSourcesBox::edit);
    connect(m_list, &QListWidget::currentRowChanged, this, &MailSourcesBox::selectionChanged);
    fill();
}

QString MailSourcesBox::canonical(const QString &path)
{
    return MaildirSourceFactory::canonical(path);
}

void MailSourcesBox::setPop3Urls(const QStringList &urls)
{
    m_pop3Urls = urls;
    fill();
}

void MailSourcesBox::setSources(const QStringList &stores, const QStringList &urls, const Open &open)
{
    m_stores = stores;
    m_urls = urls;
    m_open = open;
    m_passwords.clear();
    fill();
}

QListWidgetItem *MailSourcesBox::addRow(const QString &text, Kind kind, int index)
{
    auto *item = new QListWidgetItem(text, m_list);
    item->setData(KindRole, int(kind));
    item->setData(IndexRole, index);
    return item;
}

void MailSourcesBox::fill()
{
    m_list->clear();
    QStringList kept;
    for (const QString &s : std::as_const(m_stores))
        kept << canonical(s);
    for (const QString &path : std::as_const(m_open.stores)) {
        if (kept.contains(path))
            continue;
        addRow(tr("Maildir: %1 (%2)").arg(path, path == m_open.defaultStore ? tr("default") : tr("command line")),
               FixedStore, -1);
    }
    for (qsizetype i = 0; i < m_stores.size(); ++i) {
        const bool open = m_open.stores.contains(kept.at(i));
        addRow(tr("Maildir: %1").arg(m_stores.at(i)) + (open ? QString() : tr(kNotOpen)), KeptStore, int(i));
    }
    for (qsizetype i = 0; i < m_urls.size(); ++i) {
        const std::optional<ImapAccountConfig> config = ImapAccountConfig::fromUrl(m_urls.at(i));
        if (!config) {
            // A hand-edited entry: shown so that it can be removed, never dropped unseen.
            addRow(tr("IMAP: %1 (not understood)").arg(m_urls.at(i)), Account, int(i));
            continue;
        }
        addRow(tr("IMAP: %1 (%2)").arg(config->key(), securityName(config->security))
                   + (m_open.accounts.contains(config->key()) ? QString() : tr(kNotOpen)),
               Account, int(i));
    }
    for (qsizetype i = 0; i < m_pop3Urls.size(); ++i) {
        const std::optional<Pop3AccountConfig> config = Pop3AccountConfig::fromUrl(m_pop3Urls.at(i));
        if (!config) {
            addRow(tr("POP3: %1 (not understood)").arg(m_pop3Urls.at(i)), Pop3Account, int(i));
            continue;
        }
        const QString security = config->security == Pop3AccountConfig::Security::StartTls
            ? QStringLiteral("STLS")
            : securityName(ImapAccountConfig::Security(int(config->security)));
        addRow(tr("POP3: %1 (%2, every %n minute(s))", nullptr, config->intervalMinutes).arg(config->key(), security)
                   + (m_open.accounts.contains(config->key()) ? QString() : kNotOpen),
               Pop3Account, int(i));
    }
    for (const QString &other : std::as_const(m_open.others))
        addRow(other, FixedOther, -1);
    selectionChanged();
}

void MailSourcesBox::selectionChanged()
{
    const QListWidgetItem *item = m_list->currentItem();
    const int kind = item ? item->data(KindRole).toInt() : -1;
    m_edit->setEnabled(kind == Account || kind == Pop3Account);
    m_remove->setEnabled(kind == KeptStore || kind == Account || kind == Pop3Account);
}

void MailSourcesBox::addStore()
{
    QFileDialog dialog(this, tr("Choose a Maildir store"), QDir::homePath());
    dialog.setObjectName(QStringLiteral("StoreDialog"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const QString path = dialog.selectedFiles().constFirst();
    const QString c = canonical(path);
    for (const QString &s : std::as_const(m_stores)) {
        if (canonical(s) == c)
            return;
    }
    if (m_open.stores.contains(c))
        return;
    m_stores << path;
    fill();
    Q_EMIT changed();
}

bool MailSourcesBox::runAccountDialog(int index)
{
    const std::optional<ImapAccountConfig> existing =
        index >= 0 ? ImapAccountConfig::fromUrl(m_urls.at(index)) : std::optional<ImapAccountConfig>{};
    ImapAccountDialog dialog(existing, this);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    const ImapAccountConfig config = dialog.config();
    // One entry an account: adding one that is listed already edits it.
    for (qsizetype i = 0; i < m_urls.size(); ++i) {
        const auto other = ImapAccountConfig::fromUrl(m_urls.at(i));
        if (i != index && other && other->key() == config.key()) {
            m_urls.removeAt(i);
            if (index > i)
                --index;
            break;
        }
    }
    if (index >= 0)
        m_urls[index] = config.toUrl();
    else
        m_urls.append(config.toUrl());
    if (!dialog.password().isEmpty())
        m_passwords.insert(config.key(), dialog.password());
    fill();
    Q_EMIT changed();
    return true;
}

bool MailSourcesBox::runPop3Dialog(int index)
{
    const std::optional<Pop3AccountConfig> existing =
        index >= 0 ? Pop3AccountConfig::fromUrl(m_pop3Urls.at(index)) : std::optional<Pop3AccountConfig>{};
    ImapAccountDialog dialog(existing, this);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    const Pop3AccountConfig config = dialog.pop3Config();
    // One entry an account: adding one that is listed already edits it.
    for (qsizetype i = 0; i < m_pop3Urls.size(); ++i) {
        const auto other = Pop3AccountConfig::fromUrl(m_pop3Urls.at(i));
        if (i != index && other && other->key() == config.key()) {
            m_pop3Urls.removeAt(i);
            if (index > i)
                --index;
            break;
        }
    }
    if (index >= 0)
        m_pop3Urls[index] = config.toUrl();
    else
        m_pop3Urls.append(config.toUrl());
    if (!dialog.password().isEmpty())
        m_passwords.insert(config.key(), dialog.password());
    fill();
    Q_EMIT changed();
    return true;
}

void MailSourcesBox::addAccount()
{
    runAccountDialog(-1);
}

void MailSourcesBox::edit()
{
    const QListWidgetItem *item = m_list->currentItem();
    if (!item || (item->data(KindRole).toInt() != Account && item->data(KindRole).toInt() != Pop3Account))
        return;
    const int index = item->data(IndexRole).toInt();
    if (item->data(KindRole).toInt() == Pop3Account && index >= 0 && index < m_pop3Urls.size())
        runPop3Dialog(index);
    else if (item->data(KindRole).toInt() == Account && index >= 0 && index < m_urls.size())
        runAccountDialog(index);
}

void MailSourcesBox::remove()
{
    const QListWidgetItem *item = m_list->currentItem();
    if (!item)
        return;
    const int kind = item->data(KindRole).toInt();
    const int index = item->data(IndexRole).toInt();
    if (kind == KeptStore && index >= 0 && index < m_stores.size())
        m_stores.removeAt(index);
    else if (kind == Account && index >= 0 && index < m_urls.size())
        m_urls.removeAt(index);
    else if (kind == Pop3Account && index >= 0 && index < m_pop3Urls.size())
        m_pop3Urls.removeAt(index);
    else
        return;
    fill();
    Q_EMIT changed();
}

} // namespace lumora
