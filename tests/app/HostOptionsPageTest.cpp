// The host's own options page: stored settings shown, edits applied live and stored, stores
// added through the directory dialog and removed again.
#include "app/HostOptionsPage.h"
#include "app/Autostart.h"

#include "app/HostProblemReport.h"
#include "host/Application.h"
#include "host/imap/ImapAccountConfig.h"
#include "host/pop3/Pop3AccountConfig.h"
#include "platform/core/Registry.h"
#include "platform/core/RegistryStore.h"
#include "settings/modRegistry.h"
#include "tests/app/FakePasswordStore.h"
#include "tests/testsupport/FullDisk.h"
#include "tests/testsupport/ModalAnswer.h"
#include "tests/testsupport/TempHome.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

#include <gtest/gtest.h>

using namespace lumora;
using namespace lumora::test;

namespace {

class CountingSite : public host::PropertyPageSite
{
public:
    host::Application *application() const override { return nullptr; }
    void OnStatusChange() override { ++changes; }
    int changes = 0;
};

class HostPageTest : public ::testing::Test
{
protected:
    void open()
    {
        page = std::make_unique<HostOptionsPage>(
            QStringList{home.path()}, [this](const HostSettings &s, const QHash<QString, QString> &) { applied << s; });
        page->setAccountsContext(openAccounts, &passwords);
        page->InitProperties(&site);
        page->show();
    }
    template<typename W>
    W *control(const char *name) const
    {
        return page->findChild<W *>(QLatin1String(name));
    }
    // The rows of one kind of source in the one list, without their kind.
    QStringList rowsOf(const QString &kind) const
    {
        QStringList out;
        auto *list = control<QListWidget>("lstSources");
        for (int i = 0; i < list->count(); ++i) {
            if (list->item(i)->text().startsWith(kind))
                out << list->item(i)->text().mid(kind.size());
        }
        return out;
    }
    QStringList rows() const { return rowsOf(QStringLiteral("Maildir: ")); }
    QStringList accountRows() const { return rowsOf(QStringLiteral("IMAP: ")); }

