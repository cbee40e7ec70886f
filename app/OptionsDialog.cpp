#include "app/OptionsDialog.h"

#include "app/HostProblemReport.h"
#include "app/OptionsPageSite.h"
#include "host/Application.h"
#include "host/ComponentFactory.h"
#include "host/PropertyPage.h"
#include "platform/core/Verbose.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace lumora {

OptionsDialog::OptionsDialog(host::Application *application, QWidget *parent)
    : QDialog(parent)
    , m_application(application)
{
    setObjectName(QStringLiteral("OptionsDialog"));
    setWindowTitle(tr("Lumora Options"));
    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("tabs"));
    auto *buttons = new QDialogButtonBox(this);
    m_ok = buttons->addButton(QDialogButtonBox::Ok);
    m_ok->setObjectName(QStringLiteral("cmdOK"));
    m_cancel = buttons->addButton(QDialogButtonBox::Cancel);
    m_cancel->setObjectName(QStringLiteral("cmdCancel"));
    m_apply = buttons->addButton(QDialogButtonBox::Apply);
    m_apply->setObjectName(QStringLiteral("cmdApply"));
    m_apply->setEnabled(false);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs, 1);
    layout->addWidget(buttons);

    connect(m_ok, &QPushButton::clicked, this, [this] {
        applyPages();
        // A page that could not store its settings has said so and keeps them: closing
        // would throw them away.
        if (!anyDirty())
            accept();
    });
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_apply, &QPushButton::clicked, this, &OptionsDialog::applyPages);
}

OptionsDialog::~OptionsDialog()
{
    // Pages go before their sites, so a page never reports to a site that is gone.
    for (Page &p : m_pages)
        delete p.widget.data();
    m_pages.clear();
}

bool OptionsDialog::addPage(QObject *object, const QString &title)
{
    auto *widget = qobject_cast<QWidget *>(object);
    auto *contract = qobject_cast<host::PropertyPage *>(object);
    if (!widget || !contract) {
        delete object;
        return false;
    }
    auto *site = new OptionsPageSite(
        m_application, [this] { updateApply(); }, this);
    m_pages.append({widget, contract, site});
    m_tabs->addTab(widget, title);
    contract->InitProperties(site);
    updateApply();
    return true;
}

void OptionsDialog::collectPages()
{
    if (!m_application)
        return;
    OptionsPages pages(this);
    Q_EMIT m_application->OptionsPagesAdd(&pages);
}

QWidget *OptionsDialog::page(int index) const
{
    return index >= 0 && index < m_pages.size() ? m_pages.at(index).widget.data() : nullptr;
}

bool OptionsDialog::anyDirty() const
{
    for (const Page &p : m_pages) {
        if (p.widget && p.contract->Dirty())
            return true;
    }
    return false;
}

void OptionsDialog::updateApply()
{
    m_apply->setEnabled(anyDirty());
}

void OptionsDialog::applyPages()
{
    for (const Page &p : std::as_const(m_pages)) {
        if (p.widget && p.contract->Dirty())
            p.contract->Apply();
    }
    Verbose::line(QStringLiteral("options applied"));
    updateApply();
}

OptionsPages::OptionsPages(OptionsDialog *dialog)
    : m_dialog(dialog)
{
}

bool OptionsPages::Add(const QString &progId, const QString &title)
{
    QObject *object = host::ComponentFactory::global().CreateObject(progId);
    if (!object || !m_dialog->addPage(object, title)) {
        ProblemReporter(QStringLiteral("OptionsDialog"), HostProblemReport::log())
            .tell(tr("the options page %1 could not be shown.").arg(progId));
        return false;
    }
    Verbose::line(QStringLiteral("options: page \"%1\" added").arg(title));
    return true;
}

} // namespace lumora
