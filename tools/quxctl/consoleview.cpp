#include "consoleview.h"

namespace QuxCtl {

bool ConsoleView::takeDeferred()
{
    const bool deferred = m_deferred;
    m_deferred = false;
    return deferred;
}

} // namespace QuxCtl