    TempHome home;
    CountingSite site;
    FakePasswordStore passwords;
    QStringList openAccounts;
    QList<HostSettings> applied;
    std::unique_ptr<HostOptionsPage> page;
};

TEST_F(HostPageTest, StoredSettingsShowAndEditsApplyLiveAndAreStored)
{
    HostSettings stored;
    stored.displayCommand = QStringLiteral("mutt -f %f");
    ASSERT_TRUE(stored.save());
    open();
    EXPECT_EQ(control<QLineEdit>("txtDisplayCommand")->text(), QStringLiteral("mutt -f %f"));
    EXPECT_FALSE(page->Dirty());
    EXPECT_EQ(rows(), QStringList{QDir(home.path()).canonicalPath() + QStringLiteral(" (default)")});

    QTest::keyClicks(control<QLineEdit>("txtMailClient"), QStringLiteral("thunderbird"));
    EXPECT_TRUE(page->Dirty());
    EXPECT_GT(site.changes, 0);
    page->Apply();
    EXPECT_FALSE(page->Dirty());
    ASSERT_EQ(applied.size(), 1);
    EXPECT_EQ(applied.first().mailClient, QStringLiteral("thunderbird"));
    EXPECT_EQ(HostSettings::load().mailClient, QStringLiteral("thunderbird"));
    EXPECT_EQ(HostSettings::load().displayCommand, QStringLiteral("mutt -f %f"));
}

// The add-in reads these two values under the host's key by name, so the names are part of
// what is tested here.
TEST_F(HostPageTest, QuietWhilePresentingAndTheNewMailCommandAreStoredWhereTheAddInReadsThem)
{
    open();
    auto *quiet = control<QCheckBox>("chkQuietWhilePresenting");
    auto *command = control<QLineEdit>("txtNewMailCommand");
    EXPECT_TRUE(quiet->isChecked()); // on until turned off
    EXPECT_EQ(command->text(), QString());

    quiet->click();
    QTest::keyClicks(command, QStringLiteral("  notify-send \"New mail\"  "));
    EXPECT_TRUE(page->Dirty());
    page->Apply();
    ASSERT_EQ(applied.size(), 1);
    EXPECT_FALSE(applied.first().quietWhilePresenting);
    const auto raw = [](const char *name) {
        return modRegistry::ReadRegistryValue(reg::HKEY_CURRENT_USER, HostSettings::Key, QLatin1String(name))
            .toString();
    };
    EXPECT_EQ(raw("QuietWhilePresenting"), QStringLiteral("0"));
    EXPECT_EQ(raw("NewMailCommand"), QStringLiteral("notify-send \"New mail\""));

    open();
    EXPECT_FALSE(control<QCheckBox>("chkQuietWhilePresenting")->isChecked());
    EXPECT_EQ(control<QLineEdit>("txtNewMailCommand")->text(), QStringLiteral("notify-send \"New mail\""));
    EXPECT_FALSE(page->Dirty());
}

TEST_F(HostPageTest, AnApplyThatCannotBeSavedSaysWhyStoresNothingAndKeepsThePage)
{
    HostSettings stored;
    stored.displayCommand = QString(2048, QLatin1Char('d')); // no rewrite fits the full disk below
    ASSERT_TRUE(stored.save());
    open();
    const QString file = RegistryStore::filePath(RegistryStore::Root::CurrentUser);
    const QByteArray before = fileBytes(file);
    QTest::keyClicks(control<QLineEdit>("txtMailClient"), QStringLiteral("thunderbird"));

    QString shown;
    {
        FullDisk full(1024);
        const ModalAnswer answer = acceptMessageBox(QStringLiteral("msgNotSaved"), &shown);
        page->Apply();
        EXPECT_TRUE(answer.answered());
    }
    EXPECT_EQ(shown,
              QStringLiteral("The mail settings could not be saved: %1 cannot be written: File too large. They "
                             "are kept on this page; press Apply to try again.")
                  .arg(file))
        << shown.toStdString();
    EXPECT_TRUE(page->Dirty());
    EXPECT_TRUE(applied.isEmpty()); // nothing takes effect that was not stored
    EXPECT_EQ(fileBytes(file), before);
    QFile log(HostProblemReport::logFile());
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_TRUE(QString::fromUtf8(log.readAll()).contains(QStringLiteral(" HostOptionsPage: ") + shown));

    page->Apply();
    EXPECT_FALSE(page->Dirty());
    EXPECT_EQ(HostSettings::load().mailClient, QStringLiteral("thunderbird"));
}

TEST_F(HostPageTest, StoresAreAddedForTheNextStartAndOnlyAddedOnesCanBeRemoved)
{
    const QString extra = home.path() + QStringLiteral("/Work");
    QDir().mkpath(extra);
    open();
    ModalAnswer answer(QStringLiteral("StoreDialog"), [&extra](QWidget *d) { chooseInFileDialog(d, extra); });
    QTest::mouseClick(control<QPushButton>("cmdAddStore"), Qt::LeftButton);
    ASSERT_TRUE(answer.answered());
    ASSERT_EQ(rows().size(), 2);
    EXPECT_TRUE(rows().at(1).endsWith(QStringLiteral("(watched after Apply)"))) << rows().at(1).toStdString();
    EXPECT_TRUE(page->Dirty());

    auto *list = control<QListWidget>("lstSources");
    list->setCurrentRow(0);
    EXPECT_FALSE(control<QPushButton>("cmdRemove")->isEnabled());
    page->Apply();
    EXPECT_EQ(HostSettings::load().stores.size(), 1);

    list->setCurrentRow(1);
    ASSERT_TRUE(control<QPushButton>("cmdRemove")->isEnabled());
    QTest::mouseClick(control<QPushButton>("cmdRemove"), Qt::LeftButton);
    EXPECT_EQ(rows().size(), 1);
    page->Apply();
    EXPECT_TRUE(HostSettings::load().stores.isEmpty());
}

} // namespace

