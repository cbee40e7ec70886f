#include "addin/OlAddIn.h"

#include "addin/AnnouncedMessages.h"
#include "addin/ComponentAccess.h"
#include "addin/HostTrayIcon.h"
#include "addin/NewMailCommand.h"
#include "addin/PresentationCheck.h"
#include "addinapi/AddInGlobals.h"
#include "host/Logging.h"
#include "platform/core/Clock.h"
#include "platform/core/IniFileCache.h"
#include "platform/core/MailText.h"
#include "platform/core/Registry.h"
#include "platform/core/RegistryStore.h"
#include "platform/core/Timer.h"
#include "platform/core/Verbose.h"
#include "platform/desktop/DesktopNotifications.h"
#include "platform/desktop/ProblemReporter.h"
#include "queue/Queue.h"
#include "settings/CINIFile.h"
#include "settings/SettingsLocation.h"
#include "settings/SettingsTable.h"
#include "settings/modRegistry.h"
#include "settings/modSpecialFolders.h"
#include "support/CFileVersionInfo.h"
#include "support/HostProgramVersion.h"
#include "tray/Main.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <limits>

namespace lumora {

namespace {

const QString kOptionsPageProgId = QStringLiteral("LumoraProps.ctlLumora");
constexpr int kMailCountdownMs = 5000;
// How far back a folder's first look reaches, and how old mail may be when the server took
// it in and still count as new: a first sync or a move writes old mail with new file times.
constexpr int kLookBackSecs = 3 * 3600;
// However long a burst lasts, its scan comes no later than this after its first event, so
// a steady stream of mail is still shown.
constexpr int kMailMaxWaitMs = 8000;
// Resuming looks for what came while suspended; the short delay lets the menu close.
constexpr int kResumeScanMs = 1000;
constexpr int kBalloonCountdownMs = 1500;
// A long snooze wakes up now and then to compare its end with the clock: a timer does not
// count the time the machine slept, the clock does.
constexpr int kSnoozeRecheckMs = 10 * 60 * 1000;
// How often a popup that waits for the user to stop presenting asks again.
constexpr int kQuietRecheckMs = 5000;

// The host's page keeps these two under the host's key, beside its other settings.
const QString kHostKey = QStringLiteral("Software\\Corvane Software\\Lumora\\Host");

QString hostSetting(const char *name)
{
    return modRegistry::ReadRegistryValue(reg::HKEY_CURRENT_USER, kHostKey, QLatin1String(name)).toString();
}

// On unless the user turned it off.
bool quietWhilePresenting()
{
    return hostSetting("QuietWhilePresenting").trimmed() != QLatin1String("0");
}
// How long after a change of some folder the unread counts are taken again.
constexpr int kUnreadCountMs = 250;

void trace(const QString &text)
{
    Verbose::line(text);
}

} // namespace

OlAddIn::OlAddIn(QObject *parent)
    : QObject(parent)
{
}

OlAddIn::~OlAddIn()
{
    DetachFromOutlook();
}

bool OlAddIn::Enabled() const
{
    return m_enabled;
}

void OlAddIn::setEnabled(bool value)
{
    const bool resumed = value && !m_enabled;
    const bool suspended = !value && m_enabled;
    m_enabled = value;
    trace(value ? QStringLiteral("notifications enabled") : QStringLiteral("notifications suspended"));
    if (resumed || suspended)
        Q_EMIT QuietStateChanged();
    if (!m_main)
        return;
    // Asked by another client than the tray menu (the session bus), the menu follows.
    if (suspended || resumed)
        m_main->showSuspended(suspended);
    if (suspended) {
        // A countdown that runs out now would pop up while suspended; resuming scans anyway.
        m_main->tmrMail().setEnabled(false);
        m_main->tmrBalloon().setEnabled(false);
        m_burstStartMs = -1;
    } else if (resumed) {
        // The mail that came meanwhile raised no event we acted on: look for it once.
        m_burstStartMs = Clock::instance().now().toMSecsSinceEpoch();
        m_main->tmrMail().restart(kResumeScanMs);
        trace(QStringLiteral("resumed: scanning for mail that came while suspended"));
    }
}

bool OlAddIn::WindowState() const
{
    return m_windowActive.value_or(false);
}

qint16 OlAddIn::NewMsgCount() const
{
    return m_newMsgCount;
}

QString OlAddIn::folderKey(const QString &folderId, const QString &storeId)
{
    // A folder id is only unique within its store (every Maildir store's Inbox has the same
    // one), so the dates are kept per folder and store.
    return folderId + QLatin1Char('|') + storeId;
}

std::optional<QDateTime> OlAddIn::lastSeen(const QString &folderId, const QString &storeId) const
{
    if (!m_lastSeen)
        return std::nullopt;
    if (auto mark = m_lastSeen->Item(folderKey(folderId, storeId)))
        return mark->date;
    return std::nullopt;
}

// ---- Start-up and teardown ------------------------------------------------------------

void OlAddIn::AttachToOutlook(host::Application *application)
{
    if (!application)
        return;
    AddInGlobals &g = addIn();
    trace(QStringLiteral("attach: start"));

    // The application, its namespace and its window collections, with their events.
    m_objOutlook = application;
    g.application = application;
    m_objNS = application->GetNamespace(QStringLiteral("MAPI"));
    m_colExpl = application->explorers();
    m_colInsp = application->inspectors();
    trackExplorer(application->ActiveExplorer());
    m_connections << connect(application, &host::Application::NewMail, this, &OlAddIn::objOutlook_NewMail);
    m_connections << connect(application, &host::Application::UnreadChanged, this, &OlAddIn::countUnreadSoon);
    m_connections << connect(application, &host::Application::OptionsPagesAdd, this,
                             &OlAddIn::objOutlook_OptionsPagesAdd);
    if (m_colExpl)
        m_connections << connect(m_colExpl, &host::Explorers::NewExplorer, this, &OlAddIn::colExpl_NewExplorer);

    // The Inbox seeds the watched-folder list on first run.
    if (m_objNS)
        m_inbox = m_objNS->GetDefaultFolder(host::FolderInbox);

    // The data folder, with the template INI copied in on first start.
    const QString company = SettingsLocation::companyFolder();
    const QString dataFolder = SettingsLocation::dataFolder();
    QStringList problems;
    if (!QDir(company).exists())
        QDir().mkpath(company);
    if (!QDir(dataFolder).exists())
        QDir().mkpath(dataFolder);
    if (!QFileInfo(dataFolder).isDir() || !QFileInfo(dataFolder).isWritable())
        problems << tr("The data folder %1 cannot be created or written; the watched folders and the log "
                       "cannot be kept")
                        .arg(dataFolder);
    const QString iniPath = dataFolder + QStringLiteral("/Lumora.ini");
    if (!QFile::exists(iniPath))
        QFile::copy(g.libraryFolder + QStringLiteral("/Lumora.ini"), iniPath);

    // The log.
    g.logging = createComponent<host::Logging>(QStringLiteral("VURERIVEVI.cLogging"));
    if (g.logging)
        g.logWriter = g.logging->OpenLog(dataFolder + QStringLiteral("/Lumora.log"));

    // The INI store and the watched folders with their last-seen dates.
    m_ini = std::make_unique<CINIFile>();
    m_ini->setLogWriter(g.logWriter);
    m_ini->setFile(iniPath);
    LoadWatchedFolders();

    // What was shown before, so a restart, a synchroniser's copy or a move shows nothing twice.
    m_announced = std::make_unique<AnnouncedMessages>(dataFolder + QStringLiteral("/Announced.txt"));
    QString announcedError;
    if (!m_announced->load(&announcedError))
        reportFailure(QStringLiteral("AttachToOutlook"),
                      tr("%1; messages shown before may be shown again").arg(announcedError));

    // The safe-mail component and the settings.
    m_safeMail = createComponent<host::SafeMailItem>(QStringLiteral("QuaySafeLib.SafeMailItem"));
    m_newMsgCount = 0;
    LoadSettings();

    // The hidden main form with the tray icon, queue and popup.
    m_main = std::make_unique<Main>();
    g.main = m_main.get();
    if (m_versionReader)
        m_main->setOutlookVersion(m_versionReader->FileVersionMajor());
    m_main->Form_Load();

    // Watching nothing is never silent: the reason goes to stderr and the log; the tip
    // names an unusable data folder, else what to do about an empty list.
    const bool dataFolderUnusable = !problems.isEmpty();
    if (!dataFolderUnusable)
        problems << watchProblem(iniPath);
    problems.removeAll(QString());
    for (const QString &problem : std::as_const(problems))
        reportFailure(QStringLiteral("AttachToOutlook"), problem, 2);
    m_folderNote = dataFolderUnusable ? problems.first() : m_watchNote;
    refreshTipNote();

    m_snoozeTimer = Clock::instance().createTimer();
    connect(m_snoozeTimer.get(), &Timer::tick, this, &OlAddIn::snoozeTimer_Timer);
    m_quietTimer = Clock::instance().createTimer();
    connect(m_quietTimer.get(), &Timer::tick, this, &OlAddIn::quietTimer_Timer);
    m_newMailCommand = std::make_unique<NewMailCommand>();
    connect(m_newMailCommand.get(), &NewMailCommand::failed, this, [this](const QString &why) {
        reportFailure(QStringLiteral("NewMailCommand"), why);
        m_commandNote = tr("new-mail command failed (see the log)");
        refreshTipNote();
    });
    connect(m_newMailCommand.get(), &NewMailCommand::recovered, this, [this] {
        m_commandNote.clear();
        refreshTipNote();
    });
    // The do-not-disturb state is learnt without waiting; asking now has it known by the
    // time the first popup would show.
    if (quietWhilePresenting())
        DesktopNotifications::instance().inhibited();
    m_unreadTimer = Clock::instance().createTimer();
    connect(m_unreadTimer.get(), &Timer::tick, this, [this] {
        m_unreadTimer->setEnabled(false);
        countUnread();
    });
    countUnread();

    // Only now may new mail be acted on.
    m_enabled = true;
    trace(QStringLiteral("attach: done, watching %1 folder(s)").arg(m_watchedFolders.size()));
}

void OlAddIn::DetachFromOutlook()
{
    AddInGlobals &g = addIn();
    const bool wasAttached = m_objOutlook || m_main || m_ini;
    if (wasAttached)
        trace(QStringLiteral("detach: start"));
    m_snoozeTimer.reset();
    m_quietTimer.reset();
    m_snoozeUntil = QDateTime();
    m_newMailCommand.reset();
    m_commandNote.clear();
    m_unreadTimer.reset();
    m_countedFolders.clear();
    if (m_main) {
        m_main->Form_Unload();
        m_main.reset();
        g.main = nullptr;
        trace(QStringLiteral("detach: main form unloaded"));
    }
    m_lastSeen.reset();
    m_announced.reset();
    m_reportedMissing.clear();
    if (m_ini) {
        m_ini->flush();
        m_ini.reset();
        trace(QStringLiteral("detach: INI store flushed and released"));
    }
    m_versionReader.reset();
    m_inbox.reset();
    m_safeMail.reset();
    for (const auto &c : std::as_const(m_connections))
        disconnect(c);
    m_connections.clear();
    m_objExpl = nullptr;
    m_colInsp = nullptr;
    m_colExpl = nullptr;
    m_objNS = nullptr;
    g.application = nullptr;
    g.logWriter.reset();
    g.logging.reset();
    m_objOutlook = nullptr;
    m_enabled = false;
    if (wasAttached)
        trace(QStringLiteral("detach: host references released"));
}

// ---- Window tracking ------------------------------------------------------------------

void OlAddIn::trackExplorer(host::Explorer *explorer)
{
    m_objExpl = explorer;
    if (!explorer)
        return;
    m_connections << connect(explorer, &host::Explorer::Activate, this, [this, explorer] {
        if (m_objExpl == explorer)
            objExpl_Activate();
    });
    m_connections << connect(explorer, &host::Explorer::Deactivate, this, [this, explorer] {
        if (m_objExpl == explorer)
            objExpl_Deactivate();
    });
    m_connections << connect(explorer, &host::Explorer::Close, this, [this, explorer] {
        if (m_objExpl == explorer)
            objExpl_Close();
    });
}

void OlAddIn::colExpl_NewExplorer(host::Explorer *explorer)
{
    trace(QStringLiteral("NewExplorer"));
    if (!m_objExpl)
        trackExplorer(explorer);
}

void OlAddIn::objExpl_Activate()
{
    trace(QStringLiteral("explorer activated"));
    m_windowActive = true;
    setTrayIcon(0);
}

void OlAddIn::objExpl_Deactivate()
{
    trace(QStringLiteral("explorer deactivated"));
    m_windowActive = false;
}

void OlAddIn::objExpl_Close()
{
    trace(QStringLiteral("explorer closed"));
    m_objExpl = nullptr;
    if (m_objOutlook) {
        host::Explorer *next = m_objOutlook->ActiveExplorer();
        if (next)
            trackExplorer(next);
    }
    if (!m_objExpl && (!m_colInsp || m_colInsp->Count() == 0))
        DetachFromOutlook();
}

void OlAddIn::setTrayIcon(qint16 state)
{
    if (m_main)
        m_main->SetTrayIcon(state);
}

// ---- Settings -------------------------------------------------------------------------

void OlAddIn::InitOutlookVersion()
{
    m_versionReader = HostProgramVersion::open();
    const QString major = m_versionReader->FileVersionMajor();
    // Another version leaves the key as it was (empty on a fresh controller).
    if (const QString key = HostProgramVersion::settingsKey(major); !key.isEmpty())
        m_keyPath = key;
    trace(QStringLiteral("host version %1, settings key \"%2\"").arg(major, m_keyPath));
}

void OlAddIn::LoadSettings()
{
    // A key that holds none of the ten values has never been set up: write the defaults
    // once. A key with any value of ours keeps what it has.
    bool anyStored = false;
    for (const auto &row : SettingsTable::rows()) {
        if (!modRegistry::ReadRegistryValue(reg::HKEY_CURRENT_USER, m_keyPath, QString::fromLatin1(row.name))
                 .toString()
                 .isEmpty()) {
            anyStored = true;
            break;
        }
    }
    if (!anyStored)
        WriteDefaultSettings();

    AddInSettings &settings = addIn().settings;
    for (const auto &row : SettingsTable::rows()) {
        const QVariant value =
            modRegistry::ReadRegistryValue(reg::HKEY_CURRENT_USER, m_keyPath, QString::fromLatin1(row.name));
        SettingsTable::store(row, value.toString(), settings);
    }
}

void OlAddIn::WriteDefaultSettings()
{
    RegistryStore::Batch batch(RegistryStore::Root::CurrentUser);
    for (const auto &row : SettingsTable::rows()) {
        modRegistry::WriteRegistryValue(reg::HKEY_CURRENT_USER, m_keyPath, QString::fromLatin1(row.name),
                                        SettingsTable::defaultText(row, addIn().libraryFolder), reg::REG_SZ);
    }
}

void OlAddIn::UpdatePopupSettings()
{
    LoadSettings();
    if (m_main)
        m_main->SetPopupProps();
    trace(QStringLiteral("settings reloaded"));
}

void OlAddIn::TestPopup()
{
    if (m_main)
        m_main->TestPopup();
}

// ---- Mail actions ---------------------------------------------------------------------

ProblemReporter OlAddIn::reporter(const QString &procedure)
{
    return ProblemReporter(
        procedure, [this](int level, const QString &where, const QString &line) { addIn().log(level, where, line); },
        [](const QString &line) { Verbose::warning(line); });
}

void OlAddIn::reportFailure(const QString &procedure, const QString &text, int level)
{
    reporter(procedure).tell(text, level);
}

bool OlAddIn::actOnMessage(const QString &procedure, const QString &verb, const QString &EntryID,
                           const QString &StoreID, bool (host::Item::*action)())
{
    m_actionError.clear();
    if (EntryID.isEmpty())
        return true; // the test popup names no message
    host::ItemPtr item = m_objNS ? m_objNS->GetItemFromID(EntryID, StoreID) : nullptr;
    if (item && (item.get()->*action)())
        return true;
    const QString why = !item         ? tr("The message no longer exists (moved, deleted or its store is gone)")
        : item->ErrorText().isEmpty() ? tr("The mail store refused")
                                      : item->ErrorText();
    m_actionError = why;
    reportFailure(procedure, tr("Cannot %1 message %2: %3").arg(verb, EntryID, why));
    return false;
}

bool OlAddIn::ShowMailMessage(const QString &EntryID, const QString &StoreID)
{
    const bool done =
        actOnMessage(QStringLiteral("ShowMailMessage"), tr("open"), EntryID, StoreID, &host::Item::Display);
    setTrayIcon(0);
    return done;
}

bool OlAddIn::DeleteMailMessage(const QString &EntryID, const QString &StoreID)
{
    const bool done =
        actOnMessage(QStringLiteral("DeleteMailMessage"), tr("delete"), EntryID, StoreID, &host::Item::Delete);
    setTrayIcon(0);
    countUnreadSoon();
    return done;
}

bool OlAddIn::MarkMailMessageRead(const QString &EntryID, const QString &StoreID)
{
    const bool done = actOnMessage(QStringLiteral("MarkMailMessageRead"), tr("mark as read"), EntryID, StoreID,
                                   &host::Item::MarkRead);
    setTrayIcon(0);
    countUnreadSoon();
    return done;
}

int OlAddIn::MarkMailMessagesRead(const QList<QPair<QString, QString>> &messages)
{
    int failed = 0;
    QString firstWhy;
    for (const auto &message : messages) {
        if (actOnMessage(QStringLiteral("MarkMailMessagesRead"), tr("mark as read"), message.first, message.second,
                         &host::Item::MarkRead))
            continue;
        if (failed++ == 0)
            firstWhy = m_actionError;
    }
    setTrayIcon(0);
    countUnreadSoon();
    trace(
        QStringLiteral("marked %1 of %2 queued message(s) as read").arg(messages.size() - failed).arg(messages.size()));
    if (failed > 0) {
        tellUser(QStringLiteral("MarkMailMessagesRead"),
                 failed == 1 && messages.size() == 1 ? tr("The message could not be marked as read: %1.").arg(firstWhy)
                                                     : tr("%1 of %2 messages could not be marked as read: %3.")
                                                           .arg(failed)
                                                           .arg(messages.size())
                                                           .arg(firstWhy));
    }
    return failed;
}

void OlAddIn::countUnreadSoon()
{
    if (m_unreadTimer && !m_unreadTimer->isEnabled())
        m_unreadTimer->restart(kUnreadCountMs);
}

void OlAddIn::countUnread()
{
    if (!m_main)
        return;
    QList<FolderUnread> counts;
    for (const QString &entry : std::as_const(m_watchedFolders)) {
        const QStringList parts = entry.split(QLatin1Char('|'));
        if (parts.size() != 2 || !m_objNS)
            continue;
        host::FolderPtr folder = m_countedFolders.value(entry);
        if (!folder) {
            folder = m_objNS->GetFolderFromID(parts.at(0), parts.at(1));
            if (folder)
                m_countedFolders.insert(entry, folder);
        }
        const int count = folder ? folder->UnReadItemCount() : -1;
        if (count >= 0)
            counts.append({folder->Name(), count});
    }
    m_main->setUnreadCounts(counts);
    qint64 sum = 0;
    for (const FolderUnread &folder : std::as_const(counts))
        sum += qMax(0, folder.count);
    const int total = static_cast<int>(qMin<qint64>(sum, std::numeric_limits<int>::max()));
    if (total != m_unreadTotal) {
        m_unreadTotal = total;
        Q_EMIT UnreadCountChanged(total);
    }
}

void OlAddIn::composeItem(int type, const QString &procedure)
{
    if (!m_objOutlook)
        return;
    host::ItemPtr item = m_objOutlook->CreateItem(type);
    if (!item) {
        reportFailure(procedure, tr("Cannot create a new item of type %1").arg(type));
        return;
    }
    if (!item->Display()) {
        const QString text = tr("Cannot open the new item: %1").arg(item->ErrorText());
        tellUser(procedure, text);
    }
}

void OlAddIn::tellUser(const QString &procedure, const QString &text)
{
    // Started from the tray menu, where nothing else would show it; not modal, so the
    // notifier goes on meanwhile.
    reporter(procedure).tellInBox(text, nullptr, QStringLiteral("msgActionFailed"), ProblemReporter::Box::Open, 4);
}

void OlAddIn::ComposeNewContact()
{
    composeItem(host::ContactItemType, QStringLiteral("ComposeNewContact"));
}

void OlAddIn::ComposeNewAppointment()
{
    composeItem(host::AppointmentItemType, QStringLiteral("ComposeNewAppointment"));
}

void OlAddIn::ComposeNewTask()
{
    composeItem(host::TaskItemType, QStringLiteral("ComposeNewTask"));
}

void OlAddIn::ComposeNewNote()
{
    composeItem(host::NoteItemType, QStringLiteral("ComposeNewNote"));
}

void OlAddIn::ComposeNewMail()
{
    const QString procedure = QStringLiteral("ComposeNewMail");
    if (!m_objOutlook || !m_objOutlook->session())
        return;
    host::FolderPtr drafts = m_objOutlook->session()->GetDefaultFolder(host::FolderDrafts);
    if (!drafts) {
        reportFailure(procedure, tr("Cannot compose: the mail store has no Drafts folder"));
        return;
    }
    host::ItemsPtr items = drafts->items();
    host::ItemPtr item = items ? items->Add() : nullptr;
    auto wrapper = createComponent<host::SafeMailItem>(QStringLiteral("QuaySafeLib.SafeMailItem"));
    if (!item || !wrapper) {
        reportFailure(procedure,
                      !item ? tr("Cannot compose: no new message could be created")
                            : tr("Cannot compose: the safe-mail component is not available"));
        return;
    }
    wrapper->setItem(item);
    if (!wrapper->Display()) {
        const QString text = tr("Cannot open the new message: %1").arg(item->ErrorText());
        tellUser(procedure, text);
    }
}

void OlAddIn::objOutlook_OptionsPagesAdd(host::PropertyPages *pages)
{
    trace(QStringLiteral("OptionsPagesAdd"));
    if (pages)
        pages->Add(kOptionsPageProgId, QStringLiteral("Lumora"));
}

// ---- New-mail detection ---------------------------------------------------------------

void OlAddIn::LoadWatchedFolders()
{
    if (!m_ini)
        return;
    IniFileCache::Batch batch(m_ini->file());
    m_ini->setSection(QStringLiteral("Setup"));
    const QString init = m_ini->getValue(QStringLiteral("Init"), QStringLiteral("0")).toString();
    const bool firstRun = SettingsTable::leadingNumber(init) == 1.0;
    if (firstRun && !m_inbox) {
        // Nothing to seed with (no store yet): the marker stays, so the first start that
        // finds an Inbox still seeds the list.
        trace(QStringLiteral("first run: no Inbox to watch yet"));
    } else {
        m_ini->setValues(QStringLiteral("Init"), QStringLiteral("0"));
    }
    if (firstRun && m_inbox) {
        m_ini->addSection(QStringLiteral("EntryID"), true);
        m_ini->setValues(QStringLiteral("EID0"), m_inbox->EntryID() + QLatin1Char('|') + m_inbox->StoreID());
        m_ini->flush();
        trace(QStringLiteral("first run: watching the Inbox"));
    }
    LoadFoldersToScan();
}

void OlAddIn::LoadFoldersToScan()
{
    if (!m_ini)
        return;
    m_ini->setSection(QStringLiteral("EntryID"));
    QVariant values;
    const qint16 n = m_ini->enumSectionValues(values);
    m_watchedFolders.clear();
    m_countedFolders.clear();
    if (n > 0) {
        for (const QVariant &v : values.toList())
            m_watchedFolders.append(v.toString());
    }
    reportWatchedFolders();
    if (m_watchedFolders.isEmpty())
        return;

    // Folders already watched keep their dates, so reloading the list never reports old
    // mail again; new folders look three hours back, as at start-up.
    auto fresh = std::make_unique<OrderedDictionary<FolderMark>>();
    const QDateTime threeHoursBack = Clock::instance().now().addSecs(-kLookBackSecs);
    for (const QString &entry : std::as_const(m_watchedFolders)) {
        const QStringList parts = entry.split(QLatin1Char('|'));
        if (parts.size() != 2)
            continue;
        const QString key = folderKey(parts.at(0), parts.at(1));
        std::optional<FolderMark> kept = m_lastSeen ? m_lastSeen->Item(key) : std::nullopt;
        fresh->Add(key, kept ? *kept : FolderMark{threeHoursBack, {}, {}});
    }
    m_lastSeen = std::move(fresh);
}

QString OlAddIn::watchProblem(const QString &iniPath) const
{
    if (!QFileInfo::exists(iniPath))
        return tr("No folder is watched: %1 is missing and could not be created").arg(iniPath);
    if (!QFileInfo(iniPath).isReadable())
        return tr("No folder is watched: %1 cannot be read").arg(iniPath);
    if (m_watchedFolders.isEmpty())
        return tr("No folder is watched: %1 lists none in its [EntryID] section").arg(iniPath);
    int usable = 0;
    for (const QString &entry : m_watchedFolders) {
        const QStringList parts = entry.split(QLatin1Char('|'));
        if (parts.size() == 2 && m_objNS && m_objNS->GetFolderFromID(parts.at(0), parts.at(1)))
            ++usable;
    }
    if (usable == 0)
        return tr("No folder is watched: none of the %1 folder(s) listed in %2 can be opened")
            .arg(m_watchedFolders.size())
            .arg(iniPath);
    return {};
}

void OlAddIn::reportMissingFolder(const QString &folderId, const QString &storeId)
{
    // Once per folder and run: a folder that is gone stays gone on every later scan.
    if (m_reportedMissing.contains(folderKey(folderId, storeId)))
        return;
    m_reportedMissing.insert(folderKey(folderId, storeId));
    const QString text = QStringLiteral("Folder not found: %1|%2").arg(folderId, storeId);
    addIn().log(3, QStringLiteral("LoadFoldersToScan"), text);
    trace(QStringLiteral("watched folder %1 in store %2 cannot be found").arg(folderId, storeId));
}

void OlAddIn::reportWatchedFolders()
{
    int found = 0;
    for (const QString &entry : std::as_const(m_watchedFolders)) {
        const QStringList parts = entry.split(QLatin1Char('|'));
        if (parts.size() != 2)
            continue;
        if (m_objNS && m_objNS->GetFolderFromID(parts.at(0), parts.at(1)))
            ++found;
        else
            reportMissingFolder(parts.at(0), parts.at(1));
    }
    trace(QStringLiteral("watched folders loaded: %1 of %2 found").arg(found).arg(m_watchedFolders.size()));
    m_watchNote = found == 0 ? tr("no folders watched: open Options") : QString();
    if (found == 0) {
        addIn().log(3, QStringLiteral("LoadFoldersToScan"), m_watchNote);
        trace(QStringLiteral("no folders watched: open Options"));
    }
    m_folderNote = m_watchNote;
    refreshTipNote();
    countUnreadSoon();
}

void OlAddIn::refreshTipNote()
{
    if (!m_main)
        return;
    QStringList notes;
    if (isSnoozed())
        notes << tr("Snoozed until %1").arg(m_snoozeUntil.toString(QStringLiteral("HH:mm")));
    notes << m_folderNote << m_commandNote;
    notes.removeAll(QString());
    m_main->setTipNote(notes.join(QLatin1Char('\n')));
}

// ---- Snooze and quiet while presenting ------------------------------------------------

bool OlAddIn::isSnoozed() const
{
    return m_snoozeUntil.isValid() && Clock::instance().now() < m_snoozeUntil;
}

QDateTime OlAddIn::SnoozedUntil() const
{
    return isSnoozed() ? m_snoozeUntil : QDateTime();
}

void OlAddIn::Snooze(const QDateTime &until)
{
    if (!m_snoozeTimer)
        return;
    if (!until.isValid() || until <= Clock::instance().now()) {
        endSnooze(true);
        return;
    }
    m_snoozeUntil = until;
    armSnoozeTimer();
    trace(QStringLiteral("snoozed until %1").arg(until.toString(Qt::ISODate)));
    refreshTipNote();
    Q_EMIT QuietStateChanged();
}

void OlAddIn::armSnoozeTimer()
{
    const qint64 left = Clock::instance().now().msecsTo(m_snoozeUntil);
    m_snoozeTimer->restart(static_cast<int>(std::clamp<qint64>(left, 1, kSnoozeRecheckMs)));
}

void OlAddIn::snoozeTimer_Timer()
{
    if (isSnoozed())
        armSnoozeTimer();
    else
        endSnooze(true);
}

void OlAddIn::endSnooze(bool lookForMail)
{
    if (m_snoozeTimer)
        m_snoozeTimer->setEnabled(false);
    if (!m_snoozeUntil.isValid())
        return;
    m_snoozeUntil = QDateTime();
    refreshTipNote();
    Q_EMIT QuietStateChanged();
    if (!lookForMail || !m_enabled || !m_main) {
        trace(QStringLiteral("snooze over"));
        return;
    }
    // As after a resume: one scan finds what is still unread, and one popup run shows it.
    trace(QStringLiteral("snooze over: scanning for mail that came meanwhile"));
    m_burstStartMs = Clock::instance().now().toMSecsSinceEpoch();
    m_main->tmrMail().restart(kResumeScanMs);
}

QString OlAddIn::quietReason() const
{
    return quietWhilePresenting() ? PresentationCheck::reason() : QString();
}

bool OlAddIn::HoldPopups()
{
    if (m_snoozeUntil.isValid()) {
        // A snooze whose end the timer has not seen yet (the machine slept) ends now; its
        // scan brings the popup.
        if (!isSnoozed())
            endSnooze(true);
        return true;
    }
    const QString why = quietReason();
    if (why.isEmpty())
        return false;
    if (m_quietTimer && !m_quietTimer->isEnabled()) {
        trace(QStringLiteral("popup waits: %1").arg(why));
        m_quietTimer->restart(kQuietRecheckMs);
    }
    return true;
}

void OlAddIn::quietTimer_Timer()
{
    if (!quietReason().isEmpty())
        return;
    m_quietTimer->setEnabled(false);
    trace(QStringLiteral("popup no longer waits: showing the mail that came"));
    if (m_main && m_enabled && !isSnoozed())
        m_main->tmrBalloon().restart(kBalloonCountdownMs);
}

void OlAddIn::runNewMailCommand()
{
    if (!m_newMailCommand || m_queuedThisScan <= 0)
        return;
    // Read at each run: the host's page may have changed it since.
    const QString commandLine = hostSetting("NewMailCommand").trimmed();
    if (!commandLine.isEmpty())
        trace(QStringLiteral("new-mail command: %1 message(s)").arg(m_queuedThisScan));
    m_newMailCommand->run(commandLine, {m_lastFolder, m_lastSender, m_lastSubject, m_queuedThisScan});
}

void OlAddIn::objOutlook_NewMail()
{
    trace(QStringLiteral("NewMail"));
    // Counted even while suspended: the tip tells what waits either way.
    countUnreadSoon();
    if (!m_enabled)
        return;
    if (m_versionReader) {
        const QString major = m_versionReader->FileVersionMajor();
        if (major == QLatin1String("9") || major == QLatin1String("10"))
            HostTrayIcon::Remove();
    }
    if (!m_main)
        return;
    // Each event restarts the quiet time, but never past the burst's deadline.
    const qint64 now = Clock::instance().now().toMSecsSinceEpoch();
    Timer &timer = m_main->tmrMail();
    if (m_burstStartMs < 0 || !timer.isEnabled() || timer.interval() <= 0)
        m_burstStartMs = now;
    const qint64 left = m_burstStartMs + kMailMaxWaitMs - now;
    // A clock set back must not stretch the wait beyond the quiet time.
    timer.restart(static_cast<int>(std::clamp<qint64>(left, 1, kMailCountdownMs)));
}

void OlAddIn::GetNewMailMessages()
{
    m_burstStartMs = -1;
    if (WindowState())
        return;
    // A snooze that ran out while the machine slept ends with this scan.
    if (m_snoozeUntil.isValid() && !isSnoozed())
        endSnooze(false);
    const bool snoozed = isSnoozed();
    Queue *queue = addIn().queue;
    const qint32 before = queue ? queue->Size() : 0;
    m_queuedThisScan = 0;
    int found = 0;
    for (const QString &entry : std::as_const(m_watchedFolders)) {
        const QStringList parts = entry.split(QLatin1Char('|'));
        found += scanFolder(parts.value(0), parts.value(1), snoozed);
    }
    if (snoozed) {
        // Counted, not queued: the scan at the snooze's end finds what is still unread then.
        const qint32 waiting = (queue ? queue->Size() : 0) + found;
        m_newMsgCount = static_cast<qint16>(qMin<qint32>(waiting, 32767));
        trace(QStringLiteral("scan: snoozed until %1, %2 new message(s) wait for it to end")
                  .arg(m_snoozeUntil.toString(QStringLiteral("HH:mm")))
                  .arg(found));
        return;
    }
    saveAnnounced();
    runNewMailCommand();
    const qint32 size = queue ? queue->Size() : 0;
    m_newMsgCount = static_cast<qint16>(qMin<qint32>(size, 32767));
    trace(QStringLiteral("scan: %1 queued, %2 waiting%3")
              .arg(size - before)
              .arg(size)
              .arg(queue && queue->SummedUp() > 0
                       ? QStringLiteral(", the queue is full: its last message sums up %1").arg(queue->SummedUp())
                       : QString()));
    if (m_main)
        m_main->tmrBalloon().restart(kBalloonCountdownMs);
    countUnreadSoon();
}

void OlAddIn::saveAnnounced()
{
    QString error;
    if (m_announced && !m_announced->save(&error)) {
        // Said once until it works again; the memory is kept and written with the next scan.
        if (!m_announcedFailing)
            reportFailure(QStringLiteral("GetNewMailMessages"),
                          tr("%1; after a restart these messages may be shown again").arg(error));
        m_announcedFailing = true;
        return;
    }
    m_announcedFailing = false;
}

int OlAddIn::scanFolder(const QString &folderId, const QString &storeId, bool countOnly)
{
    if (!m_objNS)
        return 0;
    host::FolderPtr folder = m_objNS->GetFolderFromID(folderId, storeId);
    if (!folder) {
        reportMissingFolder(folderId, storeId);
        return 0;
    }
    host::ItemsPtr items = folder->items();
    if (!items)
        return 0;
    host::ItemPtr item = items->Find(QStringLiteral("[Unread] = true"));
    if (!item)
        return 0;
    const QString key = folderKey(folderId, storeId);
    if (!m_lastSeen || !m_lastSeen->Exists(key)) {
        addIn().log(3, QStringLiteral("GetNewMailMessages"),
                    QStringLiteral("Date does not exist for folder:") + MailText::forDisplay(folder->Name()));
        return 0;
    }
    int found = 0;
    // Every item is measured against the date as it stood before this scan, so a message
    // that the store lists after a younger one is still reported; the date then moves to
    // the youngest message queued.
    const FolderMark before = *m_lastSeen->Item(key);
    FolderMark after = before;
    Queue *queue = addIn().queue;
    std::optional<int> lastImportance;
    const QDateTime oldBefore = Clock::instance().now().addSecs(-kLookBackSecs);
    int shownBefore = 0;
    int oldMail = 0;
    for (; item; item = items->FindNext()) {
        // Only mail has a sender and subject to show; other items (meeting requests,
        // reports) are left alone and do not move the date.
        if (item->ItemType() != host::MailItemType)
            continue;
        const QDateTime received = item->ReceivedTime();
        const QString id = item->EntryID();
        if (!received.isValid()) {
            // No time to measure against the date: queue what can be read, once per id,
            // and leave the date where it is so no dated message is hidden by it.
            if (!id.isEmpty() && before.undatedQueued.contains(id))
                continue;
            if (!id.isEmpty())
                after.undatedQueued.insert(id);
        } else {
            const bool isNew = received > before.date
                || (received == before.date && !before.idsAtDate.isEmpty() && !before.idsAtDate.contains(id));
            if (!isNew)
                continue;
            if (received > after.date) {
                after.date = received;
                after.idsAtDate = {id};
            } else if (received == after.date) {
                after.idsAtDate.insert(id);
            }
        }
        // The date says new; the message itself may still be old mail or shown already.
        const QString messageKey = item->MessageKey();
        if (m_announced && m_announced->contains(messageKey)) {
            ++shownBefore;
            continue;
        }
        const QDateTime origin = item->OriginTime();
        if (origin.isValid() && origin < oldBefore) {
            ++oldMail;
            continue;
        }
        const int importance = item->Importance();
        lastImportance = importance;
        ++found;
        if (countOnly)
            continue;
        if (m_announced)
            m_announced->add(messageKey);
        ++m_queuedThisScan;
        if (queue && queue->IsFull()) {
            // Only counted in the queue's summary: its sender and subject are never shown.
            queue->Add(QString(), QString(), id, folder->StoreID(), folder->Name(), importance);
            continue;
        }
        QString sender;
        if (m_safeMail) {
            m_safeMail->setItem(item);
            sender = m_safeMail->SenderName();
        }
        const QString subject = item->Subject();
        if (queue)
            queue->Add(sender, subject, id, folder->StoreID(), folder->Name(), importance);
        m_lastFolder = folder->Name();
        m_lastSender = sender;
        m_lastSubject = subject;
        Q_EMIT MessageQueued(folder->Name(), sender, subject);
        trace(QStringLiteral("queued: folder \"%1\", from \"%2\", subject \"%3\"%4")
                  .arg(MailText::forDisplay(folder->Name()), MailText::forDisplay(sender),
                       MailText::forDisplay(subject),
                       importance == 2 ? QStringLiteral(", high importance") : QString()));
    }
    if (!countOnly)
        m_lastSeen->SetItem(key, after);
    if (shownBefore > 0 || oldMail > 0)
        trace(QStringLiteral("scan: folder \"%1\": %2 shown before, %3 old mail, not new")
                  .arg(MailText::forDisplay(folder->Name()))
                  .arg(shownBefore)
                  .arg(oldMail));
    // The icon follows the last message queued; set once, as thousands of messages would
    // otherwise update the tray as often.
    if (lastImportance)
        setTrayIcon(*lastImportance == 2 ? 2 : 1);
    return found;
}

} // namespace lumora
