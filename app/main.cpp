// lumora: the host process. Runs the mail host over the user's Maildir stores (or the
// in-memory demo store), loads the registered add-ins, and stays until asked to quit.
#include "app/Autostart.h"
#include "app/DemoMail.h"
#include "app/DisplayPlatform.h"
#include "app/HostApplication.h"
#include "app/HostOptionsPage.h"
#include "app/HostProblemReport.h"
#include "app/ImapSetup.h"
#include "app/InstallLayout.h"
#include "app/KeychainPasswordStore.h"
#include "app/MailClientIdentity.h"
#include "app/SignalWatcher.h"
#include "app/SingleInstance.h"
#include "host/imap/ImapApplication.h"
#include "host/maildir/MaildirApplication.h"
#include "host/maildir/MaildirStore.h"
#include "host/memory/MemoryApplication.h"
#include "host/memory/MemoryExplorer.h"
#include "platform/core/Product.h"
#include "platform/core/Verbose.h"
#include "platform/desktop/X11WindowSystem.h"

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
    QString hostProgram;
    QString displayCommand;
    QString mailClient;
    QStringList imapUrls;
    bool imapPasswordStdin = false;
    QStringList imapTrust;
    bool switchAutostart = false;
    QString autostart;
};

Options parse(const QApplication &app)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Lumora, a new-mail notifier for the desktop."));
    parser.addHelpOption();
    const QCommandLineOption demo(QStringLiteral("demo"), QStringLiteral("Run on the built-in demo store."));
    const QCommandLineOption verbose(QStringLiteral("verbose"),
                                     QStringLiteral("Print what Lumora does, one line each, on standard error."));
    const QCommandLineOption testPopup(QStringLiteral("test-popup"),
                                       QStringLiteral("Show the test popup (starting Lumora first if needed)."));
    const QCommandLineOption options(QStringLiteral("options"),
                                     QStringLiteral("Open the options dialog (starting Lumora first if needed)."));
    const QCommandLineOption quit(QStringLiteral("quit"), QStringLiteral("Ask the running Lumora to quit."));
    const QCommandLineOption maildir(QStringLiteral("maildir"),
                                     QStringLiteral("Watch this Maildir store as well (repeatable)."),
                                     QStringLiteral("path"));
    const QCommandLineOption hostProgram(QStringLiteral("host-program"),
                                         QStringLiteral("Program file whose version resource names the host version."),
                                         QStringLiteral("path"));
    const QCommandLineOption displayCommand(
        QStringLiteral("display-command"),
        QStringLiteral("Command that opens a message file (default: the desktop's handler)."),
        QStringLiteral("command"));
    const QCommandLineOption mailClient(
        QStringLiteral("mail-client"),
        QStringLiteral("Window class of your mail client (kept for later starts; default: the desktop's "
                       "mailto handler). While it is active no popup shows; Hide Outlook hides it."),
        QStringLiteral("class"));
    const QCommandLineOption imap(
        QStringLiteral("imap"),
        QStringLiteral("Watch this IMAP account instead of Maildir stores: imaps://user@host[:port], or "
                       "imap://user@host[:port] for STARTTLS (repeatable)."),
        QStringLiteral("url"));
    const QCommandLineOption imapPasswordStdin(
        QStringLiteral("imap-password-stdin"),
        QStringLiteral("Read the IMAP password from the first line of standard input instead of the secret service."));
    const QCommandLineOption imapTrust(
        QStringLiteral("imap-trust"),
        QStringLiteral("Trust the IMAP server certificate with this SHA-256 fingerprint."),
        QStringLiteral("fingerprint"));
    const QCommandLineOption autostart(QStringLiteral("autostart"),
                                       QStringLiteral("Start Lumora when you log in (on) or not (off), then exit."),
                                       QStringLiteral("on|off"));
    parser.addOptions({demo, verbose, testPopup, options, quit, maildir, hostProgram, displayCommand, mailClient, imap,
                       imapPasswordStdin, imapTrust, autostart});
    parser.process(app);

    Options o;
    o.demo = parser.isSet(demo);
    o.testPopup = parser.isSet(testPopup);
    o.options = parser.isSet(options);
    o.quit = parser.isSet(quit);
    o.maildirs = parser.values(maildir);
    o.hostProgram = parser.value(hostProgram);
    o.displayCommand = parser.value(displayCommand);
    o.mailClient = parser.value(mailClient);
    o.imapUrls = parser.values(imap);
    o.imapPasswordStdin = parser.isSet(imapPasswordStdin);
    o.imapTrust = parser.values(imapTrust);
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
    const QString password =
        QInputDialog::getText(nullptr, QStringLiteral("Lumora"), QStringLiteral("Password for %1:").arg(account),
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

// What the host page changes in the running mail host: the client and the open command.
template<typename MailHost>
std::function<void(const HostSettings &)> applyLive(MailHost *mail)
{
    return [mail](const HostSettings &s) {
        mail->setDisplayCommand(s.displayCommand);
        // An emptied field falls back to the desktop's mailto handler, as at start.
        mail->setMailClientClass(MailClientIdentity::resolve(s.mailClient));
    };
}

} // namespace

