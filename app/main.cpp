// lumora: the host process. Runs the mail host over the user's Maildir stores (or the
// in-memory demo store), loads the registered add-ins, and stays until asked to quit.
#include "app/Autostart.h"
#include "app/DBusService.h"
#include "app/DemoMail.h"
#include "app/DisplayPlatform.h"
#include "app/HostApplication.h"
#include "app/HostOptionsPage.h"
#include "app/HostProblemReport.h"
#include "app/InstallLayout.h"
#include "app/KeychainPasswordStore.h"
#include "app/MailClientIdentity.h"
#include "app/MailSourceSetup.h"
#include "app/MetSources.h"
#include "app/SignalWatcher.h"
#include "app/SingleInstance.h"
#include "app/WatchedFolderList.h"
#include "host/common/MailApplication.h"
#include "host/common/MailSource.h"
#include "host/memory/MemoryApplication.h"
#include "host/memory/MemoryExplorer.h"
#include "platform/core/Product.h"
#include "platform/core/Verbose.h"
#include "platform/desktop/X11WindowSystem.h"
#include "settings/modRegistry.h"
#include "translations/AppTranslator.h"

#include <QApplication>
#include <QByteArrayView>
#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QInputDialog>
#include <QTextStream>
#include <QThread>

#include <cstdio>
#include <initializer_list>

using namespace lumora;

namespace {

struct Options
{
    bool demo = false;
    bool testPopup = false;
    bool options = false;
    bool quit = false;
    QStringList maildirs;
    QStringList mboxes;
    QStringList mhDirs;
    QString hostProgram;
    QString displayCommand;
    QString mailClient;
    QStringList imapUrls;
    bool imapPasswordStdin = false;
    QStringList imapTrust;
    QStringList pop3Urls;
    bool switchAutostart = false;
    QString autostart;
};

Options parse(const QApplication &app)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QCoreApplication::translate("main", "Lumora, a new-mail notifier for the desktop."));
    parser.addHelpOption();
    const QCommandLineOption demo(QStringLiteral("demo"),
                                  QCoreApplication::translate("main", "Run on the built-in demo store."));
    const QCommandLineOption verbose(
        QStringLiteral("verbose"),
        QCoreApplication::translate("main", "Print what Lumora does, one line each, on standard error."));
    const QCommandLineOption testPopup(
        QStringLiteral("test-popup"),
        QCoreApplication::translate("main", "Show the test popup (starting Lumora first if needed)."));
    const QCommandLineOption options(
        QStringLiteral("options"),
        QCoreApplication::translate("main", "Open the options dialog (starting Lumora first if needed)."));
    const QCommandLineOption quit(QStringLiteral("quit"),
                                  QCoreApplication::translate("main", "Ask the running Lumora to quit."));
    const QCommandLineOption maildir(
        QStringLiteral("maildir"),
        QCoreApplication::translate("main", "Watch this Maildir store as well (repeatable)."), QStringLiteral("path"));
    const QCommandLineOption mbox(
        QStringLiteral("mbox"),
        QCoreApplication::translate("main", "Watch this mbox file as well (repeatable); it is read, never written."),
        QStringLiteral("path"));
    const QCommandLineOption mh(
        QStringLiteral("mh"), QCoreApplication::translate("main", "Watch this MH mail directory as well (repeatable)."),
        QStringLiteral("path"));
    const QCommandLineOption hostProgram(
        QStringLiteral("host-program"),
        QCoreApplication::translate("main", "Program file whose version resource names the host version."),
        QStringLiteral("path"));
    const QCommandLineOption displayCommand(
        QStringLiteral("display-command"),
        QCoreApplication::translate("main", "Command that opens a message file (default: the desktop's handler)."),
        QStringLiteral("command"));
    const QCommandLineOption mailClient(
        QStringLiteral("mail-client"),
        QCoreApplication::translate("main",
                                    "Window class of your mail client (kept for later starts; default: the "
                                    "desktop's mailto handler). While it is active no popup shows; Hide "
                                    "Outlook hides it."),
        QStringLiteral("class"));
    const QCommandLineOption imap(
        QStringLiteral("imap"),
        QCoreApplication::translate("main",
                                    "Watch this IMAP account as well: imaps://user@host[:port], or "
                                    "imap://user@host[:port] for STARTTLS (repeatable)."),
        QStringLiteral("url"));
    const QCommandLineOption imapPasswordStdin(
        QStringLiteral("imap-password-stdin"),
        QCoreApplication::translate(
            "main", "Read the IMAP password from the first line of standard input instead of the secret service."));
    const QCommandLineOption imapTrust(
        QStringLiteral("imap-trust"),
        QCoreApplication::translate("main", "Trust the IMAP server certificate with this SHA-256 fingerprint."),
        QStringLiteral("fingerprint"));
    const QCommandLineOption pop3(
        QStringLiteral("pop3"),
        QCoreApplication::translate("main",
                                    "Watch this POP3 account as well: pop3s://user@host[:port], or "
                                    "pop3://user@host[:port] for STLS; ?interval=MINUTES sets how often "
                                    "the server is asked (5 by default; repeatable). The password and "
                                    "certificate options of IMAP serve it too."),
        QStringLiteral("url"));
    const QCommandLineOption autostart(
        QStringLiteral("autostart"),
        QCoreApplication::translate("main", "Start Lumora when you log in (on) or not (off), then exit."),
        QStringLiteral("on|off"));
    const QCommandLineOption version(QStringLiteral("version"),
                                     QCoreApplication::translate("main", "Print the version and exit."));
    parser.addOptions({version, demo, verbose, testPopup, options, quit, maildir, mbox, mh, hostProgram, displayCommand,
                       mailClient, imap, imapPasswordStdin, imapTrust, pop3, autostart});
    parser.process(app);

    Options o;
    o.demo = parser.isSet(demo);
    o.testPopup = parser.isSet(testPopup);
    o.options = parser.isSet(options);
    o.quit = parser.isSet(quit);
    o.maildirs = parser.values(maildir);
    o.mboxes = parser.values(mbox);
    o.mhDirs = parser.values(mh);
    o.hostProgram = parser.value(hostProgram);
    o.displayCommand = parser.value(displayCommand);
    o.mailClient = parser.value(mailClient);
    o.imapUrls = parser.values(imap);
    o.imapPasswordStdin = parser.isSet(imapPasswordStdin);
    o.imapTrust = parser.values(imapTrust);
    o.pop3Urls = parser.values(pop3);
    o.switchAutostart = parser.isSet(autostart);
    o.autostart = parser.value(autostart);
    Verbose::setEnabled(parser.isSet(verbose));
    return o;
}

