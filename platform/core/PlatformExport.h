#pragma once

#include <QtCore/qglobal.h>

#if defined(LUMORA_PLATFORM_BUILD)
#define LUMORA_PLATFORM_EXPORT Q_DECL_EXPORT
#else
#define LUMORA_PLATFORM_EXPORT Q_DECL_IMPORT
#endif
