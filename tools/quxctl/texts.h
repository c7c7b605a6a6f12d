#pragma once

#include <QCoreApplication>

namespace QuxCtl {

// The tool's own texts share the one context "QuxCtl", whichever class or function shows them;
// lupdate files every Texts::tr("...") there.
class Texts
{
    Q_DECLARE_TR_FUNCTIONS(QuxCtl)
};

// The window's texts that the tool repeats (settings file errors, export columns) keep the
// window's context: the plug-in's translation, which the tool loads as well, holds them.
constexpr char windowContext[] = "SensorWindow";

} // namespace QuxCtl
