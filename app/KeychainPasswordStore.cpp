#include "app/KeychainPasswordStore.h"

#include <QCoreApplication>
#include <QEventLoop>

#include <qt6keychain/keychain.h>

namespace lumora {

namespace {

const QString Service = QStringLiteral("lumora");

// Runs a job to its end; the secret service answers over D-Bus, so the wait is short.
void runJob(QKeychain::Job &job)
{
    job.setAutoDelete(false);
    QEventLoop loop;
    QObject::connect(&job, &QKeychain::Job::finished, &loop, &QEventLoop::quit);
    job.start();
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

} // namespace

std::optional<QString> KeychainPasswordStore::read(const QString &account, QString *problem)
{
    QKeychain::ReadPasswordJob job(Service);
    job.setKey(account);
    runJob(job);
    if (job.error() == QKeychain::NoError)
        return job.textData();
    if (job.error() != QKeychain::EntryNotFound && problem)
        *problem =
            QCoreApplication::translate("KeychainPasswordStore", "The desktop's secret service cannot be reached (%1).")
                .arg(job.errorString());
    return std::nullopt;
}

bool KeychainPasswordStore::write(const QString &account, const QString &password, QString *problem)
{
    QKeychain::WritePasswordJob job(Service);
    job.setKey(account);
    job.setTextData(password);
    runJob(job);
    if (job.error() == QKeychain::NoError)
        return true;
    if (problem)
        *problem = QCoreApplication::translate("KeychainPasswordStore",
                                               "The desktop's secret service cannot keep the password (%1).")
                       .arg(job.errorString());
    return false;
}

} // namespace lumora
