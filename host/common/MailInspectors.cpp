#include "host/common/MailInspectors.h"

namespace lumora {

MailInspectors::~MailInspectors() = default;

} // namespace lumora
