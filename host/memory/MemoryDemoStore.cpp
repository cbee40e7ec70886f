#include "host/memory/MemoryDemoStore.h"

#include "host/memory/MemoryApplication.h"

#include "platform/core/Clock.h"

#include <iterator>

namespace lumora {

namespace {

struct Sample
{
    const char *sender;
    const char *subject;
};

constexpr Sample kNewMail[] = {
    {"Ingrid Halvorsen", "Minutes from Tuesday's planning meeting"},
    {"Build Server", "Nightly build 2417 succeeded"},
    {"Tomás Ferreira", "Re: Draft budget for the spring workshop"},
    {"Mei Lin Zhao", "Photos from the weekend hike"},
    {"Facilities Desk", "Heating maintenance on the third floor"},
    {"Olusegun Adeyemi", "Quick question about the release notes"},
    {"Priya Raman", "Lunch on Friday?"},
};

constexpr Sample kReadMail[] = {
    {"Anna Kowalczyk", "Welcome to the team"},
    {"IT Service Desk", "Your password expires in 14 days"},
    {"Jonas Berg", "Slides for the quarterly review"},
};

MemoryItemData sampleData(const Sample &sample, bool unread, qint64 ageSeconds)
{
    MemoryItemData s;
    s.senderName = QString::fromUtf8(sample.sender);
    s.subject = QString::fromUtf8(sample.subject);
    s.unread = unread;
    s.receivedTime = Clock::instance().now().addSecs(-ageSeconds);
    return s;
}

} // namespace

void MemoryDemoStore::populate(MemoryApplication &app)
{
    // The store's top folder is its Inbox, named as the Maildir host names it, so demo
    // popups read "Folder: Inbox" like real ones.
    MemoryFolderPtr inbox = app.addStore(QStringLiteral("Inbox"));
    app.defaultFolder(inbox, host::FolderDrafts);
    MemoryFolderPtr projects = app.addFolder(inbox, QStringLiteral("Projects"));
    app.addFolder(projects, QStringLiteral("Archive"));
    MemoryFolderPtr lists = app.addFolder(inbox, QStringLiteral("Mailing Lists"));
    app.defaultFolder(inbox, host::FolderDeletedItems);
    app.defaultFolder(inbox, host::FolderCalendar);

    qint64 age = 3 * 24 * 3600;
    for (const Sample &sample : kReadMail) {
        app.deliver(inbox, sampleData(sample, false, age), false);
        age -= 7 * 3600;
    }
    app.deliver(projects, sampleData({"Jonas Berg", "Project kick-off notes"}, false, 2 * 24 * 3600), false);
    app.deliver(lists, sampleData({"Hiking Club List", "Hiking Club digest, issue 42"}, false, 26 * 3600), false);

    app.openExplorer();
}

void MemoryDemoStore::deliverSample(MemoryApplication &app, int n)
{
    if (app.stores().isEmpty() || n <= 0)
        return;
    MemoryFolderPtr inbox = app.defaultFolder(app.stores().first(), host::FolderInbox);
    // Continue through the samples from where the Inbox stands, so batches differ.
    qsizetype next = inbox->heldItems().size();
    for (int i = 0; i < n; ++i) {
        MemoryItemData s = sampleData(kNewMail[next % std::size(kNewMail)], true, 0);
        // One message of each batch is urgent, so the high-importance paths show too.
        s.importance = (i == 0) ? 2 : 1;
        // Distinct times in delivery order, so every message counts as newer than the last.
        s.receivedTime = Clock::instance().now().addMSecs(i - n);
        app.deliver(inbox, s, false);
        ++next;
    }
    app.raiseNewMail();
}

} // namespace lumora
