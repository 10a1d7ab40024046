#include "InterfaceLanguage.h"

#include <QCoreApplication>
#include <QStringList>
#include <QTranslator>

namespace {

const QStringList available{QStringLiteral("en"), QStringLiteral("fr"), QStringLiteral("ja")};

// "fr_CA.UTF-8@euro" -> "fr".
QString languageOf(const QString& localeName) {
    qsizetype end = 0;
    while (end < localeName.size() && localeName[end].isLetter()) {
        ++end;
    }
    return localeName.left(end).toLower();
}

// No locale set at all is the C locale too.
bool isPlainC(const QString& localeName) {
    return localeName.isEmpty() || localeName == QLatin1String("C") ||
           localeName.startsWith(QLatin1String("C.")) || localeName == QLatin1String("POSIX");
}

}  // namespace

QString InterfaceLanguage::choose(const Environment& environment) {
    QString messages;
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        messages = environment(name);
        if (!messages.isEmpty()) {
            break;
        }
    }
    // As gettext does, a session in the plain C locale asks for no translation at all.
    if (isPlainC(messages)) {
        return QStringLiteral("en");
    }
    QStringList wanted = environment("LANGUAGE").split(u':', Qt::SkipEmptyParts);
    wanted.append(messages);
    for (const QString& entry : wanted) {
        const QString language = languageOf(entry);
        if (available.contains(language)) {
            return language;
        }
    }
    return QStringLiteral("en");
}

QLocale InterfaceLanguage::formatLocale(const QString& language, const QLocale& system) {
    const QLocale chosen(language);
    if (system.language() == chosen.language()) {
        return system;
    }
    if (system.territory() == QLocale::AnyTerritory || system.language() == QLocale::C) {
        return chosen;
    }
    return QLocale(chosen.language(), system.territory());
}

void InterfaceLanguage::apply() {
    const QString language = choose([](const char* name) { return qEnvironmentVariable(name); });
    QLocale::setDefault(formatLocale(language, QLocale::system()));
    // English too: its file holds the plural forms of the English texts.
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (translator->load(QStringLiteral(":/i18n/vantor_") + language)) {
        QCoreApplication::installTranslator(translator);
    }
}
