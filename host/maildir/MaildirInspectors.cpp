#include "host/maildir/MaildirInspectors.h"

namespace lumora {

MaildirInspectors::~MaildirInspectors() = default;

} // namespace lumora
