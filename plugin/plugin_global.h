#pragma once

#include <QtCore/qglobal.h>

// The entry points are the only symbols the plug-in exports; everything else is hidden.
#define QUXFAMILY_EXPORT extern "C" Q_DECL_EXPORT
