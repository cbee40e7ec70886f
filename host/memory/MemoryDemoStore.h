#pragma once

class QString;

namespace lumora {

class MemoryApplication;

// Sample content for the demo run: a store with a few folders and read messages, and a
// source of plausible new mail.
class MemoryDemoStore
{
public:
    // Adds a store whose top folder is its Inbox (with Drafts and a few sub-folders with read
    // messages) and opens a main window, as a running mail application would have.
    static void populate(MemoryApplication &app);
    // Delivers n new unread messages into the default Inbox (one of high importance) and
    // raises NewMail once.
    static void deliverSample(MemoryApplication &app, int n);
};

} // namespace lumora
