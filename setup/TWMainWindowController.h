#pragma once

#include <QObject>
#include <QPointer>
#include <QSize>

#include <memory>
#include <string>
#include <vector>

class QAction;
class QMainWindow;
class QWidget;
class TWAdvancedViewController;
class TWSearchLauncher;
class TWStandardViewController;

// The application's main window: shows the standard or the advanced search view, swaps them
// on the user's command, fits the window to the view shown and remembers the choice in the
// preference "DefaultView" (QSettings of the application's organisation and name). Closing
// the main window ends the application, whatever search windows are open.
//
// Each view is loaded once, when first shown, and kept with the state of its controls until
// the controller is destroyed. Main thread only.
class TWMainWindowController : public QObject {
    Q_OBJECT
public:
    // The launcher makes the search windows; it must outlive this controller.
    explicit TWMainWindowController(TWSearchLauncher& launcher, QObject* parent = nullptr);
    ~TWMainWindowController() override;

    QMainWindow* mainWindow() const { return mainWindow_.get(); }
    QAction* advancedMenuItem() const { return advancedMenuItem_; }
    TWSearchLauncher& searchLauncher() const { return launcher_; }

    void setAdvancedMenuItemToToggle();
    void loadStandardView();
    void loadAdvancedView();
    // Shows the view that "DefaultView" names: the advanced view when it is absent or reads
    // "advanced" in any case, the standard view for any other value.
    void loadDefaultView();
    // Stores the other view in "DefaultView" and shows it.
    void toggleView();
    TWStandardViewController* standardViewController();
    TWAdvancedViewController* advancedViewController();
    // Makes the view the window's content; the window keeps its top-left corner and takes
    // the size that fits the view's size.
    void resizeWindowAndInsertView(QWidget* view, QSize viewSize);

    // Folders dropped on the window or named on the command line: the start paths of both
    // views (raw bytes).
    void setStartPaths(const std::vector<std::string>& paths);

    static constexpr const char* kDefaultViewKey = "DefaultView";

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // awakeFromNib: the window, its menus and the first view.
    void setUpWindow();
    bool defaultViewIsAdvanced() const;

    TWSearchLauncher& launcher_;
    std::unique_ptr<QMainWindow> mainWindow_;
    QAction* advancedMenuItem_ = nullptr;
    std::unique_ptr<TWStandardViewController> standardViewController_;
    std::unique_ptr<TWAdvancedViewController> advancedViewController_;
    // Fills the window while it is being resized; owned while out of the window.
    std::unique_ptr<QWidget> blankView_;
};
