#include "setup/TWSearchViewController.h"

#include "engine/TWSearchController.h"
#include "engine/TWSearchSettings.h"
#include "platform/TWLocalVolumes.h"
#include "setup/TWFolderPanel.h"
#include "setup/TWMainWindowController.h"
#include "setup/TWSearchLauncher.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include <sys/stat.h>

#include <cstdlib>

namespace {

constexpr int kHomeFolderTag = 0;
constexpr int kLocalVolumesTag = 1;
constexpr int kChooseFoldersTag = 2;

} // namespace

TWSearchViewController::TWSearchViewController(TWMainWindowController* windowController)
    : TWViewController(windowController),
      folderPanel_(&TWFolderPanel::chooseFolders),
      volumeList_(&TWLocalVolumes::mountedLocalVolumePaths) {}

bool TWSearchViewController::isOn(const QAbstractButton* button) {
    if (auto* box = qobject_cast<const QCheckBox*>(button))
        return box->checkState() == Qt::Checked;
    return button->isChecked();
}

void TWSearchViewController::setCommonOutlets(const CommonOutlets& outlets) {
    outlets_ = outlets;
    for (QCheckBox* box : {outlets_.filterInvisiblesButton, outlets_.filterPackagesButton,
                           outlets_.matchContentsButton, outlets_.matchDateCreatedButton,
                           outlets_.matchNamesButton, outlets_.matchSizesButton})
        connectCheckBox(box);
    connect(outlets_.startSearchButton, &QPushButton::clicked, this,
            &TWSearchViewController::startNewSearch);
    connect(outlets_.startFolderPopUp, &QComboBox::activated, this,
            &TWSearchViewController::startFolderAction);
    showStartPaths();
}

void TWSearchViewController::connectCheckBox(QCheckBox* box) {
    connect(box, &QCheckBox::stateChanged, this, [this, box] { checkBoxAction(box); });
}

void TWSearchViewController::startFolderAction(int tag) {
    switch (tag) {
    case kHomeFolderTag: setStartPath("~"); break;
    case kLocalVolumesTag: setStartPaths(volumeList_()); break;
    case kChooseFoldersTag:
        if (std::optional<QStringList> folders = folderPanel_(view())) {
            std::vector<std::string> paths;
            for (const QString& folder : *folders)
                paths.push_back(QFile::encodeName(folder).toStdString());
            setStartPaths(paths);
        }
        break;
    default:
        outlets_.startFolderPopUp->setCurrentIndex(0);
        setStartPath("~");
        break;
    }
}

void TWSearchViewController::setStartPath(const std::string& path) {
    std::string standardized = TWSearchController::standardizedStartPaths({path}).front();
    setStartPaths({resolveAliasAtPath(standardized)});
}

void TWSearchViewController::setStartPaths(const std::vector<std::string>& paths) {
    startPaths_ = paths;
    showStartPaths();
}

void TWSearchViewController::setChosenFolders(const std::vector<std::string>& paths) {
    outlets_.startFolderPopUp->setCurrentIndex(kChooseFoldersTag);
    setStartPaths(paths);
}

std::string TWSearchViewController::resolveAliasAtPath(const std::string& path) {
    struct stat linkInfo, targetInfo;
    if (::lstat(path.c_str(), &linkInfo) != 0 || !S_ISLNK(linkInfo.st_mode) ||
        ::stat(path.c_str(), &targetInfo) != 0 || !S_ISDIR(targetInfo.st_mode))
        return path;
    char* resolved = ::realpath(path.c_str(), nullptr);
    if (!resolved)
        return path;
    std::string target(resolved);
    std::free(resolved);
    return target;
}

void TWSearchViewController::showStartPaths() {
    QStringList shown;
    for (const std::string& path : startPaths_)
        shown << QDir::toNativeSeparators(QFile::decodeName(QByteArray::fromStdString(path)));
    if (shown.isEmpty())
        shown << QDir::homePath();
    QString text = shown.join(QStringLiteral(", "));
    QLabel* label = outlets_.startPathsLabel;
    label->setToolTip(shown.join(QLatin1Char('\n')));
    int width = label->width() > 50 ? label->width() : view()->width();
    label->setText(label->fontMetrics().elidedText(text, Qt::ElideMiddle, width));
}

void TWSearchViewController::startNewSearch() {
    if (!canStartSearch())
        return;
    if (startPaths_.empty())
        setStartPath("~");
    TWSearchParams params = searchParams();
    windowController()->searchLauncher().launchSearch(startPaths_, params);
}

TWSearchParams TWSearchViewController::searchParams() {
    TWSearchParams params;
    if (isOn(outlets_.matchNamesButton))
        params[TWParamKey::kNamesMatch] =
            isOn(outlets_.identicalRadio) ? TWParamKey::kExact : TWParamKey::kSimilar;
    const std::pair<QCheckBox*, const char*> presenceKeys[] = {
        {outlets_.matchSizesButton, TWParamKey::kSizesMatch},
        {outlets_.matchContentsButton, TWParamKey::kContentsMatch},
        {outlets_.matchDateCreatedButton, TWParamKey::kCreatedMatch},
        {outlets_.filterPackagesButton, TWParamKey::kPackageContentsFilter},
        {outlets_.filterInvisiblesButton, TWParamKey::kInvisiblesFilter},
    };
    for (const auto& [box, key] : presenceKeys)
        if (isOn(box))
            params[key] = "";
    return params;
}

bool TWSearchViewController::oneIsOn() const {
    return isOn(outlets_.matchNamesButton) || isOn(outlets_.matchSizesButton) ||
           isOn(outlets_.matchContentsButton) || isOn(outlets_.matchDateCreatedButton);
}

bool TWSearchViewController::canStartSearch() const {
    return oneIsOn() && !hasRefusedInput();
}

void TWSearchViewController::checkBoxAction(QAbstractButton* sender) {
    if (sender == outlets_.matchNamesButton) {
        bool on = isOn(sender);
        outlets_.identicalRadio->setEnabled(on);
        outlets_.similarRadio->setEnabled(on);
    }
    updateStartSearchButton();
}

void TWSearchViewController::updateStartSearchButton() {
    outlets_.startSearchButton->setEnabled(canStartSearch());
}
