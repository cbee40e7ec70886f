#include "tests/addin/AddInFixture.h"

#include "popup/PopupWindow.h"
#include "tray/Main.h"

#include "settings/SettingsLocation.h"

#include "host/COMAddIns.h"
#include "host/ComponentFactory.h"
#include "platform/core/Clock.h"
#include "platform/core/Registry.h"
#include "platform/core/Verbose.h"
#include "settings/CINIFile.h"
#include "settings/SettingsLocation.h"
#include "settings/modRegistry.h"
#include "settings/modSpecialFolders.h"
#include "tools/PeWriter.h"

#include <QDir>
#include <QFile>

namespace lumora::test {

AddInFixture::AddInFixture()
    : AddInFixture(QDateTime(QDate(2026, 1, 5), QTime(9, 0)))
{
}

AddInFixture::AddInFixture(const QDateTime &start)
    : clock(start)
{
    Clock::setInstance(&clock);
    Verbose::setEnabled(true);
    Verbose::setSink([this](const QString &line) { trace.append(line); });
    addIn().libraryFolder = libraryDir.path();
    setTemplateIni("[Setup]\nInit=1\n\n[EntryID]\n");
    setHostVersion(10);
    host::ComponentFactory::registerBuiltins();
    inbox = app.addStore(QStringLiteral("Personal Folders"));
}

AddInFixture::~AddInFixture()
{
    connect.reset();
    Verbose::setSink({});
    Verbose::setEnabled(false);
    Clock::setInstance(nullptr);
}

void AddInFixture::setHostVersion(int major)
{
    PeWriter::VersionData data;
    data.fileVersion[0] = static_cast<quint16>(major);
    data.stringTables = {{QStringLiteral("040904B0"), {{QStringLiteral("CompanyName"), QStringLiteral("Test")}}}};
    const QString folder = libraryDir.path() + QStringLiteral("/host/");
    QDir().mkpath(folder);
    PeWriter::writeFile(folder + QStringLiteral("OUTLOOK.EXE"),
                        PeWriter::image(PeWriter::versionResource(data), false));
    modRegistry::WriteRegistryValue(
        reg::HKEY_LOCAL_MACHINE, QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\OUTLOOK.EXE"),
        QStringLiteral("Path"), folder, reg::REG_SZ);
}

void AddInFixture::setTemplateIni(const QByteArray &text)
{
    QFile file(libraryDir.path() + QStringLiteral("/Lumora.ini"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text);
}

void AddInFixture::connectAddIn(bool withExplorer)
{
    if (withExplorer && !explorer)
        explorer = app.openExplorer();
    connect = std::make_unique<Connect>();
    host::COMAddIn *entry = app.comAddIns()->add(QStringLiteral("Lumora.Connect"));
    connect->AddinInstance_OnConnection(&app, 0, entry, QVariant());
}

void AddInFixture::connectAddInTo(host::Application *host)
{
    connect = std::make_unique<Connect>();
    host::COMAddIn *entry = host->comAddIns()->add(QStringLiteral("Lumora.Connect"));
    connect->AddinInstance_OnConnection(host, 0, entry, QVariant());
}

void AddInFixture::disconnectAddIn()
{
    if (connect)
        connect->AddinInstance_OnDisconnection(0, QVariant());
}

QString AddInFixture::dataFolder() const
{
    return SettingsLocation::dataFolder();
}

void AddInFixture::watch(const QStringList &entries)
{
    QDir().mkpath(dataFolder());
    QFile file(iniPath());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QByteArray text = "[Setup]\nInit=0\n\n[EntryID]\n";
    for (int i = 0; i < entries.size(); ++i)
        text += "EID" + QByteArray::number(i) + " = " + entries.at(i).toUtf8() + '\n';
    file.write(text);
}

QString AddInFixture::entryFor(const MemoryFolderPtr &folder) const
{
    return folder->EntryID() + QLatin1Char('|') + folder->StoreID();
}

MemoryItemPtr AddInFixture::deliver(const QString &subject, const QDateTime &received, int importance,
                                    const MemoryFolderPtr &folder)
{
    MemoryItemData data;
    data.subject = subject;
    data.senderName = QStringLiteral("Ann Sender");
    data.receivedTime = received;
    data.importance = importance;
    return app.deliver(folder ? folder : inbox, data, true);
}

int AddInFixture::traceCount(const QString &prefix) const
{
    int n = 0;
    for (const QString &line : trace)
        n += line.startsWith(prefix) ? 1 : 0;
    return n;
}

QStringList AddInFixture::popupLines() const
{
    QStringList lines;
    for (const QString &line : trace) {
        if (line.startsWith(QStringLiteral("popup:")) && line.contains(QStringLiteral(", folder \"")))
            lines << line;
    }
    return lines;
}

Main *AddInFixture::main() const
{
    return controller()->mainForm();
}

PopupWindow *AddInFixture::popup() const
{
    return main()->popup();
}

void AddInFixture::drainPopup()
{
    for (int i = 0; i < 600 && popup()->isShowing(); ++i)
        clock.advance(100);
    ASSERT_FALSE(popup()->isShowing());
}

} // namespace lumora::test
