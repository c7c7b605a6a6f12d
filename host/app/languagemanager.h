#pragma once

#include <QList>
#include <QObject>
#include <QString>

class QTranslator;

namespace Orbexa::Internal {

// Switches the user interface language of the whole process: the host, the widget library and
// every plug-in. Installing or removing a translator makes Qt send LanguageChange to every
// widget, the plug-ins' windows inside the sub-windows included.
class LanguageManager : public QObject
{
    Q_OBJECT

public:
    explicit LanguageManager(QObject *parent = nullptr);
    ~LanguageManager() override;

    static QStringList languages() { return { QStringLiteral("en"), QStringLiteral("de") }; }
    static QString languageName(const QString &code);

    // <application dir>/translations
    static QString translationDir();

    QString language() const { return m_language; }
    // Loads every *_<code>.qm of the translation folder and Qt's own qtbase_<code>.qm.
    // Returns the files loaded.
    QStringList setLanguage(const QString &code);

signals:
    void languageChanged(const QString &code);

private:
    void removeTranslators();

    QString m_language;
    QList<QTranslator *> m_translators;
};

} // namespace Orbexa::Internal
