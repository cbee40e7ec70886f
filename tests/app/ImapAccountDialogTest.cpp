// The account dialog's sign-in choices: presets from a typed address, a token command, and
// the desktop's online accounts read from a fake service on the test's own session bus.
#include "app/ImapAccountDialog.h"
#include "tests/testsupport/FakeOnlineAccounts.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QJsonArray>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStandardItemModel>
#include <QTest>

#include <gtest/gtest.h>

using namespace lumora;
using lumora::test::FakeOnlineAccounts;

namespace {

template<typename T>
T *child(QWidget *dialog, const char *name)
{
    T *w = dialog->findChild<T *>(QString::fromLatin1(name));
    EXPECT_TRUE(w) << name;
    return w;
}

bool okEnabled(QWidget *dialog)
{
    return dialog->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->isEnabled();
}

QJsonObject mailAccount(const QString &id, const QString &provider, const QString &address, const QString &host)
{
    return {{QStringLiteral("Id"), id},
            {QStringLiteral("ProviderType"), provider.toLower()},
            {QStringLiteral("ProviderName"), provider},
            {QStringLiteral("PresentationIdentity"), address},
            {QStringLiteral("MailDisabled"), false},
            {QStringLiteral("AttentionNeeded"), false},
            {QStringLiteral("EmailAddress"), address},
            {QStringLiteral("ImapSupported"), true},
            {QStringLiteral("ImapHost"), host},
            {QStringLiteral("ImapUserName"), address},
            {QStringLiteral("ImapUseSsl"), true},
            {QStringLiteral("ImapUseTls"), false},
            {QStringLiteral("ImapAcceptSslErrors"), false},
            {QStringLiteral("oauth2"), true}};
}

using Choice = ImapAccountDialog::SignInChoice;

// One session bus for the whole run (Qt connects to it once); the service on it comes and goes.
class AccountDialog : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_fake = new FakeOnlineAccounts;
        if (!s_fake->start(false))
            ADD_FAILURE() << s_fake->errorText().toStdString();
        qputenv("DBUS_SESSION_BUS_ADDRESS", s_fake->busAddress().toUtf8());
    }
    static void TearDownTestSuite()
    {
        delete s_fake;
        s_fake = nullptr;
    }
    void TearDown() override { s_fake->stopService(); }

    static int signIn(QWidget *d) { return child<QComboBox>(d, "cboSignIn")->currentIndex(); }
    static void type(QWidget *d, const char *name, const QString &text)
    {
        QTest::keyClicks(child<QLineEdit>(d, name), text);
    }

    static inline FakeOnlineAccounts *s_fake = nullptr;
};

TEST_F(AccountDialog, AnAddressAtAKnownProviderFillsTheServerInAndAsksForOAuth2WherePasswordsAreRefused)
{
    ImapAccountDialog dialog(std::optional<ImapAccountConfig>{});
    dialog.show();
    type(&dialog, "txtUser", QStringLiteral("alice@gmail.com"));
    EXPECT_EQ(child<QLineEdit>(&dialog, "txtHost")->text(), QStringLiteral("imap.gmail.com"));
    EXPECT_EQ(child<QSpinBox>(&dialog, "spnPort")->value(), 993);
    // No online account here: the command is the way, and the dialog says why.
    EXPECT_EQ(signIn(&dialog), int(Choice::TokenCommand));
    EXPECT_TRUE(child<QLabel>(&dialog, "lblPreset")->isVisible());
    EXPECT_TRUE(child<QLabel>(&dialog, "lblPreset")->text().contains(QLatin1String("Google")));
    EXPECT_FALSE(child<QLineEdit>(&dialog, "txtPassword")->isVisible());
    EXPECT_FALSE(okEnabled(&dialog)) << "an OAuth2 account needs its command";
    type(&dialog, "txtTokenCommand", QStringLiteral("oama access alice@gmail.com"));
    EXPECT_TRUE(okEnabled(&dialog));
    const ImapAccountConfig c = dialog.config();
    EXPECT_EQ(c.signIn, ImapAccountConfig::SignIn::OAuth2);
    EXPECT_EQ(c.tokenCommand, QStringLiteral("oama access alice@gmail.com"));
    EXPECT_TRUE(dialog.password().isEmpty());
    EXPECT_EQ(ImapAccountConfig::fromUrl(c.toUrl())->tokenCommand, c.tokenCommand);
}

TEST_F(AccountDialog, OtherAddressesKeepTheManualFieldsAndAServerTheUserTypedStays)
{
    ImapAccountDialog yahoo(std::optional<ImapAccountConfig>{});
    type(&yahoo, "txtUser", QStringLiteral("carol@yahoo.com"));
    EXPECT_EQ(child<QLineEdit>(&yahoo, "txtHost")->text(), QStringLiteral("imap.mail.yahoo.com"));
    EXPECT_EQ(signIn(&yahoo), int(Choice::Password)) << "Yahoo still takes (app) passwords";

    ImapAccountDialog unknown(std::optional<ImapAccountConfig>{});
    type(&unknown, "txtUser", QStringLiteral("dave@example.org"));
    EXPECT_TRUE(child<QLineEdit>(&unknown, "txtHost")->text().isEmpty());
    EXPECT_EQ(signIn(&unknown), int(Choice::Password));

    ImapAccountDialog typed(std::optional<ImapAccountConfig>{});
    type(&typed, "txtHost", QStringLiteral("mail.company.example"));
    type(&typed, "txtUser", QStringLiteral("erin@gmail.com"));
    EXPECT_EQ(child<QLineEdit>(&typed, "txtHost")->text(), QStringLiteral("mail.company.example"));
    EXPECT_EQ(signIn(&typed), int(Choice::Password));

    // A preset's server follows the address as it is corrected.
    ImapAccountDialog corrected(std::optional<ImapAccountConfig>{});
    type(&corrected, "txtUser", QStringLiteral("frank@gmail.com"));
    QLineEdit *user = child<QLineEdit>(&corrected, "txtUser");
    user->selectAll();
    QTest::keyClicks(user, QStringLiteral("frank@outlook.com"));
    EXPECT_EQ(child<QLineEdit>(&corrected, "txtHost")->text(), QStringLiteral("outlook.office365.com"));
}

