#include "app/OptionsTestDriver.h"

#include "app/OptionsDialog.h"
#include "platform/core/Verbose.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QFileDialog>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QTreeWidget>

#include <functional>

namespace lumora {

namespace {

constexpr int kPollMs = 50;
constexpr int kGiveUpMs = 10000;

// Runs action on the modal dialog named name as soon as it is open.
void whenModal(const QString &name, std::function<void(QWidget *)> action, int waitedMs = 0)
{
    QWidget *modal = QApplication::activeModalWidget();
    if (modal && modal->objectName() == name) {
        action(modal);
        return;
    }
    if (waitedMs >= kGiveUpMs) {
        Verbose::line(QStringLiteral("test-options: %1 never opened").arg(name));
        return;
    }
    QTimer::singleShot(kPollMs, qApp, [name, action = std::move(action), waitedMs]() mutable {
        whenModal(name, std::move(action), waitedMs + kPollMs);
    });
}

void clickLater(QAbstractButton *button)
{
    QMetaObject::invokeMethod(button, &QAbstractButton::click, Qt::QueuedConnection);
}

QTreeWidgetItem *childNamed(QTreeWidgetItem *parent, const QString &text)
{
    for (int i = 0; parent && i < parent->childCount(); ++i) {
        if (parent->child(i)->text(0) == text)
            return parent->child(i);
    }
    return nullptr;
}

} // namespace

bool OptionsTestDriver::enabled()
{
    return qEnvironmentVariable("LUMORA_TEST_HOOKS") == QLatin1String("1");
}

QString OptionsTestDriver::handle(OptionsDialog *dialog, const QString &request)
{
    const QString verb = request.section(QLatin1Char(' '), 0, 0);
    const QString args = request.section(QLatin1Char(' '), 1);
    if (verb == QLatin1String("close-modal")) {
        if (auto *modal = qobject_cast<QDialog *>(QApplication::activeModalWidget()))
            QMetaObject::invokeMethod(modal, &QDialog::reject, Qt::QueuedConnection);
        return QStringLiteral("ok");
    }
    if (!dialog)
        return QStringLiteral("no options dialog is open");
    QWidget *page = dialog->findChild<QWidget *>(QStringLiteral("ctlLumora"));
    if (verb == QLatin1String("tab")) {
        bool ok = false;
        const int index = args.toInt(&ok);
        if (!ok || index < 0 || index >= dialog->tabs()->count())
            return QStringLiteral("no such tab");
        dialog->tabs()->setCurrentIndex(index);
        return QStringLiteral("ok");
    }
    if (verb == QLatin1String("apply")) {
        if (!dialog->applyButton()->isEnabled())
            return QStringLiteral("nothing to apply");
        clickLater(dialog->applyButton());
        return QStringLiteral("ok");
    }
    if (verb == QLatin1String("click")) {
        // Any button of the dialog by object name, as the user would press it (one that opens
        // a dialog of its own leaves it open to be looked at).
        auto *button = dialog->findChild<QAbstractButton *>(args);
        if (!button || !button->isEnabled())
            return QStringLiteral("no such button");
        clickLater(button);
        return QStringLiteral("ok");
    }
    if (verb == QLatin1String("add-store")) {
        // The host's Mail page: the store chosen in its folder dialog, as a user would.
        auto *add = dialog->findChild<QPushButton *>(QStringLiteral("cmdAddStore"));
        if (!add)
            return QStringLiteral("no Mail page");
        whenModal(QStringLiteral("StoreDialog"), [args](QWidget *modal) {
            auto *files = qobject_cast<QFileDialog *>(modal);
            files->setDirectory(args);
            QMetaObject::invokeMethod(files, &QDialog::accept, Qt::QueuedConnection);
            // Runs once the page has taken the store, after the dialog's own loop is over.
            QMetaObject::invokeMethod(
                qApp, [] { Verbose::line(QStringLiteral("test-options: store added")); }, Qt::QueuedConnection);
        });
        clickLater(add);
        return QStringLiteral("ok");
    }
    if (!page)
        return QStringLiteral("the Lumora page is not in the dialog");
    if (verb == QLatin1String("corner")) {
        auto *list = page->findChild<QComboBox *>(QStringLiteral("cmbAlign"));
        bool ok = false;
        const int index = args.toInt(&ok);
        if (!list || !ok || index < 0 || index >= list->count())
            return QStringLiteral("no such corner");
        dialog->tabs()->setCurrentWidget(page);
        list->setCurrentIndex(index);
        return QStringLiteral("ok");
    }
    if (verb == QLatin1String("show-colors")) {
        QWidget *swatch = page->findChild<QWidget *>(QStringLiteral("pctGradientColor1"));
        if (!swatch)
            return QStringLiteral("no colour swatch");
        QMetaObject::invokeMethod(swatch, "clicked", Qt::QueuedConnection);
        return QStringLiteral("ok");
    }
    auto *folders = page->findChild<QPushButton *>(QStringLiteral("btnFolders"));
    if (!folders)
        return QStringLiteral("no folder button");
    if (verb == QLatin1String("show-picker")) {
        whenModal(QStringLiteral("frmFolders"), [](QWidget *picker) {
            auto *tree = picker->findChild<QTreeWidget *>(QStringLiteral("TreeView1"));
            for (int i = 0; tree && i < tree->topLevelItemCount(); ++i)
                tree->topLevelItem(i)->setExpanded(true);
        });
        clickLater(folders);
        return QStringLiteral("ok");
    }
    if (verb == QLatin1String("pick")) {
        const int store = args.section(QLatin1Char(' '), 0, 0).toInt();
        const QString name = args.section(QLatin1Char(' '), 1);
        whenModal(QStringLiteral("frmFolders"), [store, name](QWidget *picker) {
            auto *tree = picker->findChild<QTreeWidget *>(QStringLiteral("TreeView1"));
            QTreeWidgetItem *top = tree ? tree->topLevelItem(store - 1) : nullptr;
            if (top)
                top->setExpanded(true);
            QTreeWidgetItem *folder = name == QLatin1String("-") ? top : childNamed(top, name);
            if (folder)
                folder->setCheckState(0, Qt::Checked);
            else
                Verbose::line(QStringLiteral("test-options: no folder \"%1\" in store %2").arg(name).arg(store));
            clickLater(
                picker->findChild<QPushButton *>(folder ? QStringLiteral("cmdApply") : QStringLiteral("cmdCancel")));
        });
        clickLater(folders);
        return QStringLiteral("ok");
    }
    return QStringLiteral("unknown test-options request");
}

} // namespace lumora
