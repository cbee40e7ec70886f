#pragma once

#include "host/COMAddIns.h"

#include <QDialog>
#include <QList>
#include <QPointer>

class QPushButton;
class QTabWidget;

namespace lumora {

namespace host {
class Application;
class PropertyPage;
} // namespace host
class OptionsPageSite;

// The host's options dialog. It asks the add-ins for their pages (OptionsPagesAdd), shows
// each page as a tab beside the host's own, gives every page a site, enables Apply while a
// page is dirty, and applies the dirty pages on OK or Apply. Closing it any other way
// applies nothing.
class OptionsDialog : public QDialog
{
    Q_OBJECT
public:
    explicit OptionsDialog(host::Application *application, QWidget *parent = nullptr);
    ~OptionsDialog() override;

    // Adds a page object (a QWidget that implements the page contract) as a tab; false,
    // and the object deleted, when it is not one.
    bool addPage(QObject *page, const QString &title);
    // Raises OptionsPagesAdd so the add-ins add their pages.
    void collectPages();

    int pageCount() const { return int(m_pages.size()); }
    QWidget *page(int index) const;
    QTabWidget *tabs() const { return m_tabs; }
    QPushButton *applyButton() const { return m_apply; }

    // Applies every dirty page.
    void applyPages();

private:
    struct Page
    {
        QPointer<QWidget> widget;
        host::PropertyPage *contract = nullptr;
        OptionsPageSite *site = nullptr;
    };

    void updateApply();
    bool anyDirty() const;

    QPointer<host::Application> m_application;
    QTabWidget *m_tabs = nullptr;
    QPushButton *m_ok = nullptr;
    QPushButton *m_cancel = nullptr;
    QPushButton *m_apply = nullptr;
    QList<Page> m_pages;
};

// The page list offered with OptionsPagesAdd: each page is created by prog-id through the
// component factory and shown in the dialog.
class OptionsPages : public host::PropertyPages
{
    Q_OBJECT
public:
    explicit OptionsPages(OptionsDialog *dialog);
    bool Add(const QString &progId, const QString &title) override;

private:
    OptionsDialog *m_dialog;
};

} // namespace lumora
