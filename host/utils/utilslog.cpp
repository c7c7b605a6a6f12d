#include "utilslog.h"

namespace Utils {
namespace Internal {
Q_LOGGING_CATEGORY(utilsLog, "qux.utils", QtWarningMsg)
} // namespace Internal
} // namespace Utils
