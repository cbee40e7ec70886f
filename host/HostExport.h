#pragma once

#include <QtCore/qglobal.h>

#if defined(LUMORA_HOST_BUILD)
#define LUMORA_HOST_EXPORT Q_DECL_EXPORT
#else
#define LUMORA_HOST_EXPORT Q_DECL_IMPORT
#endif
