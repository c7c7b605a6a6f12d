#pragma once

#include "commandline.h"
#include "commands.h"

#include <QList>
#include <QTextStream>

namespace QuxCtl {

// Writes the results of all ports: as text (each port's results, then a summary table when
// there were several ports) or as one JSON document. Returns the exit status: that of the
// first port that failed, else success (or Differs for a diff that found differences).
ExitStatus report(const Invocation &invocation, const QList<PortResult> &results, QTextStream &out,
                  QTextStream &err);

} // namespace QuxCtl
