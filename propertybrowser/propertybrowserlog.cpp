#include "propertybrowserlog_p.h"

Q_LOGGING_CATEGORY(lcPropertyBrowser, "qux.propertybrowser", QtWarningMsg)
