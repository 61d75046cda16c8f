#pragma once

#include <QCoreApplication>
#include <QStringList>

#include <optional>

class QFileDialog;
class QWidget;

// The folder chooser behind the start-folder pop-up: folders only, several at once.
class TWFolderPanel {
    Q_DECLARE_TR_FUNCTIONS(TWFolderPanel)
public:
    // Runs the chooser modally; the chosen folders, or nothing when it was cancelled.
    static std::optional<QStringList> chooseFolders(QWidget* parent);
    // Sets a dialog up as the chooser. Qt's own dialog is used, because the platform dialogs
    // cannot be asked through Qt for several folders at once.
    static void configure(QFileDialog& dialog);
};
