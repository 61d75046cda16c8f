#include "TWSetupTestMain.h"
#include "TWSetupTestSupport.h"

#include "setup/TWAdvancedViewController.h"
#include "setup/TWApplicationSetup.h"
#include "setup/TWMainWindowController.h"

#include <QAbstractButton>
#include <QAction>
#include <QProcess>
#include <QRegularExpression>
#include <QTranslator>
#include <QXmlStreamReader>

#include <algorithm>

namespace {

struct Message {
    QString context;
    QString source;
    QString comment; // the disambiguation
    bool numerus = false;
};

// Every translatable text of the application's windows, as lupdate finds it in the sources
// now, whatever the catalogue in the repository already holds.
QList<Message> extractMessages(const QString& folder) {
    QString extracted = folder + QStringLiteral("/extracted_de.ts");
    QStringList arguments{QStringLiteral("-silent"), QStringLiteral("-locations"),
                          QStringLiteral("none"), QStringLiteral("-I"),
                          QStringLiteral(TWINFIND_SOURCE_DIR)};
    arguments << QStringLiteral(TWINFIND_TRANSLATION_FOLDERS).split(QLatin1Char('|'));
    arguments << QStringLiteral("-ts") << extracted;
    QProcess lupdate;
    lupdate.start(QStringLiteral(TWINFIND_LUPDATE), arguments);
    if (!lupdate.waitForFinished(120000) || lupdate.exitCode() != 0)
        qFatal("lupdate failed: %s", lupdate.readAllStandardError().constData());

    QFile file(extracted);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("lupdate wrote nothing");
    QList<Message> messages;
    QXmlStreamReader xml(&file);
    QString context;
    Message message;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        if (xml.name() == QLatin1String("name")) {
            context = xml.readElementText();
        } else if (xml.name() == QLatin1String("message")) {
            message = Message{context, {}, {}, xml.attributes().value(QLatin1String("numerus")) ==
                                                   QLatin1String("yes")};
        } else if (xml.name() == QLatin1String("source")) {
            message.source = xml.readElementText();
        } else if (xml.name() == QLatin1String("comment")) {
            message.comment = xml.readElementText();
        } else if (xml.name() == QLatin1String("translation")) {
            messages << message;
        }
    }
    return messages;
}

// The arguments a text takes: Qt's numbered markers in any order, the core's printf-style
// conversions (its status formats) in their order.
QStringList placeholders(const QString& text) {
    static const QRegularExpression numbered(QStringLiteral("%(L?[0-9]+|n)"));
    static const QRegularExpression conversion(
        QStringLiteral("%(?:hh|h|ll|l|q|z|j|t)?[diouxXeEfgGcsp@]"));
    QStringList found;
    for (const QRegularExpressionMatch& match : numbered.globalMatch(text))
        found << match.captured();
    found.sort();
    for (const QRegularExpressionMatch& match : conversion.globalMatch(text))
        found << match.captured();
    return found;
}

void removeInstalledTranslators() {
    for (QTranslator* translator : QCoreApplication::instance()->findChildren<QTranslator*>()) {
        QCoreApplication::removeTranslator(translator);
        delete translator;
    }
}

} // namespace

class TWTranslationsTest : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { removeInstalledTranslators(); }
    void everyTextHasAGermanTranslationWithTheSamePlaceholders();
    void germanLocaleLoadsTheCatalogue();
    void englishNeedsNoCatalogue();
};

void TWTranslationsTest::everyTextHasAGermanTranslationWithTheSamePlaceholders() {
    QTemporaryDir folder;
    QList<Message> messages = extractMessages(folder.path());
    // The extraction saw the views, not an empty folder list.
    QVERIFY(messages.size() > 50);
    QVERIFY(std::any_of(messages.begin(), messages.end(), [](const Message& m) {
        return m.source == QLatin1String("Toggle advanced/standard mode");
    }));

    QTranslator german;
    QVERIFY(german.load(QStringLiteral(":/twinfind/translations/twinfind_de.qm")));
    QStringList missing, mismatched;
    for (const Message& m : messages) {
        QByteArray context = m.context.toUtf8(), source = m.source.toUtf8(),
                   comment = m.comment.toUtf8();
        QString translation =
            german.translate(context.constData(), source.constData(),
                             m.comment.isEmpty() ? nullptr : comment.constData(),
                             m.numerus ? 2 : -1);
        QString where = m.context + QStringLiteral(": \"") + m.source + QLatin1Char('"');
        if (translation.isEmpty())
            missing << where;
        else if (placeholders(translation) != placeholders(m.source))
            mismatched << where + QStringLiteral(" -> \"") + translation + QLatin1Char('"');
    }
    // Run the update_translations target and complete translations/twinfind_de.ts.
    QVERIFY2(missing.isEmpty(), qPrintable(QStringLiteral("Not translated:\n  ") +
                                            missing.join(QStringLiteral("\n  "))));
    QVERIFY2(mismatched.isEmpty(), qPrintable(QStringLiteral("Placeholders differ:\n  ") +
                                               mismatched.join(QStringLiteral("\n  "))));
}

void TWTranslationsTest::germanLocaleLoadsTheCatalogue() {
    QVERIFY(TWApplicationSetup::installTranslations(QLocale(QLocale::German, QLocale::Germany)));
    TWRecordingLauncher launcher;
    TWMainWindowController window(launcher);
    QString toggle = window.advancedMenuItem()->text();
    QVERIFY(!toggle.isEmpty());
    QVERIFY(toggle != QLatin1String("Toggle advanced/standard mode"));
    // The views were translated as they were loaded.
    auto* start = control<QAbstractButton>(window.advancedViewController()->view(),
                                           "startSearchButton");
    QVERIFY(start->text() != QLatin1String("&Find Duplicates"));
}

void TWTranslationsTest::englishNeedsNoCatalogue() {
    QVERIFY(!TWApplicationSetup::installTranslations(QLocale(QLocale::English, QLocale::UnitedStates)));
    QVERIFY(QCoreApplication::instance()->findChildren<QTranslator*>().isEmpty());
    QVERIFY(!TWApplicationSetup::installTranslations(QLocale(QLocale::Japanese, QLocale::Japan)));
}

TW_SETUP_TEST_MAIN(TWTranslationsTest)
#include "TWTranslationsTest.moc"
