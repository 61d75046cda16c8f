#include "setup/TWMainWindowController.h"

#include "setup/TWAdvancedViewController.h"
#include "setup/TWStandardViewController.h"

#include <QAction>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QLayout>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QSettings>
#include <QUrl>

namespace {

const char* const kAdvanced = "advanced";
const char* const kStandard = "standard";

// The local folders among the dragged items, as raw byte paths.
std::vector<std::string> draggedFolders(const QMimeData* mime) {
    std::vector<std::string> folders;
    if (!mime || !mime->hasUrls())
        return folders;
    for (const QUrl& url : mime->urls()) {
        if (!url.isLocalFile())
            continue;
        QString path = url.toLocalFile();
        if (QFileInfo(path).isDir())
            folders.push_back(QFile::encodeName(path).toStdString());
    }
    return folders;
}

} // namespace

TWMainWindowController::TWMainWindowController(TWSearchLauncher& launcher, QObject* parent)
    : QObject(parent), launcher_(launcher) {
    setUpWindow();
}

TWMainWindowController::~TWMainWindowController() {
    // The views belong to their controllers, not to the window.
    mainWindow_->takeCentralWidget();
}

void TWMainWindowController::setUpWindow() {
    mainWindow_ = std::make_unique<QMainWindow>();
    mainWindow_->setObjectName(QStringLiteral("mainWindow"));
    mainWindow_->setWindowTitle(QStringLiteral("Twinfind"));
    mainWindow_->setAcceptDrops(true);
    mainWindow_->installEventFilter(this);

    QMenu* fileMenu = mainWindow_->menuBar()->addMenu(tr("&File"));
    QAction* quit = fileMenu->addAction(tr("&Quit"));
    quit->setShortcut(QKeySequence::Quit);
    connect(quit, &QAction::triggered, mainWindow_.get(), &QWidget::close);
    QMenu* viewMenu = mainWindow_->menuBar()->addMenu(tr("&View"));
    advancedMenuItem_ = viewMenu->addAction(QString());
    advancedMenuItem_->setObjectName(QStringLiteral("advancedMenuItem"));

    blankView_ = std::make_unique<QWidget>();
    loadDefaultView();
    setAdvancedMenuItemToToggle();
}

void TWMainWindowController::setAdvancedMenuItemToToggle() {
    advancedMenuItem_->setText(tr("Toggle advanced/standard mode"));
    connect(advancedMenuItem_, &QAction::triggered, this, &TWMainWindowController::toggleView,
            Qt::UniqueConnection);
}

bool TWMainWindowController::defaultViewIsAdvanced() const {
    QVariant value = QSettings().value(kDefaultViewKey);
    return !value.isValid() ||
           QString::compare(value.toString(), QLatin1String(kAdvanced), Qt::CaseInsensitive) == 0;
}

void TWMainWindowController::loadDefaultView() {
    if (defaultViewIsAdvanced())
        loadAdvancedView();
    else
        loadStandardView();
}

void TWMainWindowController::toggleView() {
    QSettings().setValue(kDefaultViewKey,
                         QLatin1String(defaultViewIsAdvanced() ? kStandard : kAdvanced));
    loadDefaultView();
}

void TWMainWindowController::loadStandardView() {
    TWStandardViewController* controller = standardViewController();
    resizeWindowAndInsertView(controller->view(), controller->viewSize());
}

void TWMainWindowController::loadAdvancedView() {
    TWAdvancedViewController* controller = advancedViewController();
    resizeWindowAndInsertView(controller->view(), controller->viewSize());
}

TWStandardViewController* TWMainWindowController::standardViewController() {
    if (!standardViewController_) {
        standardViewController_ = std::make_unique<TWStandardViewController>(this);
        standardViewController_->loadView();
    }
    return standardViewController_.get();
}

TWAdvancedViewController* TWMainWindowController::advancedViewController() {
    if (!advancedViewController_) {
        advancedViewController_ = std::make_unique<TWAdvancedViewController>(this);
        advancedViewController_->loadView();
    }
    return advancedViewController_.get();
}

void TWMainWindowController::resizeWindowAndInsertView(QWidget* view, QSize viewSize) {
    // The previous view leaves the window but stays with its controller.
    mainWindow_->takeCentralWidget();
    mainWindow_->setCentralWidget(blankView_.get());
    // The window's minimum size still holds the previous view's until its layout has seen
    // the blank view, and would stop it from shrinking.
    mainWindow_->layout()->activate();

    // The window's content below the menu bar is to be the view's size; a top-level
    // window's position is its frame's top-left corner, which resizing leaves in place.
    int menuHeight = 0;
    if (QWidget* menu = mainWindow_->menuWidget(); menu && menu->isVisibleTo(mainWindow_.get()))
        menuHeight = menu->hasHeightForWidth() ? menu->heightForWidth(viewSize.width())
                                               : menu->sizeHint().height();
    mainWindow_->resize(viewSize.width(), viewSize.height() + menuHeight);

    mainWindow_->takeCentralWidget();
    mainWindow_->setCentralWidget(view);
    view->show();
    mainWindow_->layout()->activate();
}

void TWMainWindowController::setStartPaths(const std::vector<std::string>& paths) {
    standardViewController()->setChosenFolders(paths);
    advancedViewController()->setChosenFolders(paths);
}

bool TWMainWindowController::eventFilter(QObject* watched, QEvent* event) {
    if (watched != mainWindow_.get())
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::Close:
        // The search windows do not keep the application alive once the main window goes.
        QCoreApplication::exit(0);
        break;
    case QEvent::DragEnter: {
        auto* drag = static_cast<QDragEnterEvent*>(event);
        if (!draggedFolders(drag->mimeData()).empty()) {
            drag->acceptProposedAction();
            return true;
        }
        break;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        std::vector<std::string> folders = draggedFolders(drop->mimeData());
        if (!folders.empty()) {
            setStartPaths(folders);
            drop->acceptProposedAction();
            return true;
        }
        break;
    }
    default: break;
    }
    return QObject::eventFilter(watched, event);
}
