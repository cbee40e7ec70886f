#pragma once

#include "host/common/MailSource.h"

#include <memory>

namespace lumora {

class MaildirStore;
class MaildirWatcher;

// One Maildir++ store as a source: its folders from the directories, new mail from inotify.
class MaildirSource : public MailSource
{
    Q_OBJECT
public:
    // A root that is missing or not a directory gives an invalid source.
    explicit MaildirSource(const QString &rootPath, QObject *parent = nullptr);
    ~MaildirSource() override;

    QString storeId() const override;
    QString description() const override;
    bool isValid() const override;

    host::FolderPtr topFolder() override;
    host::FolderPtr defaultFolder(int kind) override;
    host::FolderPtr folderFromId(const QString &entryId) override;
    host::ItemPtr itemFromId(const QString &entryId) override;

    void checkNow() override;
    // A message in some new/ folder.
    bool holdsWaitingMail() const override;
    // The folders that may not be read, one line each.
    QString problems() const override;
    void setDisplayCommand(const QString &command) override;

    const std::shared_ptr<MaildirStore> &store() const { return m_store; }
    MaildirWatcher *watcher() const { return m_watcher; }

private:
    std::shared_ptr<MaildirStore> m_store;
    MaildirWatcher *m_watcher = nullptr;
};

} // namespace lumora
