#pragma once

#include "engine/TWParamValue.h"
#include "engine/TWSearchHost.h"
#include "model/TWGroupOfGroups.h"
#include "results/TWFileCommands.h"
#include "results/TWKindIconProvider.h"

#include <QMainWindow>
#include <QTimer>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QMenu;
class QTableView;
class TWFilesTableModel;
class TWGroupsTableModel;
class TWImageTextDelegate;
class TWPathViewModel;
class TWRevealService;
class TWSearchController;
class TWTrash;

namespace Ui {
class TWResultsWindow;
}

// The results window of one search (layout "search.ui"): the groups table, the files of the
// selected groups, the path view, the status line with its progress indicator and start/stop
// button, and the menu bar with the file, selection, column and icon-size commands.
//
// Owns its search controller and is that controller's TWSearchWindow. Closing the window
// detaches it from the controller without stopping the search: a running worker and its
// pending end keep the controller alive until the search has finished, and it is freed then.
//
// Menu items carry a tag (property "tag") read by validateMenuItem(): 0 always enabled, 101
// needs a selected row of the files table or a selected column of the path view as the table
// last clicked, 102 a selected row of the files table as the table last clicked, 1 to 8 are
// the column items (checked while the column shows). Items are validated before a menu opens
// and before a shortcut acts. Main thread only.
class TWResultsWindowController final : public QMainWindow, public TWSearchWindow {
    Q_OBJECT
public:
    enum class Table { none, groups, files, path };
    static constexpr int kSmallestIconSize = 16;
    static constexpr int kLargestIconSize = 64;

    TWResultsWindowController(const std::vector<std::string>& startPaths,
                              const TWSearchParams& searchParams, TWTrash& trash,
                              TWMainThread& mainThread, QWidget* parent = nullptr);
    ~TWResultsWindowController() override;

    void startSearch();

    // TWSearchWindow.
    void setStatusFieldText(const TWStatusText& status) override;
    void setStartStopButtonEnabled(bool enabled) override;
    void searchDidStart() override;
    void searchDidEnd() override;

    const std::shared_ptr<TWSearchController>& searchController() const { return controller_; }
    QTableView* groupsTable() const;
    QTableView* filesTable() const;
    QTableView* pathTableView() const;
    TWGroupsTableModel& groupsModel() const { return *groupsModel_; }
    TWFilesTableModel& filesModel() const { return *filesModel_; }
    TWPathViewModel& pathViewModel() const { return *pathModel_; }
    TWGroupOfGroups& selectedGroups() { return selectedGroups_; }
    TWFileCommands& fileCommands() { return *commands_; }
    Table currentTable() const { return currentTable_; }
    int iconSize() const { return iconSize_; }
    QString statusText() const;
    // Every menu item of the window, and the column items (tags 1 to 8) that the files
    // table's header also offers.
    QList<QAction*> menuItems() const;
    QList<QAction*> columnItems() const;
    QMenu* columnMenu() const { return columnMenu_; }

    // Puts another reveal service in place (tests); the window does not take ownership.
    void setRevealService(TWRevealService* service) { reveal_ = service; }

    bool validateMenuItem(QAction* item);
    void validateMenuItems();

public slots:
    void copy();
    void moveFilesToTrash();
    void revealInFinder();
    void invertSelection();
    void selectNewest();
    void selectOldest();
    void selectLargest();
    void selectSmallest();
    void viewColumnAction(QAction* item);
    void increaseSize();
    void decreaseSize();
    void startStopButtonAction();
    // Re-reads the rows the files table shows, so that a file deleted or moved meanwhile
    // turns red or gray.
    void refreshVisibleFileRows();

signals:
    // After a search has ended and its summary line shows.
    void searchEnded();
    // After the trash command has ended: files moved, stopped with an alert, or cancelled.
    void trashCommandFinished();

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void windowDidLoad();
    void grabTableColumns();
    void groupsSelectionDidChange();
    void filesSelectionDidChange();
    void pathTableAction(const QPoint& position);
    void pathTableDoubleAction(const QPoint& position);
    void revealFromFilesTable();
    void revealFromPathTableView();
    void setPathViewToShowMessage(const QString& message);
    void resizePathViewColumns();
    void applyIconSize();
    void carryOutTrashPlan(const TWFileCommands::TrashPlan& plan);
    void showAlert(const QString& message);
    void detachFromSearch();

    std::unique_ptr<Ui::TWResultsWindow> ui_;
    TWTrash& trash_;
    std::shared_ptr<TWSearchController> controller_;
    TWKindIconProvider kinds_;
    TWGroupOfGroups selectedGroups_;
    TWGroupsTableModel* groupsModel_ = nullptr;
    TWFilesTableModel* filesModel_ = nullptr;
    TWPathViewModel* pathModel_ = nullptr;
    std::unique_ptr<TWFileCommands> commands_;
    TWRevealService* reveal_ = nullptr;
    QMenu* columnMenu_ = nullptr;
    Table currentTable_ = Table::none;
    int iconSize_ = kSmallestIconSize;
    QTimer rowRefreshTimer_;
};
