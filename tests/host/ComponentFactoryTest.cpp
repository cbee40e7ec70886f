#include "host/ComponentFactory.h"
#include "host/FileLogging.h"
#include "host/HostSafeMailItem.h"

#include "platform/core/Registry.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

using namespace lumora;
using namespace lumora::host;

namespace {

QStringList g_warnings;

void captureWarnings(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtWarningMsg)
        g_warnings << message;
}

// Registers progId as class clsid served by the library at server.
void registerClass(const QString &progId, const QString &clsid, const QString &server)
{
    for (const auto &[subKey, value] :
         {std::pair{progId + QLatin1String("\\CLSID"), clsid},
          std::pair{QLatin1String("CLSID\\") + clsid + QLatin1String("\\InprocServer32"), server}}) {
        reg::HKEY key = 0;
        ASSERT_EQ(reg::RegCreateKeyA(reg::HKEY_CLASSES_ROOT, subKey, &key), reg::ERROR_SUCCESS);
        QByteArray data = value.toUtf8();
        data.append('\0');
        ASSERT_EQ(reg::RegSetValueExA(key, QString(), 0, reg::REG_SZ,
                                      reinterpret_cast<const unsigned char *>(data.constData()),
                                      reg::DWORD(data.size())),
                  reg::ERROR_SUCCESS);
        reg::RegCloseKey(key);
    }
}

class ComponentFactoryTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g_warnings.clear();
        m_previous = qInstallMessageHandler(captureWarnings);
    }
    void TearDown() override { qInstallMessageHandler(m_previous); }

    // Creates the object and expects it refused with exactly one line saying why.
    void expectRefused(const QString &progId, const QString &reason)
    {
        g_warnings.clear();
        std::unique_ptr<QObject> object(factory.CreateObject(progId));
        EXPECT_EQ(object, nullptr) << progId.toStdString();
        ASSERT_EQ(g_warnings.size(), 1) << progId.toStdString();
        EXPECT_TRUE(g_warnings.first().contains(reason)) << g_warnings.first().toStdString();
        EXPECT_FALSE(g_warnings.first().contains(QLatin1Char('\n')));
    }

    ComponentFactory factory;
    QtMessageHandler m_previous = nullptr;
};

} // namespace

TEST_F(ComponentFactoryTest, BuiltinsAreCreatedFromTheirRegistration)
{
    std::unique_ptr<QObject> before(factory.CreateObject(QString::fromLatin1(FileLogging::ProgId)));
    EXPECT_EQ(before, nullptr) << "nothing is created before registration";

    ASSERT_TRUE(ComponentFactory::registerBuiltins());
    std::unique_ptr<QObject> logging(factory.CreateObject(QStringLiteral("VURERIVEVI.cLogging")));
    EXPECT_NE(qobject_cast<FileLogging *>(logging.get()), nullptr);
    std::unique_ptr<QObject> safeMail(factory.CreateObject(QStringLiteral("QuaySafeLib.SafeMailItem")));
    EXPECT_NE(qobject_cast<HostSafeMailItem *>(safeMail.get()), nullptr);
    EXPECT_NE(safeMail, logging);
}

TEST_F(ComponentFactoryTest, UnknownOrDamagedRegistrationGivesNull)
{
    QTemporaryDir dir;
    const QString textFile = dir.filePath(QStringLiteral("notalibrary.so"));
    {
        QFile file(textFile);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("this is not a shared object\n");
    }
    registerClass(QStringLiteral("Test.Missing"), QStringLiteral("{11111111-0000-0000-0000-000000000001}"),
                  dir.filePath(QStringLiteral("gone.so")));
    registerClass(QStringLiteral("Test.Text"), QStringLiteral("{11111111-0000-0000-0000-000000000002}"), textFile);
    registerClass(QStringLiteral("Test.NotPlugin"), QStringLiteral("{11111111-0000-0000-0000-000000000003}"),
                  QStringLiteral(LUMORA_NON_PLUGIN_LIBRARY));
    registerClass(QStringLiteral("Test.Old"), QStringLiteral("{11111111-0000-0000-0000-000000000004}"),
                  QStringLiteral(LUMORA_OLD_PLUGIN));
    registerClass(QStringLiteral("Test.UnknownBuiltin"), QStringLiteral("{11111111-0000-0000-0000-000000000005}"),
                  QStringLiteral("builtin"));
    registerClass(QStringLiteral("Test.Escape"), QStringLiteral("..\\Other"), QStringLiteral("builtin"));

    expectRefused(QStringLiteral("No.Such.Thing"), QStringLiteral("not registered"));
    expectRefused(QString(), QStringLiteral("not a valid prog-id"));
    expectRefused(QStringLiteral("CLSID\\x"), QStringLiteral("not a valid prog-id"));
    expectRefused(QStringLiteral("Test.Missing"), QStringLiteral("missing"));
    expectRefused(QStringLiteral("Test.Text"), QStringLiteral("cannot be loaded"));
    expectRefused(QStringLiteral("Test.NotPlugin"), QStringLiteral("cannot be loaded"));
    expectRefused(QStringLiteral("Test.Old"),
                  QStringLiteral("built for contract org.corvane.lumora.ComponentPlugin/0"));
    expectRefused(QStringLiteral("Test.UnknownBuiltin"), QStringLiteral("not one of the host's own"));
    expectRefused(QStringLiteral("Test.Escape"), QStringLiteral("not registered"));
}

TEST_F(ComponentFactoryTest, LibraryRegistersItselfAndCreatesItsObjects)
{
    const QString library = QStringLiteral(LUMORA_TEST_PLUGIN);
    expectRefused(QStringLiteral("LumoraTest.Widget"), QStringLiteral("not registered"));

    ASSERT_TRUE(factory.registerLibrary(library));
    std::unique_ptr<QObject> widget(factory.CreateObject(QStringLiteral("LumoraTest.Widget")));
    ASSERT_NE(widget, nullptr);
    EXPECT_EQ(widget->objectName(), QStringLiteral("test widget"));
    std::unique_ptr<QObject> second(factory.CreateObject(QStringLiteral("LumoraTest.Widget")));
    EXPECT_NE(second, nullptr) << "the loaded library is reused";

    ASSERT_TRUE(factory.unregisterLibrary(library));
    expectRefused(QStringLiteral("LumoraTest.Widget"), QStringLiteral("not registered"));
    EXPECT_EQ(widget->objectName(), QStringLiteral("test widget")) << "objects outlive the registration";

    g_warnings.clear();
    EXPECT_FALSE(factory.registerLibrary(QStringLiteral(LUMORA_OLD_PLUGIN)));
    EXPECT_FALSE(factory.registerLibrary(QStringLiteral("/nonexistent/libnothing.so")));
    EXPECT_EQ(g_warnings.size(), 2);
}