namespace {

// A check box takes clicks on its square and its text only, not on the rest of its width.
QPoint boxPoint(QCheckBox *box)
{
    return QPoint(box->height() / 2, box->height() / 2);
}

} // namespace

TEST_F(HostPageTest, TheAutostartBoxShowsAndSwitchesTheLoginEntry)
{
    open();
    auto *box = control<QCheckBox>("chkAutostart");
    ASSERT_NE(box, nullptr);
    EXPECT_FALSE(box->isChecked());

    QTest::mouseClick(box, Qt::LeftButton, {}, boxPoint(box));
    EXPECT_TRUE(page->Dirty());
    page->Apply();
    EXPECT_FALSE(page->Dirty());
    EXPECT_TRUE(Autostart::isEnabled());

    // Opened again, the page shows the entry as it is.
    open();
    box = control<QCheckBox>("chkAutostart");
    EXPECT_TRUE(box->isChecked());
    QTest::mouseClick(box, Qt::LeftButton, {}, boxPoint(box));
    page->Apply();
    EXPECT_FALSE(Autostart::isEnabled());
}

namespace {

template<typename W>
W *child(QWidget *dialog, const char *name)
{
    return dialog->findChild<W *>(QLatin1String(name));
}

bool okEnabled(QWidget *dialog)
{
    return dialog->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->isEnabled();
}

// Types an account into the account dialog and presses OK.
void fillAccount(QWidget *dialog, const QString &host, const QString &user, const QString &password)
{
    child<QLineEdit>(dialog, "txtHost")->setText(host);
    child<QLineEdit>(dialog, "txtUser")->setText(user);
    child<QLineEdit>(dialog, "txtPassword")->setText(password);
    dialog->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->click();
}

} // namespace

TEST_F(HostPageTest, AnAccountAddedIsStoredWithoutItsPasswordWhichGoesToTheSecretService)
{
    open();
    bool okWithoutHost = true;
    ModalAnswer answer(QStringLiteral("ImapAccountDialog"), [&](QWidget *d) {
        okWithoutHost = okEnabled(d);
        EXPECT_EQ(child<QSpinBox>(d, "spnPort")->value(), 993);
        EXPECT_FALSE(child<QLabel>(d, "lblPlainWarning")->isVisible());
        // A user name that is itself an address, as many providers use.
        fillAccount(d, QStringLiteral("mail.example.org"), QStringLiteral("ann@example.org"), QStringLiteral("s3cret"));
    });
    QTest::mouseClick(control<QPushButton>("cmdAddAccount"), Qt::LeftButton);
    ASSERT_TRUE(answer.answered());
    EXPECT_FALSE(okWithoutHost);
    EXPECT_EQ(accountRows(),
              QStringList{QStringLiteral("ann@example.org@mail.example.org:993 (SSL/TLS) (watched after Apply)")});
    EXPECT_TRUE(page->Dirty());
    EXPECT_TRUE(passwords.stored.isEmpty()) << "nothing is kept before Apply";

    page->Apply();
    EXPECT_FALSE(page->Dirty());
    const QStringList stored = HostSettings::load().imapAccounts;
    ASSERT_EQ(stored.size(), 1);
    EXPECT_FALSE(stored.first().contains(QStringLiteral("s3cret")));
    const auto config = ImapAccountConfig::fromUrl(stored.first());
    ASSERT_TRUE(config);
    EXPECT_EQ(config->user, QStringLiteral("ann@example.org"));
    EXPECT_EQ(config->host, QStringLiteral("mail.example.org"));
    EXPECT_EQ(config->security, ImapAccountConfig::Security::ImplicitTls);
    EXPECT_EQ(passwords.stored.value(config->key()), QStringLiteral("s3cret"));

    // Opened again in a run that watches it: no "next start" note, and the same account
    // added again replaces it instead of listing it twice.
    openAccounts = {config->key()};
    open();
    EXPECT_EQ(accountRows(), QStringList{QStringLiteral("ann@example.org@mail.example.org:993 (SSL/TLS)")});
    ModalAnswer again(QStringLiteral("ImapAccountDialog"), [](QWidget *d) {
        fillAccount(d, QStringLiteral("mail.example.org"), QStringLiteral("ann@example.org"), QString());
    });
    QTest::mouseClick(control<QPushButton>("cmdAddAccount"), Qt::LeftButton);
    ASSERT_TRUE(again.answered());
    EXPECT_EQ(accountRows().size(), 1);
    page->Apply();
    // An empty password field leaves the kept password alone.
    EXPECT_EQ(passwords.stored.value(config->key()), QStringLiteral("s3cret"));

    auto *list = control<QListWidget>("lstSources");
    list->setCurrentRow(list->count() - 1);
    QTest::mouseClick(control<QPushButton>("cmdRemove"), Qt::LeftButton);
    page->Apply();
    EXPECT_TRUE(HostSettings::load().imapAccounts.isEmpty());
}

