#pragma once

#include <QLocale>

// What the application object needs before the first window opens. Call after the
// QApplication has been made.
namespace TWApplicationSetup {

// The desktop file's name without ".desktop", also the icon's name and the AppStream id.
inline constexpr const char* kApplicationId = "org.twinfind.Twinfind";

// Organisation and application names (so that QSettings keeps the preferences in
// ~/.config/Twinfind/Twinfind.conf), the desktop file name and the window icon.
void setIdentity();

// Installs Twinfind's catalogue for the locale's languages, and Qt's own for the standard
// dialogs, where one exists. Returns whether Twinfind's catalogue was found; English, the
// language of the texts in the code, needs none.
bool installTranslations(const QLocale& locale = QLocale());

} // namespace TWApplicationSetup
