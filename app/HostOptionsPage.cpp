#include "app/HostOptionsPage.h"

#include "app/Autostart.h"
#include "app/HostProblemReport.h"
#include "app/ImapAccountsBox.h"
#include "app/PasswordStore.h"
#include "host/FileLogWriter.h"
#include "settings/modRegistry.h"

#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTextStream>
#include <QVBoxLayout>

namespace lumora {

namespace {

QString canonical(const QString &path)
{
    const QString c = QDir(path).canonicalPath();
    return c.isEmpty() ? QDir::cleanPath(path) : c;
}

} // namespace

HostOptionsPage::HostOptionsPage(const QStringList &openStores, std::function<void(const HostSettings &)> applyLive,
                                 QWidget *parent)
    : QWidget(parent)
    , m_applyLive(std::move(applyLive))
{
    setObjectName(QStringLiteral("HostOptionsPage"));
    for (const QString &store : openStores)
        m_openStores << canonical(store);

    auto *storesLabel = new QLabel(QStringLiteral("Mail &stores:"), this);
    m_storeList = new QListWidget(this);
    m_storeList->setObjectName(QStringLiteral("lstStores"));
    m_storeList->setMaximumHeight(m_storeList->fontMetrics().height() * 6);
    storesLabel->setBuddy(m_storeList);
    m_add = new QPushButton(QStringLiteral("&Add..."), this);
    m_add->setObjectName(QStringLiteral("cmdAddStore"));
    m_remove = new QPushButton(QStringLiteral("&Remove"), this);
    m_remove->setObjectName(QStringLiteral("cmdRemoveStore"));
    m_remove->setEnabled(false);
    auto *note = new QLabel(QStringLiteral("Stores added or removed here are opened from the next start."), this);
    note->setWordWrap(true);

    m_accounts = new ImapAccountsBox(this);

    m_mailClient = new QLineEdit(this);
    m_mailClient->setObjectName(QStringLiteral("txtMailClient"));
    m_mailClient->setPlaceholderText(QStringLiteral("for example thunderbird"));
    m_displayCommand = new QLineEdit(this);
    m_displayCommand->setObjectName(QStringLiteral("txtDisplayCommand"));
    m_displayCommand->setPlaceholderText(QStringLiteral("xdg-open"));
    m_displayCommand->setToolTip(QStringLiteral("%f stands for the message file; without it the file is appended."));

    m_autostart = new QCheckBox(QStringLiteral("&Start Lumora when I log in"), this);
    m_autostart->setObjectName(QStringLiteral("chkAutostart"));

    auto *buttons = new QVBoxLayout;
    buttons->addWidget(m_add);
    buttons->addWidget(m_remove);
    buttons->addStretch(1);
    auto *storeRow = new QHBoxLayout;
    storeRow->addWidget(m_storeList, 1);
    storeRow->addLayout(buttons);
    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("Mail &client window class:"), m_mailClient);
    form->addRow(QStringLiteral("&Open messages with:"), m_displayCommand);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(storesLabel);
    layout->addLayout(storeRow);
    layout->addWidget(note);
    layout->addWidget(m_accounts);
    layout->addLayout(form);
    layout->addWidget(m_autostart);
    layout->addStretch(1);

    connect(m_add, &QPushButton::clicked, this, &HostOptionsPage::addStore);
    connect(m_remove, &QPushButton::clicked, this, &HostOptionsPage::removeStore);
    connect(m_storeList, &QListWidget::currentRowChanged, this, [this](int row) {
        const QListWidgetItem *item = m_storeList->item(row);
        m_remove->setEnabled(item && item->data(Qt::UserRole).toBool());
    });
    connect(m_accounts, &ImapAccountsBox::changed, this, &HostOptionsPage::setDirty);
    connect(m_mailClient, &QLineEdit::textChanged, this, &HostOptionsPage::setDirty);
    connect(m_displayCommand, &QLineEdit::textChanged, this, &HostOptionsPage::setDirty);
    connect(m_autostart, &QCheckBox::toggled, this, &HostOptionsPage::setDirty);
}

void HostOptionsPage::setAccountsContext(const QStringList &openAccounts, PasswordStore *passwords)
{
    m_openAccounts = openAccounts;
    m_passwords = passwords;
}

void HostOptionsPage::InitProperties(host::PropertyPageSite *site)
{
    m_site = site;
    m_loading = true;
    m_settings = HostSettings::load();
    m_stores = m_settings.stores;
    m_mailClient->setText(m_settings.mailClient);
    m_displayCommand->setText(m_settings.displayCommand);
    m_accounts->setAccounts(m_settings.imapAccounts, m_openAccounts);
    m_autostart->setChecked(Autostart::isEnabled());
    fillStores();
    m_loading = false;
    m_dirty = false;
}

