#include "host/maildir/MaildirExplorers.h"

#include "host/maildir/MaildirExplorer.h"

namespace lumora {

MaildirExplorers::~MaildirExplorers() = default;

void MaildirExplorers::setExplorer(MaildirExplorer *explorer)
{
    m_explorer = explorer;
}

} // namespace lumora