// `--autostart on|off`: the exit status tells whether the entry is as asked.
int switchAutostart(const QString &value)
{
    if (value != QLatin1String("on") && value != QLatin1String("off")) {
        say(QStringLiteral("Lumora: --autostart takes on or off, not \"%1\".").arg(value));
        return 2;
    }
    QString error;
    if (!Autostart::setEnabled(value == QLatin1String("on"), &error)) {
        say(QStringLiteral("Lumora: autostart unchanged: %1").arg(error));
        return 1;
    }
    say(value == QLatin1String("on")
            ? QStringLiteral("Lumora will start when you log in (%1).").arg(Autostart::entryPath())
            : QStringLiteral("Lumora will not start when you log in."));
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
        say(QStringLiteral("Lumora is not running."));
    return 0;
}

// `--autostart` needs no display, so that it works from a login script or a text console:
// it is handled before any window-system connection. -1 when it is not asked for.
int autostartWithoutDisplay(int argc, char **argv)
{
    if (!namesOption(argc, argv, {"--autostart"}))
        return -1;
    QCoreApplication app(argc, argv);
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
        return askRunningToQuit();
    }
    say(QStringLiteral("Lumora: cannot start: there is no display (neither DISPLAY nor WAYLAND_DISPLAY is set). "
                       "Start it from your desktop session."));
    return 1;
}

