#include "app/HostSettings.h"

#include "platform/core/Registry.h"
#include "platform/core/RegistryStore.h"
#include "settings/modRegistry.h"

namespace lumora {

const QString HostSettings::Key = QStringLiteral("Software\\Corvane Software\\Lumora\\Host");

namespace {

QString read(const char *name)
{
    return modRegistry::ReadRegistryValue(reg::HKEY_CURRENT_USER, HostSettings::Key, QLatin1String(name)).toString();
}

bool write(const char *name, const QString &text)
{
    return modRegistry::WriteRegistryValue(reg::HKEY_CURRENT_USER, HostSettings::Key, QLatin1String(name), text,
                                           reg::REG_SZ);
}

} // namespace

HostSettings HostSettings::load()
{
    HostSettings s;
    // One path a line: a path may hold any other character.
    s.stores = read("Stores").split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    s.imapAccounts = read("ImapAccounts").split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    s.pop3Accounts = read("Pop3Accounts").split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    s.mailClient = read("MailClient");
    s.displayCommand = read("DisplayCommand");
    // On unless turned off, so a setting never saved keeps the default.
    s.quietWhilePresenting = read("QuietWhilePresenting").trimmed() != QLatin1String("0");
    s.newMailCommand = read("NewMailCommand");
    return s;
}

bool HostSettings::save() const
{
    // One save: every value is stored, or none is.
    RegistryStore::Batch batch(RegistryStore::Root::CurrentUser);
    bool ok = write("Stores", stores.join(QLatin1Char('\n')));
    ok = write("ImapAccounts", imapAccounts.join(QLatin1Char('\n'))) && ok;
    ok = write("Pop3Accounts", pop3Accounts.join(QLatin1Char('\n'))) && ok;
    ok = write("MailClient", mailClient) && ok;
    ok = write("DisplayCommand", displayCommand) && ok;
    ok = write("QuietWhilePresenting", quietWhilePresenting ? QStringLiteral("1") : QStringLiteral("0")) && ok;
    ok = write("NewMailCommand", newMailCommand) && ok;
    return batch.commit() && ok;
}

} // namespace lumora
