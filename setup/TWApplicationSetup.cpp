#include "setup/TWApplicationSetup.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QTranslator>

namespace TWApplicationSetup {

void setIdentity() {
    QCoreApplication::setOrganizationName(QStringLiteral("Twinfind"));
    QCoreApplication::setApplicationName(QStringLiteral("Twinfind"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TWINFIND_VERSION));
    QGuiApplication::setApplicationDisplayName(QStringLiteral("Twinfind"));
    QGuiApplication::setDesktopFileName(QLatin1String(kApplicationId));
    QGuiApplication::setWindowIcon(QIcon::fromTheme(QLatin1String(kApplicationId)));
}

bool installTranslations(const QLocale& locale) {
    // The first of the user's languages that has a catalogue counts, and English, the
    // language of the texts in the code, ends the search: a user who reads English first and
    // German second keeps English.
    for (QString language : locale.uiLanguages()) {
        language.replace(QLatin1Char('-'), QLatin1Char('_'));
        if (language == QLatin1String("C") || language.startsWith(QLatin1String("en")))
            return false;
        // lrelease's catalogues are compiled into the program, below this resource folder.
        auto* catalogue = new QTranslator(QCoreApplication::instance());
        if (!catalogue->load(QStringLiteral("twinfind_") + language,
                             QStringLiteral(":/twinfind/translations"))) {
            delete catalogue;
            continue;
        }
        QCoreApplication::installTranslator(catalogue);
        auto* qtCatalogue = new QTranslator(QCoreApplication::instance());
        if (qtCatalogue->load(QStringLiteral("qtbase_") + language,
                              QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
            QCoreApplication::installTranslator(qtCatalogue);
        else
            delete qtCatalogue;
        return true;
    }
    return false;
}

} // namespace TWApplicationSetup
