#include "host/common/MailExplorers.h"

#include "host/common/MailExplorer.h"

namespace lumora {

MailExplorers::~MailExplorers() = default;

void MailExplorers::setExplorer(MailExplorer *explorer)
{
    m_explorer = explorer;
}

} // namespace lumora
