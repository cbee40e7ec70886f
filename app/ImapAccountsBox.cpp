#include "app/ImapAccountsBox.h"

#include "app/ImapAccountDialog.h"
#include "host/imap/ImapAccountConfig.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace lumora {

namespace {

QString securityName(ImapAccountConfig::Security security)
{
    switch (security) {
    case ImapAccountConfig::Security::ImplicitTls:
        return QStringLiteral("SSL/TLS");
    case ImapAccountConfig::Security::StartTls:
        return QStringLiteral("STARTTLS");
    case ImapAccountConfig::Security::Plain:
        return QStringLiteral("no encryption");
    }
    return {};
}

} // namespace

ImapAccountsBox::ImapAccountsBox(QWidget *parent)
    : QGroupBox(QStringLiteral("IMAP accounts"), parent)
{
    setObjectName(QStringLiteral("grpImapAccounts"));
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("lstAccounts"));
    // Few people have more than a handful of accounts; the page must still fit a small screen.
    m_list->setMaximumHeight(m_list->fontMetrics().height() * 5);
    auto *add = new QPushButton(QStringLiteral("A&dd..."), this);
    add->setObjectName(QStringLiteral("cmdAddAccount"));
    m_edit = new QPushButton(QStringLiteral("&Edit..."), this);
    m_edit->setObjectName(QStringLiteral("cmdEditAccount"));
    m_remove = new QPushButton(QStringLiteral("Re&move"), this);
    m_remove->setObjectName(QStringLiteral("cmdRemoveAccount"));
    auto *note = new QLabel(QStringLiteral("While accounts are listed here, Lumora watches them instead of the Maildir "
                                           "stores. Changes take effect from the next start."),
                            this);
    note->setWordWrap(true);

    auto *buttons = new QVBoxLayout;
    buttons->addWidget(add);
    buttons->addWidget(m_edit);
    buttons->addWidget(m_remove);
    buttons->addStretch(1);
    auto *row = new QHBoxLayout;
    row->addWidget(m_list, 1);
    row->addLayout(buttons);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(note);

    connect(add, &QPushButton::clicked, this, &ImapAccountsBox::add);
    connect(m_edit, &QPushButton::clicked, this, &ImapAccountsBox::edit);
    connect(m_remove, &QPushButton::clicked, this, &ImapAccountsBox::remove);
    connect(m_list, &QListWidget::itemDoubleClicked, this, &ImapAccountsBox::edit);
    connect(m_list, &QListWidget::currentRowChanged, this, [this](int current) {
        m_edit->setEnabled(current >= 0);
        m_remove->setEnabled(current >= 0);
    });
    fill();
}

void ImapAccountsBox::setAccounts(const QStringList &urls, const QStringList &openKeys)
{
    m_urls = urls;
    m_openKeys = openKeys;
    m_passwords.clear();
    fill();
}

void ImapAccountsBox::fill()
{
    m_list->clear();
    for (const QString &url : std::as_const(m_urls)) {
        const std::optional<ImapAccountConfig> config = ImapAccountConfig::fromUrl(url);
        if (!config) {
            // A hand-edited entry: shown so that it can be removed, never dropped unseen.
            new QListWidgetItem(url + QStringLiteral(" (not understood)"), m_list);
            continue;
        }
        QString text = QStringLiteral("%1 (%2)").arg(config->key(), securityName(config->security));
        if (!m_openKeys.contains(config->key()))
            text += QStringLiteral(" (from the next start)");
        new QListWidgetItem(text, m_list);
    }
    m_edit->setEnabled(false);
    m_remove->setEnabled(false);
}

bool ImapAccountsBox::runDialog(int row)
{
    const std::optional<ImapAccountConfig> existing =
        row >= 0 ? ImapAccountConfig::fromUrl(m_urls.at(row)) : std::optional<ImapAccountConfig>{};
    ImapAccountDialog dialog(existing, this);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    const ImapAccountConfig config = dialog.config();
    // One entry an account: adding one that is listed already edits it.
    for (qsizetype i = 0; i < m_urls.size(); ++i) {
        const auto other = ImapAccountConfig::fromUrl(m_urls.at(i));
        if (i != row && other && other->key() == config.key()) {
            m_urls.removeAt(i);
            if (row > i)
                --row;
            break;
        }
    }
    if (row >= 0)
        m_urls[row] = config.toUrl();
    else
        m_urls.append(config.toUrl());
    if (!dialog.password().isEmpty())
        m_passwords.insert(config.key(), dialog.password());
    fill();
    Q_EMIT changed();
    return true;
}

void ImapAccountsBox::add()
{
    runDialog(-1);
}

void ImapAccountsBox::edit()
{
    const int row = m_list->currentRow();
    if (row >= 0 && row < m_urls.size())
        runDialog(row);
}

void ImapAccountsBox::remove()
{
    const int row = m_list->currentRow();
    if (row < 0 || row >= m_urls.size())
        return;
    m_urls.removeAt(row);
    fill();
    Q_EMIT changed();
}

} // namespace lumora
