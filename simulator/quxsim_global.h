#pragma once

#include <QtCore/qglobal.h>

// The simulator library is linked statically into quxsim and into the tests, so its export
// macro is empty unless someone builds it as a shared library.
#if defined(QUXSIM_SHARED_LIBRARY)
#define QUXSIM_EXPORT Q_DECL_EXPORT
#elif defined(QUXSIM_SHARED)
#define QUXSIM_EXPORT Q_DECL_IMPORT
#else
#define QUXSIM_EXPORT
#endif
