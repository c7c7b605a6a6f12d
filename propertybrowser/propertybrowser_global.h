#pragma once

#include <QtCore/qglobal.h>

#if defined(PROPERTYBROWSER_LIBRARY)
#define PROPERTYBROWSER_EXPORT Q_DECL_EXPORT
#else
#define PROPERTYBROWSER_EXPORT Q_DECL_IMPORT
#endif
