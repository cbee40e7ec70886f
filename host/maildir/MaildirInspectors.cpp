#include "MaildirInspectors.h"

namespace lumora {

MaildirInspectors::~MaildirInspectors() = default;

} // namespace lumora
