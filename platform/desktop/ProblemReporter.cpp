#include "platform/desktop/ProblemReporter.h"

#include "platform/core/MailText.h"
#include "platform/desktop/NotifyIconHost.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QTextStream>

namespace lumora {

namespace {

// A problem's explanation runs longer than a subject; a hostile name in it is still capped.
constexpr int MaxSaidChars = 2000;

} // namespace

ProblemReporter::ProblemReporter(QString procedure, Log log, Say say)
    : m_procedure(std::move(procedure))
    , m_log(std::move(log))
    , m_say(std::move(say))
{
}

void ProblemReporter::write(int level, const QString &text) const
{
    // Problems quote folder names and subjects: a terminal sees them cleaned, line by line.
    const QString shown = MailText::linesForDisplay(text, MaxSaidChars);
    if (m_say)
        m_say(shown);
    else
        QTextStream(stderr) << QStringLiteral("Lumora: ") << shown << Qt::endl;
    if (m_log)
        m_log(level, m_procedure, text);
}

void ProblemReporter::tell(const QString &text, int level) const
{
    write(level, text);
}

void ProblemReporter::tellInBox(const QString &text, QWidget *parent, const QString &boxName, Box box, int level) const
{
    tell(text, level);
    auto *message = new QMessageBox(QMessageBox::Warning, QStringLiteral("Lumora"),
                                    MailText::linesForDisplay(text, MaxSaidChars), QMessageBox::Ok, parent);
    message->setObjectName(boxName);
    // Mail and file names in the text are never taken for markup.
    message->setTextFormat(Qt::PlainText);
    message->setAttribute(Qt::WA_DeleteOnClose);
    if (box == Box::Modal)
        message->exec();
    else
        message->open();
}

void ProblemReporter::setStanding(const QString &text)
{
    if (text == m_standing)
        return;
    const bool over = text.isEmpty();
    m_standing = text;
    NotifyIconHost::instance().setStatusNote(text);
    write(over ? 3 : 1,
          over ? QCoreApplication::translate("ProblemReporter",
                                             "The problems reported before are over: all new mail is noticed again.")
               : text);
}

} // namespace lumora
