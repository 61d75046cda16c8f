#pragma once

#include "platform/TWTrash.h"

#include <QObject>
#include <set>
#include <string>

class QMessageBox;
class QWidget;

// Runs one Qt Test object with the desktop kept away: HOME, XDG_DATA_HOME, XDG_CONFIG_HOME
// and XDG_CACHE_HOME point at a temporary folder removed afterwards, and the session bus at
// nothing, so no test reaches the user's files, trash or file manager.
int runResultsTest(QObject& test, int argc, char** argv);

// A trash in a folder of its own: moving renames the item into it (a second item of the
// same name gets a numbered name), and the paths listed in `refused` are refused.
class TWFolderTrash final : public TWTrash {
public:
    explicit TWFolderTrash(std::string filesFolder);

    TWTrashOutcome moveToTrash(const std::string& absolutePath) override;
    bool isInsideTrash(const std::string& absolutePath) const override;
    std::string homeTrashFilesFolder() const override { return filesFolder_; }

    std::set<std::string> refused;
    int moves = 0;

private:
    std::string filesFolder_;
};

// The window-modal message box that `window` has open, if any.
QMessageBox* openMessageBox(QWidget* window);
