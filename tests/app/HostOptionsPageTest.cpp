// The host's own options page: stored settings shown, edits applied live and stored, stores
// added through the directory dialog and removed again.
#include "app/HostOptionsPage.h"
#include "app/Autostart.h"

#include "app/HostProblemReport.h"
#include "host/Application.h"
#include "platform/RegistryStore.h"
#include "tests/testsupport/FullDisk.h"
#include "tests/testsupport/ModalAnswer.h"
#include "tests/testsupport/TempHome.h"

#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
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
        page = std::make_unique<HostOptionsPage>(QStringList{home.path()},
                                                 [this](const HostSettings &s) { applied << s; });
        page->InitProperties(&site);
        page->show();
    }
    template<typename W>
    W *control(const char *name) const
    {
        return page->findChild<W *>(QLatin1String(name));
    }
    QStringList rows() const
    {
        QStringList out;
        auto *list = control<QListWidget>("lstStores");
        for (int i = 0; i < list->count(); ++i)
            out << list->item(i)->text();
        return out;
    }

    TempHome home;
    CountingSite site;
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
    EXPECT_TRUE(rows().at(1).endsWith(QStringLiteral("(from the next start)"))) << rows().at(1).toStdString();
    EXPECT_TRUE(page->Dirty());

    auto *list = control<QListWidget>("lstStores");
    list->setCurrentRow(0);
    EXPECT_FALSE(control<QPushButton>("cmdRemoveStore")->isEnabled());
    page->Apply();
    EXPECT_EQ(HostSettings::load().stores.size(), 1);

    list->setCurrentRow(1);
    ASSERT_TRUE(control<QPushButton>("cmdRemoveStore")->isEnabled());
    QTest::mouseClick(control<QPushButton>("cmdRemoveStore"), Qt::LeftButton);
    EXPECT_EQ(rows().size(), 1);
    page->Apply();
    EXPECT_TRUE(HostSettings::load().stores.isEmpty());
}

} // namespace

TEST_F(HostPageTest, TheAutostartBoxShowsAndSwitchesTheLoginEntry)
{
    open();
    auto *box = control<QCheckBox>("chkAutostart");
    ASSERT_NE(box, nullptr);
    EXPECT_FALSE(box->isChecked());

    QTest::mouseClick(box, Qt::LeftButton);
    EXPECT_TRUE(page->Dirty());
    page->Apply();
    EXPECT_FALSE(page->Dirty());
    EXPECT_TRUE(Autostart::isEnabled());

    // Opened again, the page shows the entry as it is.
    open();
    box = control<QCheckBox>("chkAutostart");
    EXPECT_TRUE(box->isChecked());
    QTest::mouseClick(box, Qt::LeftButton);
    page->Apply();
    EXPECT_FALSE(Autostart::isEnabled());
}
