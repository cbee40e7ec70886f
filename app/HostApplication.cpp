#include "app/HostApplication.h"

#include "app/OptionsDialog.h"
#ifdef LUMORA_OPTIONS_TEST_DRIVER
#include "app/OptionsTestDriver.h"
#endif
#include "app/SysInfoRegistration.h"
#include "host/ComponentFactory.h"
#include "platform/core/Registry.h"
#include "platform/core/RegistryStore.h"
#include "platform/core/Verbose.h"
#include "settings/modRegistry.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QMetaObject>

namespace lumora {

using namespace reg;

namespace {

const QString kAddinsKey = QStringLiteral("Software\\Microsoft\\Office\\Outlook\\Addins");
const QString kAppPathsKey = QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\OUTLOOK.EXE");
// Bundled plugin libraries and a prog-id each registers, registered on start when missing
// or registered elsewhere.
struct BundledPlugin
{
    const char *file;
    const char *progId;
};
const BundledPlugin kBundledPlugins[] = {
    {"LumoraAddIn.so", "Lumora.Connect"},
    {"LumoraProps.so", "LumoraProps.ctlLumora"},
};

QString readText(HKEY root, const QString &path, const QString &name)
{
    return modRegistry::ReadRegistryValue(root, path, name).toString();
}

QStringList subKeys(HKEY root, const QString &path)
{
    QStringList names;
    HKEY key = 0;
    if (RegOpenKeyA(root, path, &key) != ERROR_SUCCESS)
        return names;
    QString name;
    for (DWORD i = 0; RegEnumKeyA(key, i, &name) == ERROR_SUCCESS; ++i)
        names.append(name);
    RegCloseKey(key);
    return names;
}

// The library a prog-id's class is registered with, or empty.
QString registeredLibrary(const QString &progId)
{
    const QString classId = readText(HKEY_CLASSES_ROOT, progId + QStringLiteral("\\CLSID"), QString());
    if (classId.isEmpty())
        return QString();
    return readText(HKEY_CLASSES_ROOT, QStringLiteral("CLSID\\") + classId + QStringLiteral("\\InprocServer32"),
                    QString());
}

} // namespace

HostApplication::HostApplication(host::Application *application, std::function<void()> closeExplorer, QObject *parent)
    : QObject(parent)
    , m_application(application)
    , m_closeExplorer(std::move(closeExplorer))
{
}

HostApplication::~HostApplication()
{
    shutdown();
}

int HostApplication::start()
{
    if (m_application) {
        connect(m_application, &host::Application::OptionsRequested, this, &HostApplication::showOptions);
        // Queued: the menu that asked has closed before the dialogs and loops are ended.
        connect(
            m_application, &host::Application::QuitRequested, this,
            [this] {
                Verbose::line(QStringLiteral("quitting (the tray menu's Quit)"));
                quit(0);
            },
            Qt::QueuedConnection);
    }
    QString sysInfo;
    {
        // The host, its components and its plugins register in one go: one save of each
        // settings file.
        RegistryStore::Batch user(RegistryStore::Root::CurrentUser);
        RegistryStore::Batch machine(RegistryStore::Root::LocalMachine);
        host::ComponentFactory::registerBuiltins();
        registerHostProgram();
        sysInfo = SysInfoRegistration::registerInstalled();
        registerBundledPlugins();
    }
    Verbose::line(sysInfo.isEmpty() ? QStringLiteral("no system information program installed")
                                    : QStringLiteral("system information program %1").arg(sysInfo));
    loadAddIns();
    return int(m_addIns.size());
}

void HostApplication::registerHostProgram()
{
    // The add-in learns the host's version from this program file's version resource; the
    // key holds its folder with a trailing separator, the file name is appended by the reader.
    if (m_hostProgram.isEmpty())
        return;
    const QFileInfo program(m_hostProgram);
    if (!program.exists()) {
        Verbose::line(QStringLiteral("host program file %1 not found").arg(m_hostProgram));
        return;
    }
    const QString folder = program.absolutePath() + QLatin1Char('/');
    if (readText(HKEY_LOCAL_MACHINE, kAppPathsKey, QStringLiteral("Path")) != folder)
        modRegistry::WriteRegistryValue(HKEY_LOCAL_MACHINE, kAppPathsKey, QStringLiteral("Path"), folder, REG_SZ);
}

void HostApplication::registerBundledPlugins()
{
    host::ComponentFactory &factory = host::ComponentFactory::global();
    for (const BundledPlugin &plugin : kBundledPlugins) {
        const QString path = QDir(m_pluginFolder).absoluteFilePath(QLatin1String(plugin.file));
        if (!QFileInfo::exists(path)) {
            m_problems << tr("the plugin library %1 is missing").arg(path);
            continue;
        }
        if (registeredLibrary(QLatin1String(plugin.progId)) == path)
            continue;
        if (factory.registerLibrary(path))
            Verbose::line(QStringLiteral("registered %1").arg(path));
        else
            m_problems << tr("the add-in %1 could not be registered: the settings store %2 cannot be written")
                              .arg(path, RegistryStore::filePath(RegistryStore::Root::CurrentUser));
    }
}

void HostApplication::loadAddIns()
{
    const QStringList progIds = subKeys(HKEY_CURRENT_USER, kAddinsKey);
    if (progIds.isEmpty())
        m_problems
            << tr("no add-in is registered in %1").arg(RegistryStore::filePath(RegistryStore::Root::CurrentUser));
    for (const QString &progId : progIds) {
        const QVariant value = modRegistry::ReadRegistryValue(
            HKEY_CURRENT_USER, kAddinsKey + QLatin1Char('\\') + progId, QStringLiteral("LoadBehavior"));
        if (value.typeId() != QMetaType::Int)
            continue;
        const DWORD behavior = DWORD(value.toInt());
        // Bit 1 asks for loading at start-up, bit 0 for being connected.
        if ((behavior & 3) != 3)
            continue;
        std::unique_ptr<QObject> object(host::ComponentFactory::global().CreateObject(progId));
        if (!object) {
            Verbose::line(QStringLiteral("add-in %1 could not be created; starting without it").arg(progId));
            m_problems << tr("the add-in %1 could not be created").arg(progId);
            continue;
        }
        host::COMAddIn *entry = m_application->comAddIns() ? m_application->comAddIns()->add(progId) : nullptr;
        QObject *raw = object.get();
        m_addIns.push_back({progId, std::move(object), entry});
        // Late-bound, as every add-in is connected: an add-in without the member is skipped.
        QMetaObject::invokeMethod(raw, "AddinInstance_OnConnection", Q_ARG(QObject *, m_application), Q_ARG(int, 0),
                                  Q_ARG(QObject *, entry), Q_ARG(QVariant, QVariant()));
        QMetaObject::invokeMethod(raw, "AddinInstance_OnStartupComplete", Q_ARG(QVariant, QVariant()));
    }
}

void HostApplication::shutdown()
{
    if (m_shutDown)
        return;
    m_shutDown = true;
    // The pages talk to the add-ins: they go first.
    delete m_options.data();
    if (m_closeExplorer)
        m_closeExplorer();
    for (auto it = m_addIns.rbegin(); it != m_addIns.rend(); ++it) {
        QMetaObject::invokeMethod(it->object.get(), "AddinInstance_OnBeginShutdown", Q_ARG(QVariant, QVariant()));
        QMetaObject::invokeMethod(it->object.get(), "AddinInstance_OnDisconnection", Q_ARG(int, 1),
                                  Q_ARG(QVariant, QVariant()));
        if (it->entry)
            it->entry->setObject(nullptr);
    }
    m_addIns.clear();
}

void HostApplication::quit(int code)
{
    // A page runs its colour, file, folder and account dialogs in exec(), with the page and
    // the dialog itself on the stack below the nested loop that delivered this request.
    // Deleting the options dialog here would free both under that loop. Cancelling the
    // dialogs keeps their half-made choices out of the settings; exit() then ends every
    // nested loop as well as the main one, and any dialog opened while they unwind returns
    // at once, so the stack is back in main before shutdown() deletes anything.
    QList<QPointer<QDialog>> open;
    for (QWidget *window : QApplication::topLevelWidgets()) {
        auto *dialog = qobject_cast<QDialog *>(window);
        if (dialog && dialog->isVisible() && dialog->isModal())
            open.append(dialog);
    }
    for (const QPointer<QDialog> &dialog : std::as_const(open)) {
        if (dialog)
            dialog->reject();
    }
    QCoreApplication::exit(code);
}

QObject *HostApplication::controllerOf(const QString &progId) const
{
    for (const LoadedAddIn &addIn : m_addIns) {
        if (addIn.progId.compare(progId, Qt::CaseInsensitive) != 0)
            continue;
        QObject *published = addIn.entry ? addIn.entry->object() : nullptr;
        return published ? published->property("PPClass").value<QObject *>() : nullptr;
    }
    return nullptr;
}

QString HostApplication::handleRequest(const QString &request)
{
    if (request == QLatin1String("test-popup")) {
        // The same route the options page takes: the add-in entry, its object, PPClass.
        QObject *controller = controllerOf(QStringLiteral("Lumora.Connect"));
        if (!controller || !QMetaObject::invokeMethod(controller, "TestPopup"))
            return QStringLiteral("no add-in to show a test popup");
        return QStringLiteral("ok");
    }
    if (request == QLatin1String("options")) {
        showOptions();
        return QStringLiteral("ok");
    }
#ifdef LUMORA_OPTIONS_TEST_DRIVER
    if (request.startsWith(QLatin1String("test-options ")) && OptionsTestDriver::enabled())
        return OptionsTestDriver::handle(m_options, request.mid(13));
#endif
    if (request == QLatin1String("ping") || request == QLatin1String("show"))
        return QStringLiteral("ok");
    return QStringLiteral("unknown request");
}

void HostApplication::reloadWatchedFolders()
{
    QObject *controller = controllerOf(QStringLiteral("Lumora.Connect"));
    if (controller)
        QMetaObject::invokeMethod(controller, "LoadFoldersToScan");
}

QObject *HostApplication::controller() const
{
    return controllerOf(QStringLiteral("Lumora.Connect"));
}

OptionsDialog *HostApplication::optionsDialog() const
{
    return m_options;
}

void HostApplication::showOptions()
{
    if (!m_options) {
        m_options = new OptionsDialog(m_application);
        m_options->setAttribute(Qt::WA_DeleteOnClose);
        if (m_hostPage)
            m_options->addPage(m_hostPage(), tr("Mail"));
        m_options->collectPages();
        m_options->adjustSize();
        Verbose::line(QStringLiteral("options: dialog opened with %1 page(s)").arg(m_options->pageCount()));
    }
    m_options->show();
    m_options->raise();
    m_options->activateWindow();
}

} // namespace lumora