TEST_F(HostPageTest, NoEncryptionMustBeTickedAndShowsAWarning)
{
    open();
    ModalAnswer answer(QStringLiteral("ImapAccountDialog"), [](QWidget *d) {
        auto *security = child<QComboBox>(d, "cboSecurity");
        security->setCurrentIndex(1);
        EXPECT_EQ(child<QSpinBox>(d, "spnPort")->value(), 143) << "the default port follows the encryption";
        auto *plain = child<QCheckBox>(d, "chkPlain");
        plain->setChecked(true);
        EXPECT_TRUE(child<QLabel>(d, "lblPlainWarning")->isVisible());
        EXPECT_FALSE(security->isEnabled());
        // A port the user typed is theirs to keep.
        child<QSpinBox>(d, "spnPort")->setValue(10143);
        fillAccount(d, QStringLiteral("127.0.0.1"), QStringLiteral("bo"), QString());
    });
    QTest::mouseClick(control<QPushButton>("cmdAddAccount"), Qt::LeftButton);
    ASSERT_TRUE(answer.answered());
    page->Apply();
    const auto config = ImapAccountConfig::fromUrl(HostSettings::load().imapAccounts.value(0));
    ASSERT_TRUE(config);
    EXPECT_EQ(config->security, ImapAccountConfig::Security::Plain);
    EXPECT_EQ(config->port, 10143);
    EXPECT_EQ(accountRows(), QStringList{QStringLiteral("bo@127.0.0.1:10143 (no encryption) (watched after Apply)")});
}

TEST_F(HostPageTest, APasswordTheSecretServiceRefusesIsToldAndTheAccountIsStillKept)
{
    HostSettings stored;
    stored.imapAccounts = {QStringLiteral("not an address")};
    ASSERT_TRUE(stored.save());
    passwords.reachable = false;
    open();
    // A hand-edited entry is shown, never dropped unseen.
    EXPECT_EQ(accountRows(), QStringList{QStringLiteral("not an address (not understood)")});

    ModalAnswer add(QStringLiteral("ImapAccountDialog"), [](QWidget *d) {
        fillAccount(d, QStringLiteral("imap.example.net"), QStringLiteral("cy"), QStringLiteral("pw"));
    });
    QTest::mouseClick(control<QPushButton>("cmdAddAccount"), Qt::LeftButton);
    ASSERT_TRUE(add.answered());
    QString told;
    ModalAnswer box(QStringLiteral("PasswordNotKept"), [&told](QWidget *d) {
        told = static_cast<QMessageBox *>(d)->text();
        static_cast<QMessageBox *>(d)->accept();
    });
    page->Apply();
    ASSERT_TRUE(box.answered());
    EXPECT_TRUE(told.contains(QStringLiteral("cy@imap.example.net:993: no secret service."))) << told.toStdString();
    EXPECT_TRUE(told.contains(QStringLiteral("asks for it when it starts"))) << told.toStdString();
    EXPECT_EQ(HostSettings::load().imapAccounts.size(), 2);
}

