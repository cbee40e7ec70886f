#pragma once

#include "host/PropertyPage.h"
#include "host/memory/MemoryApplication.h"
#include "props/PropsGlobals.h"

#include "tests/testsupport/TempHome.h"

#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace lumora::test {

// Stands in for the add-in's controller: records the late-bound calls the page makes.
class RecordingController : public QObject
{
    Q_OBJECT
public:
    Q_INVOKABLE void UpdatePopupSettings() { calls << QStringLiteral("UpdatePopupSettings"); }
    Q_INVOKABLE void TestPopup() { calls << QStringLiteral("TestPopup"); }
    Q_INVOKABLE void LoadFoldersToScan() { calls << QStringLiteral("LoadFoldersToScan"); }
    QStringList calls;
};

// The add-in's published object, whose PPClass is the controller.
class PublishedAddIn : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QObject *PPClass READ PPClass)
public:
    QObject *PPClass() const { return controller; }
    QObject *controller = nullptr;
};

class RecordingSite : public host::PropertyPageSite
{
    Q_OBJECT
public:
    explicit RecordingSite(host::Application *app)
        : m_app(app)
    {
    }
    host::Application *application() const override { return m_app; }
    void OnStatusChange() override { ++statusChanges; }
    int statusChanges = 0;

private:
    host::Application *m_app;
};

class RecordingLog : public host::LogWriter
{
    Q_OBJECT
public:
    void Log(int level, const QString &procedure, const QString &message) override
    {
        entries << QStringLiteral("%1|%2|%3").arg(level).arg(procedure, message);
    }
    QStringList entries;
};

// A private home, a host program of a chosen version, an in-memory host with the add-in
// entry published, and a recording log for the page library.
class PropsFixture : public ::testing::Test
{
protected:
    PropsFixture();
    ~PropsFixture() override;

    void setHostVersion(int major);
    QString settingsKey(int major = 10) const;
    void store(const char *name, const QString &text, int major = 10);
    QString stored(const char *name, int major = 10) const;
    QString iniPath() const;
    void writeIni(const QByteArray &text);
    QByteArray readIni() const;

    TempHome home;
    QTemporaryDir programDir;
    MemoryApplication app;
    RecordingController controller;
    PublishedAddIn published;
    RecordingSite site{&app};
    std::shared_ptr<RecordingLog> log = std::make_shared<RecordingLog>();
};

} // namespace lumora::test