void say(const QString &text)
{
    QTextStream(stderr) << text << Qt::endl;
}

// Dialogs need a screen the user sees.
bool interactive()
{
    return QGuiApplication::platformName() != QLatin1String("offscreen");
}

std::optional<QString> askPassword(const QString &account)
{
    bool ok = false;
    const QString password = QInputDialog::getText(nullptr, QStringLiteral("Lumora"),
                                                   QCoreApplication::translate("main", "Password for %1:").arg(account),
                                                   QLineEdit::Password, QString(), &ok);
    return ok ? std::optional<QString>(password) : std::nullopt;
}

// A demo run keeps its settings, INI file and log in a profile of its own, so trying the
// demo never spends the user's first-start seeding or changes the user's settings.
void useDemoProfile()
{
    QString data = qEnvironmentVariable("XDG_DATA_HOME");
    if (data.isEmpty())
        data = QDir::homePath() + QStringLiteral("/.local/share");
    const QString profile = data + QLatin1Char('/') + product::companyFolder() + QLatin1Char('/')
        + product::productFolder() + QStringLiteral(" Demo");
    QDir().mkpath(profile + QStringLiteral("/config"));
    QDir().mkpath(profile + QStringLiteral("/data"));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(profile + QStringLiteral("/config")));
    qputenv("XDG_DATA_HOME", QFile::encodeName(profile + QStringLiteral("/data")));
    Verbose::line(QStringLiteral("demo profile %1").arg(profile));
}

// What the host page changes in the running mail host: the client, the open command, and
// the stores and accounts, opened and closed at once.
std::function<void(const HostSettings &, const QHash<QString, QString> &)> applyLive(MailApplication *mail,
                                                                                     MailSourceSetup *sources)
{
    return [mail, sources](const HostSettings &s, const QHash<QString, QString> &passwords) {
        mail->setDisplayCommand(s.displayCommand);
        // An emptied field falls back to the desktop's mailto handler, as at start.
        mail->setMailClientClass(MailClientIdentity::resolve(s.mailClient));
        sources->apply(s, passwords);
    };
}

