// lumora: the host process. Runs the mail host over the user's Maildir stores (or the
// in-memory demo store), loads the registered add-ins, and stays until asked to quit.
#include "app/DemoMail.h"
#include "app/HostApplication.h"
#include "app/SignalWatcher.h"
#include "app/SingleInstance.h"
#include "host/maildir/MaildirApplication.h"
#include "host/memory/MemoryApplication.h"
#include "host/memory/MemoryExplorer.h"
#include "platform/Product.h"
#include "platform/Verbose.h"
#include "platform/X11WindowSystem.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QTextStream>

#include <cstdio>

using namespace lumora;

namespace {

struct Options
{
    bool demo = false;
    bool testPopup = false;
    bool quit = false;
    QStringList maildirs;
    QString hostProgram;
    QString displayCommand;
    QString mailClient;
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
        QStringLiteral("Window class of your mail client; while it is the active window no popup shows."),
        QStringLiteral("class"));
    parser.addOptions({demo, verbose, testPopup, quit, maildir, hostProgram, displayCommand, mailClient});
    parser.process(app);

    Options o;
    o.demo = parser.isSet(demo);
    o.testPopup = parser.isSet(testPopup);
    o.quit = parser.isSet(quit);
    o.maildirs = parser.values(maildir);
    o.hostProgram = parser.value(hostProgram);
    o.displayCommand = parser.value(displayCommand);
    o.mailClient = parser.value(mailClient);
    Verbose::setEnabled(parser.isSet(verbose));
    return o;
}

void say(const QString &text)
{
    QTextStream(stderr) << text << Qt::endl;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("lumora"));
    QApplication::setOrganizationName(product::companyFolder());
    QApplication::setQuitOnLastWindowClosed(false);
    const Options options = parse(app);

    if (options.quit) {
        if (!SingleInstance::sendToRunning(QStringLiteral("quit")))
            say(QStringLiteral("Lumora is not running."));
        return 0;
    }
    const QString request = options.testPopup ? QStringLiteral("test-popup") : QStringLiteral("show");
    QString answer;
    if (SingleInstance::sendToRunning(request, &answer)) {
        if (!options.testPopup)
            say(QStringLiteral("Lumora is already running."));
        return 0;
    }
    SingleInstance instance;
    if (!instance.listen()) {
        // Another start won the race between our check and our listen.
        SingleInstance::sendToRunning(request);
        return 0;
    }

    // The desktop's windows, for the mail client's window control and its active state.
    X11WindowSystem windowSystem;
    WindowSystem::setInstance(&windowSystem);

    // The mail host: the demo store, or the user's Maildir stores.
    std::unique_ptr<host::Application> mail;
    std::function<void()> closeExplorer;
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
        const QStringList roots = MaildirApplication::defaultStoreRoots(options.maildirs);
        auto maildir = std::make_unique<MaildirApplication>(roots);
        if (!options.displayCommand.isEmpty())
            maildir->setDisplayCommand(options.displayCommand);
        if (!options.mailClient.isEmpty())
            maildir->setMailClientWindowClass(options.mailClient);
        MaildirApplication *raw = maildir.get();
        closeExplorer = [raw] { raw->quit(); };
        Verbose::line(QStringLiteral("host: Maildir stores %1").arg(roots.join(QStringLiteral(", "))));
        mail = std::move(maildir);
    }

    HostApplication host(mail.get(), closeExplorer);
    host.setPluginFolder(QCoreApplication::applicationDirPath());
    host.setHostProgram(options.hostProgram.isEmpty()
                            ? QCoreApplication::applicationDirPath() + QStringLiteral("/OUTLOOK.EXE")
                            : options.hostProgram);

    auto quit = [&host](const QString &why) {
        Verbose::line(QStringLiteral("quitting (%1)").arg(why));
        host.shutdown();
        QCoreApplication::exit(0);
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

    if (host.start() == 0)
        say(QStringLiteral("Lumora: no add-in could be loaded; see the lines above."));
    if (options.testPopup)
        host.handleRequest(QStringLiteral("test-popup"));

    std::unique_ptr<DemoMail> demoDeliveries;
    if (options.demo)
        demoDeliveries = std::make_unique<DemoMail>(static_cast<MemoryApplication *>(mail.get()));

    const int code = app.exec();
    host.shutdown();
    WindowSystem::setInstance(nullptr);
    return code;
}
