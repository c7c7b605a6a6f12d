#include "languagemanager.h"

#include "hostlog.h"

#include <globals.h>

#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QLibraryInfo>
#include <QTranslator>

namespace Orbexa::Internal {

LanguageManager::LanguageManager(QObject *parent)
    : QObject(parent)
    , m_language(QStringLiteral("en"))
{
}

LanguageManager::~LanguageManager()
{
    removeTranslators();
}

QString LanguageManager::languageName(const QString &code)
{
    // Each language is named in itself, so that a user who cannot read the current one still
    // finds theirs.
    if (code == QLatin1String("de"))
        return QStringLiteral("Deutsch");
    return QStringLiteral("English");
}

QString LanguageManager::translationDir()
{
    return QCoreApplication::applicationDirPath() + QLatin1String("/translations");
}

void LanguageManager::removeTranslators()
{
    for (QTranslator *translator : qAsConst(m_translators)) {
        QCoreApplication::removeTranslator(translator);
        delete translator;
    }
    m_translators.clear();
}

QStringList LanguageManager::setLanguage(const QString &code)
{
    const QString language = languages().contains(code) ? code : QStringLiteral("en");
    // Plug-ins read the language while they handle the change event, so it is set first.
    ExtensionSystem::Globals::setLanguage(language.toStdString());
    const bool hadTranslators = !m_translators.isEmpty();
    removeTranslators();
    m_language = language;

    QStringList loaded;
    if (language != QLatin1String("en")) {
        QStringList files;
        const QDir dir(translationDir());
        for (const QString &name :
             dir.entryList({ QStringLiteral("*_%1.qm").arg(language) }, QDir::Files, QDir::Name))
            files << dir.filePath(name);
        files << QDir(QLibraryInfo::location(QLibraryInfo::TranslationsPath))
                     .filePath(QStringLiteral("qtbase_%1.qm").arg(language));
        for (const QString &file : qAsConst(files)) {
            auto translator = new QTranslator;
            if (!translator->load(file)) {
                qCInfo(hostLog).noquote() << "No translation in" << file;
                delete translator;
                continue;
            }
            QCoreApplication::installTranslator(translator);
            m_translators << translator;
            loaded << file;
        }
    }
    // Without any translator change Qt sends no event, yet the windows must still pick up
    // the language (for example a plug-in that takes its texts from its own data).
    if (!hadTranslators && m_translators.isEmpty())
        QCoreApplication::postEvent(QCoreApplication::instance(),
                                    new QEvent(QEvent::LanguageChange));
    emit languageChanged(m_language);
    return loaded;
}

} // namespace Orbexa::Internal