// A source opened while Lumora runs has its Inbox watched at once; one closed is watched no more.
void followSourceChanges(MailSourceSetup &sources, HostApplication &host)
{
    QObject::connect(&sources, &MailSourceSetup::sourceOpened, &host, [&host](MailSource *source) {
        const host::FolderPtr inbox = source->defaultFolder(host::FolderInbox);
        QString why;
        if (inbox && !WatchedFolderList::add(inbox->EntryID(), inbox->StoreID(), &why))
            say(QCoreApplication::translate("main", "Lumora: the Inbox of %1 is not watched: %2.")
                    .arg(source->description(), why));
        MetSources::watchNewInboxes({source}, &say);
        host.reloadWatchedFolders();
    });
    QObject::connect(&sources, &MailSourceSetup::sourceClosed, &host, [&host](const QString &storeId) {
        QString why;
        if (!WatchedFolderList::removeStore(storeId, &why))
            say(QStringLiteral("Lumora: ") + why + QLatin1Char('.'));
        host.reloadWatchedFolders();
    });
}

// The mail application over every source: the default Maildir store, every --maildir and
// --imap, every store and account kept in the options. Null when the command line names
// something that cannot be watched (said on standard error).
std::unique_ptr<MailApplication> composeMailHost(const Options &options, PasswordStore &passwords,
                                                 std::unique_ptr<MailSourceSetup> &sources)
{
    auto mail = std::make_unique<MailApplication>();
    const HostSettings stored = HostSettings::load();
    mail->setDisplayCommand(options.displayCommand.isEmpty() ? stored.displayCommand : options.displayCommand);
    sources = std::make_unique<MailSourceSetup>(*mail, passwords, interactive(), &say);
    sources->setPrompt(askPassword);
    QString error;
    if (!sources->compose({options.maildirs, options.imapUrls, options.imapPasswordStdin, options.imapTrust,
                           options.pop3Urls, options.mboxes, options.mhDirs},
                          stored, &error)) {
        say(QStringLiteral("Lumora: ") + error);
        return nullptr;
    }
    new HostProblemReport(mail.get(), QStringLiteral("MailHost"), &say);
    const QStringList watched = sources->describe();
    Verbose::line(watched.isEmpty() ? QStringLiteral("host: no mail source found (add one in Options)")
                                    : QStringLiteral("host: %1").arg(watched.join(QStringLiteral("; "))));
    mail->start();
    return mail;
}

} // namespace

// `--autostart on|off`: the exit status tells whether the entry is as asked.
int switchAutostart(const QString &value)
{
    if (value != QLatin1String("on") && value != QLatin1String("off")) {
        say(QCoreApplication::translate("main", "Lumora: --autostart takes on or off, not \"%1\".").arg(value));
        return 2;
    }
    QString error;
    if (!Autostart::setEnabled(value == QLatin1String("on"), &error)) {
        say(QCoreApplication::translate("main", "Lumora: autostart unchanged: %1").arg(error));
        return 1;
    }
    say(value == QLatin1String("on")
            ? QCoreApplication::translate("main", "Lumora will start when you log in (%1).").arg(Autostart::entryPath())
            : QCoreApplication::translate("main", "Lumora will not start when you log in."));
    return 0;
}

// Whether the raw command line names one of the options, alone or as "option=value": for
// the few decisions taken before Qt, and with it a display, is started.
bool namesOption(int argc, char **argv, std::initializer_list<QByteArrayView> names)
{
    for (int i = 1; i < argc; ++i) {
        const QByteArrayView arg(argv[i]);
        for (const QByteArrayView name : names) {
            if (arg == name || (arg.startsWith(name) && arg.size() > name.size() && arg[name.size()] == '='))
                return true;
        }
    }
    return false;
}

int askRunningToQuit()
{
    if (!SingleInstance::sendToRunning(QStringLiteral("quit")))
        say(QCoreApplication::translate("main", "Lumora is not running."));
    return 0;
}

