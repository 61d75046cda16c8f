#include "results/TWStatusTextTranslation.h"

#include "platform/TWDisplayText.h"

#include <QCoreApplication>

namespace {

// The engine's formats, listed so that lupdate offers them to translators.
[[maybe_unused]] const char* const kStatusFormats[] = {
    QT_TRANSLATE_NOOP("TWStatusText", "Searching..."),
    QT_TRANSLATE_NOOP("TWStatusText", "Cleaning up..."),
    QT_TRANSLATE_NOOP("TWStatusText", "Found %qu matches in %qu groups..."),
    QT_TRANSLATE_NOOP("TWStatusText", "Found %qu possible matches in %qu groups..."),
    QT_TRANSLATE_NOOP("TWStatusText", "Finding exact content matches..."),
    QT_TRANSLATE_NOOP("TWStatusText", "Finding exact content matches...checking file %ld of %ld"),
    QT_TRANSLATE_NOOP("TWStatusText", "Found %d files in %d matching groups (%@)."),
};

} // namespace

QString translatedStatusText(const TWStatusText& status) {
    QString format = QCoreApplication::translate("TWStatusText", status.format.c_str());
    // A text argument may carry a file name's raw bytes.
    return QString::fromStdString(
        displayTextForBytes(TWStatusText::fill(format.toStdString(), status.arguments)));
}