TEST_F(HostPageTest, APop3AccountIsAddedWithItsIntervalAndStoredApartFromTheImapOnes)
{
    open();
    ModalAnswer answer(QStringLiteral("Pop3AccountDialog"), [](QWidget *d) {
        EXPECT_EQ(child<QSpinBox>(d, "spnPort")->value(), 995);
        EXPECT_EQ(child<QSpinBox>(d, "spnInterval")->value(), 5);
        EXPECT_EQ(child<QSpinBox>(d, "spnInterval")->minimum(), 1);
        // The default port follows the encryption, as for IMAP.
        child<QComboBox>(d, "cboSecurity")->setCurrentIndex(1);
        EXPECT_EQ(child<QSpinBox>(d, "spnPort")->value(), 110);
        child<QSpinBox>(d, "spnInterval")->setValue(15);
        fillAccount(d, QStringLiteral("pop.example.org"), QStringLiteral("ann"), QStringLiteral("s3cret"));
    });
    QTest::mouseClick(control<QPushButton>("cmdAddPop3"), Qt::LeftButton);
    ASSERT_TRUE(answer.answered());
    EXPECT_EQ(rowsOf(QStringLiteral("POP3: ")),
              QStringList{QStringLiteral("ann@pop.example.org:110 (STLS, every 15 minute(s)) (watched after Apply)")});
    EXPECT_TRUE(accountRows().isEmpty());

    page->Apply();
    const HostSettings stored = HostSettings::load();
    EXPECT_TRUE(stored.imapAccounts.isEmpty());
    ASSERT_EQ(stored.pop3Accounts.size(), 1);
    EXPECT_FALSE(stored.pop3Accounts.first().contains(QStringLiteral("s3cret")));
    const auto config = Pop3AccountConfig::fromUrl(stored.pop3Accounts.first());
    ASSERT_TRUE(config);
    EXPECT_EQ(config->security, Pop3AccountConfig::Security::StartTls);
    EXPECT_EQ(config->intervalMinutes, 15);
    EXPECT_EQ(passwords.stored.value(config->key()), QStringLiteral("s3cret"));
    ASSERT_EQ(applied.size(), 1);
    EXPECT_EQ(applied.first().pop3Accounts, stored.pop3Accounts);

    // Edited in place: the dialog shows what was kept.
    auto *list = control<QListWidget>("lstSources");
    list->setCurrentRow(list->count() - 1);
    ModalAnswer edit(QStringLiteral("Pop3AccountDialog"), [](QWidget *d) {
        EXPECT_EQ(child<QSpinBox>(d, "spnInterval")->value(), 15);
        EXPECT_EQ(child<QSpinBox>(d, "spnPort")->value(), 110);
        child<QSpinBox>(d, "spnInterval")->setValue(1);
        fillAccount(d, QStringLiteral("pop.example.org"), QStringLiteral("ann"), QString());
    });
    QTest::mouseClick(control<QPushButton>("cmdEdit"), Qt::LeftButton);
    ASSERT_TRUE(edit.answered());
    page->Apply();
    ASSERT_EQ(HostSettings::load().pop3Accounts.size(), 1);
    EXPECT_EQ(Pop3AccountConfig::fromUrl(HostSettings::load().pop3Accounts.first())->intervalMinutes, 1);

    list->setCurrentRow(list->count() - 1);
    QTest::mouseClick(control<QPushButton>("cmdRemove"), Qt::LeftButton);
    page->Apply();
    EXPECT_TRUE(HostSettings::load().pop3Accounts.isEmpty());
}
