#pragma once

#include "engine/TWParamValue.h"
#include "setup/TWViewController.h"

#include <QStringList>

#include <functional>
#include <optional>
#include <string>
#include <vector>

class QAbstractButton;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;

// The common base of the standard and the advanced view: the start folders and how they are
// picked, the criteria and filters present in both views, the rule that enables the start
// button, their part of the search parameter dictionary, and starting a search through the
// main window's launcher. Start paths are raw bytes, as the core walks them.
class TWSearchViewController : public TWViewController {
    Q_OBJECT
public:
    // Runs a folder chooser; the chosen folders, or nothing when cancelled.
    using FolderPanel = std::function<std::optional<QStringList>(QWidget* parent)>;
    using VolumeList = std::function<std::vector<std::string>()>;

    explicit TWSearchViewController(TWMainWindowController* windowController);

    // The start-folder pop-up's action, with the tag (index) of the chosen item: 0 the home
    // folder, 1 all local volumes, 2 choose folders; anything else sets the pop-up back to
    // its first item and the home folder.
    void startFolderAction(int tag);
    // Standardizes the path (a leading "~" becomes the home folder), resolves a symbolic link
    // to a folder, and makes the result the only start path.
    void setStartPath(const std::string& path);
    void setStartPaths(const std::vector<std::string>& paths);
    const std::vector<std::string>& startPaths() const { return startPaths_; }
    // Folders chosen outside the pop-up (dropped on the window, or named on the command
    // line): they become the start paths and the pop-up shows its choose-folders item.
    void setChosenFolders(const std::vector<std::string>& paths);

    // Starts a search of the start paths (the home folder when none was chosen) with this
    // view's dictionary. Does nothing while the start button would be disabled.
    void startNewSearch();
    // This view's search parameter dictionary; the subclasses add their controls' keys.
    virtual TWSearchParams searchParams();
    // The folder a symbolic link to a folder points at; any other path unchanged.
    static std::string resolveAliasAtPath(const std::string& path);
    // Whether at least one criterion is on.
    virtual bool oneIsOn() const;
    // Follows a click on any check box of the view: the names radios follow the names box,
    // the start button follows the criteria. Subclasses enable their own controls first.
    virtual void checkBoxAction(QAbstractButton* sender);
    // Whether the start button is to be enabled: a criterion is on and no enabled field
    // holds a refused entry.
    bool canStartSearch() const;

    // Tests replace the folder chooser and the volume list.
    void setFolderPanel(FolderPanel panel) { folderPanel_ = std::move(panel); }
    void setVolumeList(VolumeList list) { volumeList_ = std::move(list); }

    // A check box counts as on only when checked; the mixed state counts as off.
    static bool isOn(const QAbstractButton* button);

protected:
    struct CommonOutlets {
        QCheckBox* filterInvisiblesButton;
        QCheckBox* filterPackagesButton;
        QCheckBox* matchContentsButton;
        QCheckBox* matchDateCreatedButton;
        QCheckBox* matchNamesButton;
        QCheckBox* matchSizesButton;
        QPushButton* startSearchButton;
        QRadioButton* identicalRadio;
        QRadioButton* similarRadio;
        QComboBox* startFolderPopUp;
        QLabel* startPathsLabel;
    };
    // Takes the outlets from the loaded view and connects the controls' actions.
    void setCommonOutlets(const CommonOutlets& outlets);
    // Makes the check box send checkBoxAction() whenever its state changes.
    void connectCheckBox(QCheckBox* box);
    // Whether an enabled field of the subclass refuses its entry.
    virtual bool hasRefusedInput() const { return false; }
    void updateStartSearchButton();

private:
    void showStartPaths();

    CommonOutlets outlets_{};
    std::vector<std::string> startPaths_;
    FolderPanel folderPanel_;
    VolumeList volumeList_;
};