// `--autostart` needs no display, so that it works from a login script or a text console:
// it is handled before any window-system connection. -1 when it is not asked for.
int autostartWithoutDisplay(int argc, char **argv)
{
    if (!namesOption(argc, argv, {"--autostart"}))
        return -1;
    QCoreApplication app(argc, argv);
    AppTranslator::install(app);
    QCommandLineParser parser;
    const QCommandLineOption autostart(QStringLiteral("autostart"), QString(), QStringLiteral("on|off"));
    parser.addOption(autostart);
    // Other options are the full parser's business; only this one is read here.
    parser.parse(QCoreApplication::arguments());
    return switchAutostart(parser.value(autostart));
}

// With no display at all, Qt would abort while connecting to one. Asking the running Lumora
// to quit needs no screen; anything else is told why it cannot start. -1 when a display is
// there (or a Qt platform is named).
int withoutAnyDisplay(int argc, char **argv)
{
    if (!qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
        || !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        return -1;
    if (namesOption(argc, argv, {"-h", "--help", "--help-all"})) {
        // Printing the options needs no screen either.
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return -1;
    }
    if (namesOption(argc, argv, {"--quit"})) {
        QCoreApplication app(argc, argv);
        AppTranslator::install(app);
        return askRunningToQuit();
    }
    QCoreApplication app(argc, argv);
    AppTranslator::install(app);
    say(QCoreApplication::translate("main",
                                    "Lumora: cannot start: there is no display (neither DISPLAY nor "
                                    "WAYLAND_DISPLAY is set). Start it from your desktop session."));
    return 1;
}

int main(int argc, char **argv)
{
    // Needs neither a display nor Qt: the version the build wrote into the add-in too.
    if (namesOption(argc, argv, {"--version"})) {
        std::printf("Lumora %s\n", LUMORA_VERSION);
        return 0;
    }
    if (const int code = autostartWithoutDisplay(argc, argv); code >= 0)
        return code;
    if (const int code = withoutAnyDisplay(argc, argv); code >= 0)
        return code;
    const QString platformNote = DisplayPlatform::choose();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("lumora"));
    QApplication::setOrganizationName(product::companyFolder());
    QApplication::setQuitOnLastWindowClosed(false);
    AppTranslator::install(app);
    const Options options = parse(app);
    if (!platformNote.isEmpty())
        Verbose::line(platformNote);
    if (options.switchAutostart)
        return switchAutostart(options.autostart);

    if (options.quit)
        return askRunningToQuit();
    const QString request = options.testPopup ? QStringLiteral("test-popup")
        : options.options                     ? QStringLiteral("options")
                                              : QStringLiteral("show");
    QString answer;
    if (SingleInstance::sendToRunning(request, &answer)) {
        if (!options.testPopup && !options.options)
            say(QCoreApplication::translate("main", "Lumora is already running."));
        return 0;
    }
    // With no home there is nowhere to keep settings, the watched folders or the log; a
    // run without them would notify about nothing.
    const bool configHome = QDir::isAbsolutePath(qEnvironmentVariable("XDG_CONFIG_HOME"));
    const bool dataHome = QDir::isAbsolutePath(qEnvironmentVariable("XDG_DATA_HOME"));
    if (qEnvironmentVariable("HOME").isEmpty() && !(configHome && dataHome)) {
        say(QCoreApplication::translate("main",
                                        "Lumora: cannot start: neither HOME nor both XDG_CONFIG_HOME and "
                                        "XDG_DATA_HOME are set, so there is nowhere to keep the settings and "
                                        "the log."));
        return 1;
    }
    SingleInstance instance;
    if (!instance.listen()) {
        // Another start won the race between our check and our listen; it may not listen
        // yet, so the request is handed over once it does.
        for (int tries = 0; tries < 100; ++tries) {
            if (SingleInstance::sendToRunning(request))
                return 0;
            QThread::msleep(100);
        }
        say(QCoreApplication::translate("main", "Lumora: another Lumora is starting but does not answer; try again."));
        return 1;
    }

    if (options.demo)
        useDemoProfile();

    // The desktop's windows, for the mail client's window control and its active state.
    X11WindowSystem windowSystem;
    WindowSystem::setInstance(&windowSystem);

    // The mail host: the demo store, or every source the user's mail lives in, side by side.
    KeychainPasswordStore passwords;
    std::unique_ptr<host::Application> mail;
    std::unique_ptr<MailSourceSetup> sources;
    std::function<void()> closeExplorer;
    std::function<QObject *()> hostPage;
    if (options.demo) {
        auto memory = std::make_unique<MemoryApplication>();
        DemoMail::populate(*memory);
        auto *explorer = qobject_cast<MemoryExplorer *>(memory->ActiveExplorer());
        closeExplorer = [explorer = QPointer<MemoryExplorer>(explorer)] {
            if (explorer)
                explorer->close();
        };
        mail = std::move(memory);
        Verbose::line(QStringLiteral("host: demo store"));
    } else {
        auto composed = composeMailHost(options, passwords, sources);
        if (!composed)
            return 2;
        mail = std::move(composed);
        auto *raw = static_cast<MailApplication *>(mail.get());
        closeExplorer = [raw] { raw->quit(); };
        hostPage = [raw, setup = sources.get(), &passwords] {
            auto *page = new HostOptionsPage(setup->openStores(), applyLive(raw, setup));
            page->setAccountsContext(setup->openAccounts(), &passwords);
            page->setOpenSources([setup] {
                return MailSourcesBox::Open{setup->openStores(), setup->defaultStore(), setup->openAccounts(),
                                            setup->openOthers()};
            });
            return page;
        };
    }

    QString clientSource;
    const QString mailClient = MailClientIdentity::resolve(options.mailClient, &clientSource);
    mail->setMailClientClass(mailClient);
    if (!options.mailClient.trimmed().isEmpty() && MailClientIdentity::stored() != mailClient)
        say(QCoreApplication::translate(
                "main", "Lumora: --mail-client %1 serves this run only: it cannot be kept for later starts (%2).")
                .arg(mailClient, modRegistry::LastWriteError()));
    Verbose::line(mailClient.isEmpty()
                      ? QStringLiteral("mail client: none known (name it with --mail-client CLASS)")
                      : QStringLiteral("mail client: window class %1 (%2)").arg(mailClient, clientSource));

    HostApplication host(mail.get(), closeExplorer);
    const QString pluginFolder = InstallLayout::pluginFolder();
    host.setPluginFolder(pluginFolder);
    host.setHostPage(hostPage);
    host.setHostProgram(options.hostProgram.isEmpty() ? pluginFolder + QStringLiteral("/OUTLOOK.EXE")
                                                      : options.hostProgram);

    if (sources)
        followSourceChanges(*sources, host);

    auto quit = [&host](const QString &why) {
        Verbose::line(QStringLiteral("quitting (%1)").arg(why));
        // The shutdown follows app.exec() below, once every dialog's loop has unwound.
        host.quit(0);
    };
    SignalWatcher signalWatcher;
    QObject::connect(&signalWatcher, &SignalWatcher::quitRequested, &app,
                     [&quit](int number) { quit(QStringLiteral("signal %1").arg(number)); });
    QObject::connect(&instance, &SingleInstance::requestReceived, &app, [&](const QString &text) {
        if (text == QLatin1String("quit"))
            quit(QStringLiteral("lumora --quit"));
        else
            host.handleRequest(text);
    });

    if (host.start() == 0) {
        // Running on without the add-in would show no icon and answer every later start
        // with "already running": end instead, and say why.
        say(QCoreApplication::translate("main", "Lumora: cannot start: no add-in could be loaded: %1.")
                .arg(host.problems().isEmpty() ? QCoreApplication::translate("main", "none is registered")
                                               : host.problems().join(QStringLiteral("; "))));
        host.shutdown();
        return 1;
    }
    // After the add-in's first-start seeding of the default Inbox: every other source met
    // for the first time has its Inbox watched too.
    if (sources && MetSources::watchNewInboxes(static_cast<MailApplication *>(mail.get())->sources().mid(1), &say) > 0)
        host.reloadWatchedFolders();
    if (options.testPopup)
        host.handleRequest(QStringLiteral("test-popup"));
    if (options.options)
        host.showOptions();

    // Without a session bus, or with the name taken, Lumora goes on without it.
    DBusService dbus(host.controller(), {[&host] { host.showOptions(); }, [&quit] { quit(QStringLiteral("D-Bus")); }});
    dbus.start(QDBusConnection::sessionBus());

    std::unique_ptr<DemoMail> demoDeliveries;
    if (options.demo)
        demoDeliveries = std::make_unique<DemoMail>(static_cast<MemoryApplication *>(mail.get()));

    const int code = app.exec();
    host.shutdown();
    WindowSystem::setInstance(nullptr);
    return code;
}
