// quxctl: the sensor from the command line, on the plug-in's own layers.

#include "commandline.h"
#include "commands.h"
#include "parallelrun.h"
#include "report.h"
#include "sensorport.h"
#include "streamoutput.h"

#include <globals.h>

#include <QCoreApplication>
#include <QTranslator>

#include <cstdio>

using namespace QuxCtl;

namespace {

// German when the environment asks for it, as gettext would read it: LANGUAGE first, then
// LC_ALL, LC_MESSAGES and LANG.
QString environmentLanguage()
{
    for (const char *name : { "LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG" }) {
        const QString value = QString::fromLocal8Bit(qgetenv(name));
        if (value.isEmpty())
            continue;
        return value.startsWith(QLatin1String("de")) ? QStringLiteral("de") : QStringLiteral("en");
    }
    return QStringLiteral("en");
}

void installTranslations(QCoreApplication &app, const QString &language)
{
    ExtensionSystem::Globals::setLanguage(language.toStdString());
    if (language == QLatin1String("en"))
        return;
    const QString dir = QCoreApplication::applicationDirPath() + QStringLiteral("/translations");
    for (const char *file : { "quxctl", "QUXfamily" }) {
        auto *translator = new QTranslator(&app);
        if (translator->load(QStringLiteral("%1_%2").arg(QLatin1String(file), language), dir))
            QCoreApplication::installTranslator(translator);
    }
}

// The plug-in's trace lines ("BAUDRATE::: ...", "BUCLA ...") are debug output for developers;
// a script's standard error gets only warnings and worse, unless QUXCTL_DEBUG is set.
void quietMessages(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtDebugMsg || type == QtInfoMsg)
        return;
    std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("quxctl"));
    QCoreApplication::setApplicationVersion(QStringLiteral(QUX_VERSION));
    if (qEnvironmentVariableIsEmpty("QUXCTL_DEBUG"))
        qInstallMessageHandler(quietMessages);
    installTranslations(app, environmentLanguage());

    QTextStream out(stdout);
    QTextStream err(stderr);
    out.setCodec("UTF-8");
    err.setCodec("UTF-8");

    const Invocation invocation = parseCommandLine(QCoreApplication::arguments());
    if (invocation.helpRequested) {
        out << helpText();
        return Success;
    }
    if (invocation.versionRequested) {
        out << "quxctl " << QCoreApplication::applicationVersion() << '\n';
        return Success;
    }
    if (!invocation.ok) {
        err << "quxctl: " << invocation.errorText << "\n\n" << helpText();
        return BadArguments;
    }

    const QString cataloguePath = invocation.catalogue.isEmpty()
        ? QCoreApplication::applicationDirPath() + QStringLiteral("/QUXfamily.xml")
        : invocation.catalogue;
    const Catalogue catalogue = Catalogue::load(cataloguePath);

    CommandRunner runner(invocation, catalogue, err);
    StreamOutput streamOutput;
    // With a broker the CSV text goes out only when asked for with --csv.
    if (invocation.command == Command::Stream
        && (!invocation.mqtt.enabled() || !invocation.csvFile.isEmpty())) {
        QString error;
        if (!streamOutput.open(invocation.csvFile, invocation.ports.size() > 1, &error)) {
            err << "quxctl: " << error << '\n';
            return FileRefused;
        }
        runner.setStreamOutput(&streamOutput);
    }

    QVector<PortResult> results(invocation.ports.size());
    if (results.size() == 1) {
        results[0] = runner.run(invocation.ports.first());
    } else {
        runInParallel(int(results.size()), invocation.jobs,
                      [&](int index) { results[index] = runner.run(invocation.ports.at(index)); });
    }
    return report(invocation, results.toList(), out, err);
}
