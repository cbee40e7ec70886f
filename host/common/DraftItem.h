#pragma once

#include "host/Item.h"

namespace lumora {

// A new, unsaved item. Displaying a mail opens the desktop's mail composer; an
// appointment, task or note is written as an iCalendar draft and a contact as a vCard
// draft into the drafts folder, then opened with the desktop's handler.
class DraftItem : public host::Item
{
    Q_OBJECT
public:
    explicit DraftItem(int type, QObject *parent = nullptr);
    ~DraftItem() override;

    int ItemType() const override { return m_type; }
    QString EntryID() const override { return {}; }
    QString Subject() const override { return {}; }
    QDateTime ReceivedTime() const override { return {}; }
    int Importance() const override { return 1; }
    bool UnRead() const override { return false; }
    QString SenderName() const override { return {}; }
    bool Display() override;
    // An unsaved item has nothing to delete.
    bool Delete() override { return false; }
    QString ErrorText() const override { return m_error; }

    // Where drafts are written: the data folder's "drafts".
    static QString draftsFolder();
    // The draft text for the item type; empty for mail.
    static QByteArray draftText(int type, const QDateTime &now);
    // The path of the last draft written by Display.
    QString draftPath() const { return m_draftPath; }

private:
    int m_type;
    QString m_draftPath;
    QString m_error;
};

} // namespace lumora