TEST_F(AccountDialog, WithoutTheServiceTheOnlineChoiceIsGreyedWithTheReason)
{
    ImapAccountDialog dialog(std::optional<ImapAccountConfig>{});
    dialog.show();
    auto *model = qobject_cast<QStandardItemModel *>(child<QComboBox>(&dialog, "cboSignIn")->model());
    ASSERT_TRUE(model);
    EXPECT_FALSE(model->item(int(Choice::OnlineAccount))->isEnabled());
    QLabel *reason = child<QLabel>(&dialog, "lblOnlineReason");
    EXPECT_TRUE(reason->isVisible());
    EXPECT_GT(reason->height(), 10);
    EXPECT_TRUE(reason->text().contains(QLatin1String("not running"))) << reason->text().toStdString();
    EXPECT_EQ(model->item(int(Choice::OnlineAccount))->toolTip(), reason->text());
}

TEST_F(AccountDialog, AnOnlineAccountIsPickedFromTheDesktopsListAndBringsItsServer)
{
    ASSERT_TRUE(s_fake->setAccounts(
        {mailAccount(QStringLiteral("account_1"), QStringLiteral("Google"), QStringLiteral("zoe@gmail.com"),
                     QStringLiteral("imap.gmail.com")),
         mailAccount(QStringLiteral("account_2"), QStringLiteral("Microsoft"), QStringLiteral("yan@outlook.com"),
                     QStringLiteral("outlook.office365.com:993"))}));
    ASSERT_TRUE(s_fake->startService()) << s_fake->errorText().toStdString();

    ImapAccountDialog dialog(std::optional<ImapAccountConfig>{});
    dialog.show();
    EXPECT_FALSE(child<QLabel>(&dialog, "lblOnlineReason")->isVisible());
    QComboBox *accounts = child<QComboBox>(&dialog, "cboOnlineAccount");
    ASSERT_EQ(accounts->count(), 2);
    EXPECT_TRUE(accounts->itemText(1).contains(QLatin1String("zoe@gmail.com")));

    // Typing the address of an account the desktop has picks that account.
    type(&dialog, "txtUser", QStringLiteral("yan@outlook.com"));
    EXPECT_EQ(signIn(&dialog), int(Choice::OnlineAccount));
    EXPECT_EQ(accounts->currentData().toString(), QStringLiteral("account_2"));
    EXPECT_EQ(child<QLineEdit>(&dialog, "txtHost")->text(), QStringLiteral("outlook.office365.com"));
    EXPECT_FALSE(child<QLineEdit>(&dialog, "txtHost")->isEnabled()) << "the desktop's account brings its server";
    // The way back to a password stays open; the password's rows go.
    EXPECT_TRUE(child<QComboBox>(&dialog, "cboSignIn")->isVisible());
    EXPECT_GT(child<QComboBox>(&dialog, "cboSignIn")->height(), 10) << "squeezed out by the rows that came";
    EXPECT_TRUE(child<QComboBox>(&dialog, "cboSignIn")->isEnabled());
    EXPECT_FALSE(child<QLineEdit>(&dialog, "txtPassword")->isVisible());
    EXPECT_FALSE(child<QLabel>(&dialog, "lblPasswordKept")->isVisible());

    accounts->setCurrentIndex(accounts->findData(QStringLiteral("account_1")));
    EXPECT_EQ(child<QLineEdit>(&dialog, "txtHost")->text(), QStringLiteral("imap.gmail.com"));
    EXPECT_EQ(child<QLineEdit>(&dialog, "txtUser")->text(), QStringLiteral("zoe@gmail.com"));
    EXPECT_TRUE(okEnabled(&dialog));
    const ImapAccountConfig c = dialog.config();
    EXPECT_EQ(c.onlineAccount, QStringLiteral("account_1"));
    EXPECT_EQ(c.signIn, ImapAccountConfig::SignIn::OAuth2);

    // Opened again later, the account is selected again; one the desktop dropped is kept
    // and marked rather than silently replaced.
    ImapAccountDialog again(ImapAccountConfig::fromUrl(c.toUrl()));
    EXPECT_EQ(signIn(&again), int(Choice::OnlineAccount));
    EXPECT_EQ(child<QComboBox>(&again, "cboOnlineAccount")->currentData().toString(), QStringLiteral("account_1"));
    ImapAccountConfig gone = c;
    gone.onlineAccount = QStringLiteral("account_9");
    ImapAccountDialog dropped(gone);
    QComboBox *list = child<QComboBox>(&dropped, "cboOnlineAccount");
    EXPECT_EQ(list->currentData().toString(), QStringLiteral("account_9"));
    EXPECT_TRUE(list->currentText().contains(QLatin1String("not found")));
    EXPECT_EQ(dropped.config().onlineAccount, QStringLiteral("account_9"));
}

} // namespace
