#pragma once

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>

namespace lumora::test {

// Answers the next modal dialog named objectName, as a user would, while the code under
// test waits in the dialog's exec(). Polls the event loop for the dialog to become the
// active modal widget; answered() tells whether it ever did.
class ModalAnswer
{
public:
    ModalAnswer(const QString &objectName, std::function<void(QWidget *)> answer)
        : m_state(std::make_shared<State>())
    {
        m_state->name = objectName;
        m_state->answer = std::move(answer);
        poll(m_state);
    }

    bool answered() const { return m_state->done; }

private:
    struct State
    {
        QString name;
        std::function<void(QWidget *)> answer;
        bool done = false;
        int tries = 0;
    };

    static void poll(const std::shared_ptr<State> &state)
    {
        QTimer::singleShot(10, qApp, [state] {
            QWidget *modal = QApplication::activeModalWidget();
            if (modal && modal->objectName() == state->name) {
                state->done = true;
                state->answer(modal);
                return;
            }
            if (++state->tries < 500)
                poll(state);
        });
    }

    std::shared_ptr<State> m_state;
};

// Picks path in a file dialog and accepts it, as a user typing the full path would. Typing
// does not wait for the dialog's directory listing, which fills in a thread of its own and
// may not be there yet on a loaded machine, as a selection made in the view would.
inline void chooseInFileDialog(QWidget *widget, const QString &path)
{
    auto *dialog = static_cast<QFileDialog *>(widget);
    if (auto *edit = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")))
        edit->setText(path);
    else
        dialog->selectFile(path);
    static_cast<QDialog *>(dialog)->accept();
}

// Accepts the next message box named objectName, keeping its text in *text.
inline ModalAnswer acceptMessageBox(const QString &objectName, QString *text)
{
    return ModalAnswer(objectName, [text](QWidget *widget) {
        auto *box = static_cast<QMessageBox *>(widget);
        *text = box->text();
        box->accept();
    });
}

} // namespace lumora::test
