#pragma once

#include <QString>

namespace lumora {

class OptionsDialog;

// A test-only hand-over that works the open options dialog as a user would: clicking its
// buttons, choosing list items and ticking folders in the folder picker. It exists so the
// end-to-end tests and screenshots can drive the real dialog inside the running lumora; it
// answers only when LUMORA_TEST_HOOKS=1 is set in that process's environment, so a user's
// lumora never acts on it.
//
// Requests (after "test-options "):
//   pick STORE NAME    open the folder picker, expand store number STORE (from 1), tick its
//                      sub-folder NAME (or with "-" the store's own folder), press Apply
//   corner N           choose entry N of the popup location list
//   tab N              show the dialog's page N (from 0)
//   apply              press the dialog's Apply
//   add-store PATH     on the Mail page, add the Maildir store at PATH through its folder dialog
//   show-picker        open the folder picker with every store expanded, and leave it open
//   show-colors        click the first gradient colour swatch, leaving the colour dialog open
//   click NAME         press the dialog's button of that object name (cmdAddAccount opens the
//                      account dialog and leaves it open)
//   close-modal        cancel whatever modal dialog is open
class OptionsTestDriver
{
public:
    static bool enabled();
    // Starts the action; the answer is "ok" or why it cannot be done.
    static QString handle(OptionsDialog *dialog, const QString &request);
};

} // namespace lumora