int main(int argc, char **argv)
{
    if (const int code = autostartWithoutDisplay(argc, argv); code >= 0)
        return code;
    if (const int code = withoutAnyDisplay(argc, argv); code >= 0)
        return code;
    const QString platformNote = DisplayPlatform::choose();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("lumora"));
    QApplication::setOrganizationName(product::companyFolder());
    QApplication::setQuitOnLastWindowClosed(false);
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
            say(QStringLiteral("Lumora is already running."));
        return 0;
    }
    // With no home there is nowhere to keep settings, the watched folders or the log; a
    // run without them would notify about nothing.
    const bool configHome = QDir::isAbsolutePath(qEnvironmentVariable("XDG_CONFIG_HOME"));
    const bool dataHome = QDir::isAbsolutePath(qEnvironmentVariable("XDG_DATA_HOME"));
    if (qEnvironmentVariable("HOME").isEmpty() && !(configHome && dataHome)) {
        say(QStringLiteral("Lumora: cannot start: neither HOME nor both XDG_CONFIG_HOME and XDG_DATA_HOME are "
                           "set, so there is nowhere to keep the settings and the log."));
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
        say(QStringLiteral("Lumora: another Lumora is starting but does not answer; try again."));
        return 1;
    }

    if (options.demo)
        useDemoProfile();

    // The desktop's windows, for the mail client's window control and its active state.
    X11WindowSystem windowSystem;
    WindowSystem::setInstance(&windowSystem);

    // The mail host: the demo store, the IMAP accounts, or the user's Maildir stores.
    KeychainPasswordStore passwords;
    std::unique_ptr<ImapSetup> imapSetup;
    std::unique_ptr<host::Application> mail;
    std::function<void()> closeExplorer;
    std::function<QObject *()> hostPage;
    // Accounts named on the command line, else the stored ones unless Maildir stores are named.
    const HostSettings stored = HostSettings::load();
    const QStringList imapUrls = !options.imapUrls.isEmpty() ? options.imapUrls
        : options.maildirs.isEmpty()                         ? stored.imapAccounts
                                                             : QStringList{};
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
    } else if (!imapUrls.isEmpty()) {
        imapSetup = std::make_unique<ImapSetup>(passwords);
        QObject::connect(imapSetup.get(), &ImapSetup::say, &app, &say);
        imapSetup->setPrompt(askPassword);
        QString error;
        const auto accounts =
            imapSetup->accounts({imapUrls, options.imapPasswordStdin, options.imapTrust, interactive()}, &error);
        if (!accounts) {
            say(QStringLiteral("Lumora: ") + error);
            return 2;
        }
        auto imap = std::make_unique<ImapApplication>(*accounts);
        imapSetup->attach(imap.get(), interactive());
        imap->setDisplayCommand(options.displayCommand.isEmpty() ? stored.displayCommand : options.displayCommand);
        imap->start();
        ImapApplication *raw = imap.get();
        QStringList openAccounts;
        for (const ImapAccountConfig &account : *accounts)
            openAccounts << account.key();
        hostPage = [raw, openAccounts, &passwords] {
            auto *page = new HostOptionsPage({}, applyLive(raw));
            page->setAccountsContext(openAccounts, &passwords);
            return page;
        };
        closeExplorer = [raw] { raw->quit(); };
        Verbose::line(QStringLiteral("host: IMAP accounts %1").arg(imapUrls.join(QStringLiteral(", "))));
        mail = std::move(imap);
    } else {
        // The command line adds stores to the stored ones and overrides the rest for this run.
        const QStringList roots = MaildirApplication::defaultStoreRoots(options.maildirs + stored.stores);
        auto maildir = std::make_unique<MaildirApplication>(roots);
        const QString displayCommand =
            options.displayCommand.isEmpty() ? stored.displayCommand : options.displayCommand;
        if (!displayCommand.isEmpty())
            maildir->setDisplayCommand(displayCommand);
        MaildirApplication *raw = maildir.get();
        new HostProblemReport(raw, QStringLiteral("MaildirHost"), &say);
        hostPage = [raw, &passwords] {
            QStringList open;
            for (const auto &store : raw->stores())
                open << store->rootPath();
            auto *page = new HostOptionsPage(open, applyLive(raw));
            page->setAccountsContext({}, &passwords);
            return page;
        };
        closeExplorer = [raw] { raw->quit(); };
        Verbose::line(QStringLiteral("host: Maildir stores %1").arg(roots.join(QStringLiteral(", "))));
        mail = std::move(maildir);
    }

    QString clientSource;
    const QString mailClient = MailClientIdentity::resolve(options.mailClient, &clientSource);
    mail->setMailClientClass(mailClient);
    Verbose::line(mailClient.isEmpty()
                      ? QStringLiteral("mail client: none known (name it with --mail-client CLASS)")
                      : QStringLiteral("mail client: window class %1 (%2)").arg(mailClient, clientSource));

    HostApplication host(mail.get(), closeExplorer);
    const QString pluginFolder = InstallLayout::pluginFolder();
    host.setPluginFolder(pluginFolder);
    host.setHostPage(hostPage);
    host.setHostProgram(options.hostProgram.isEmpty() ? pluginFolder + QStringLiteral("/OUTLOOK.EXE")
                                                      : options.hostProgram);

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
        say(QStringLiteral("Lumora: cannot start: no add-in could be loaded: %1.")
                .arg(host.problems().isEmpty() ? QStringLiteral("none is registered")
                                               : host.problems().join(QStringLiteral("; "))));
        host.shutdown();
        return 1;
    }
    if (options.testPopup)
        host.handleRequest(QStringLiteral("test-popup"));
    if (options.options)
        host.showOptions();

    std::unique_ptr<DemoMail> demoDeliveries;
    if (options.demo)
        demoDeliveries = std::make_unique<DemoMail>(static_cast<MemoryApplication *>(mail.get()));

    const int code = app.exec();
    host.shutdown();
    WindowSystem::setInstance(nullptr);
    return code;
}
