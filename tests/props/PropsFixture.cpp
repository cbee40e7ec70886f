#include "tests/props/PropsFixture.h"

#include "platform/core/Registry.h"
#include "settings/modRegistry.h"
#include "tools/PeWriter.h"

#include <QDir>
#include <QFile>

namespace lumora::test {

PropsFixture::PropsFixture()
{
    published.controller = &controller;
    app.comAddIns()->add(QStringLiteral("Lumora.Connect"))->setObject(&published);
    props().logWriter = log;
    setHostVersion(10);
}

PropsFixture::~PropsFixture()
{
    props().logWriter.reset();
    props().logging.reset();
    props().application = nullptr;
}

void PropsFixture::setHostVersion(int major)
{
    PeWriter::VersionData data;
    data.fileVersion[0] = static_cast<quint16>(major);
    data.stringTables = {{QStringLiteral("040904B0"), {{QStringLiteral("CompanyName"), QStringLiteral("Test")}}}};
    const QString folder = programDir.path() + QLatin1Char('/');
    PeWriter::writeFile(folder + QStringLiteral("OUTLOOK.EXE"),
                        PeWriter::image(PeWriter::versionResource(data), false));
    modRegistry::WriteRegistryValue(
        reg::HKEY_LOCAL_MACHINE, QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\OUTLOOK.EXE"),
        QStringLiteral("Path"), folder, reg::REG_SZ);
}

QString PropsFixture::settingsKey(int major) const
{
    return QStringLiteral("Software\\Microsoft\\Office\\%1.0\\Outlook\\Options\\Lumora").arg(major);
}

void PropsFixture::store(const char *name, const QString &text, int major)
{
    modRegistry::WriteRegistryValue(reg::HKEY_CURRENT_USER, settingsKey(major), QLatin1String(name), text, reg::REG_SZ);
}

QString PropsFixture::stored(const char *name, int major) const
{
    const QVariant v = modRegistry::ReadRegistryValue(reg::HKEY_CURRENT_USER, settingsKey(major), QLatin1String(name));
    return v.isNull() ? QStringLiteral("<missing>") : v.toString();
}

QString PropsFixture::iniPath() const
{
    return propsDataFolder() + QStringLiteral("/Lumora.ini");
}

void PropsFixture::writeIni(const QByteArray &text)
{
    QDir().mkpath(propsDataFolder());
    QFile file(iniPath());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text);
}

QByteArray PropsFixture::readIni() const
{
    QFile file(iniPath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace lumora::test