void HostOptionsPage::fillStores()
{
    m_storeList->clear();
    QStringList stored;
    for (const QString &s : std::as_const(m_stores))
        stored << canonical(s);
    for (qsizetype i = 0; i < m_openStores.size(); ++i) {
        const QString &path = m_openStores.at(i);
        if (stored.contains(path))
            continue;
        // The default store and stores named on the command line are not the page's to remove.
        auto *item = new QListWidgetItem(
            QStringLiteral("%1 (%2)").arg(path, i == 0 ? QStringLiteral("default") : QStringLiteral("command line")),
            m_storeList);
        item->setData(Qt::UserRole, false);
    }
    for (qsizetype i = 0; i < m_stores.size(); ++i) {
        const bool open = m_openStores.contains(stored.at(i));
        auto *item = new QListWidgetItem(
            open ? m_stores.at(i) : m_stores.at(i) + QStringLiteral(" (from the next start)"), m_storeList);
        item->setData(Qt::UserRole, true);
        item->setData(Qt::UserRole + 1, m_stores.at(i));
    }
    m_remove->setEnabled(false);
}

void HostOptionsPage::addStore()
{
    QFileDialog dialog(this, QStringLiteral("Choose a Maildir store"), QDir::homePath());
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
    if (m_openStores.value(0) == c)
        return;
    m_stores << path;
    fillStores();
    setDirty();
}

void HostOptionsPage::removeStore()
{
    const QListWidgetItem *item = m_storeList->currentItem();
    if (!item || !item->data(Qt::UserRole).toBool())
        return;
    m_stores.removeOne(item->data(Qt::UserRole + 1).toString());
    fillStores();
    setDirty();
}

void HostOptionsPage::setDirty()
{
    if (m_loading)
        return;
    m_dirty = true;
    if (m_site)
        m_site->OnStatusChange();
}

HostSettings HostOptionsPage::edited() const
{
    HostSettings s;
    s.stores = m_stores;
    s.imapAccounts = m_accounts->urls();
    s.mailClient = m_mailClient->text().trimmed();
    s.displayCommand = m_displayCommand->text().trimmed();
    return s;
}

void HostOptionsPage::Apply()
{
    const HostSettings s = edited();
    if (!s.save()) {
        // The page stays dirty: nothing was stored.
        tell(QStringLiteral("The mail settings could not be saved: %1. They are kept on this page; press Apply to "
                            "try again.")
                 .arg(modRegistry::LastWriteError()));
        return;
    }
    m_settings = s;
    keepPasswords();
    if (m_applyLive)
        m_applyLive(s);
    QString error;
    if (m_autostart->isChecked() != Autostart::isEnabled()
        && !Autostart::setEnabled(m_autostart->isChecked(), &error)) {
        // The page stays dirty: the start at login is not as the box says.
        tell(QStringLiteral("Autostart unchanged: %1").arg(error));
        return;
    }
    m_dirty = false;
}

void HostOptionsPage::tell(const QString &text, const QString &boxName)
{
    QTextStream(stderr) << QStringLiteral("Lumora: ") << text << Qt::endl;
    QDir().mkpath(QFileInfo(HostProblemReport::logFile()).absolutePath());
    host::FileLogWriter log(HostProblemReport::logFile());
    log.Log(1, QStringLiteral("HostOptionsPage"), text);
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Lumora"), text, QMessageBox::Ok, this);
    box.setObjectName(boxName);
    box.exec();
}

void HostOptionsPage::keepPasswords()
{
    const QHash<QString, QString> typed = m_accounts->passwords();
    m_accounts->forgetPasswords();
    QStringList failed;
    for (auto it = typed.cbegin(); it != typed.cend(); ++it) {
        QString problem = QStringLiteral("no secret service is available.");
        if (m_passwords && m_passwords->write(it.key(), it.value(), &problem))
            continue;
        failed << QStringLiteral("%1: %2").arg(it.key(), problem);
    }
    if (failed.isEmpty())
        return;
    // The accounts are stored; only their passwords are not, so Lumora asks for them at start.
    const QString text = QStringLiteral("The password could not be kept in the desktop's secret service, so "
                                        "Lumora asks for it when it starts.\n\n")
        + failed.join(QLatin1Char('\n'));
    tell(text, QStringLiteral("PasswordNotKept"));
}

void HostOptionsPage::GetPageInfo(QString &helpFile, qint32 &helpContext)
{
    Q_UNUSED(helpFile)
    Q_UNUSED(helpContext)
}

} // namespace lumora
