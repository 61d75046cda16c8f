#include "results/TWResultsWindowController.h"

#include "engine/TWSearchController.h"
#include "platform/TWDisplayText.h"
#include "platform/TWTrash.h"
#include "results/TWFilesSelectionModel.h"
#include "results/TWFilesTableModel.h"
#include "results/TWGroupsTableModel.h"
#include "results/TWImageTextDelegate.h"
#include "results/TWPathViewModel.h"
#include "results/TWRevealService.h"
#include "results/TWStatusTextTranslation.h"
#include "ui_search.h"

#include <QCloseEvent>
#include <QHeaderView>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QWindow>

namespace {

constexpr int kTagAlways = 0;
constexpr int kTagRevealable = 101;
constexpr int kTagTrashable = 102;
constexpr int kPathViewIconSize = 16;
constexpr int kPathViewMinimumColumnWidth = 32;
constexpr int kPathViewCellSpacing = 5;
constexpr int kRowRefreshMilliseconds = 1500;

int tagOf(const QAction* item) {
    return item->property("tag").toInt();
}

QString display(const std::string& bytes) {
    return QString::fromStdString(displayTextForBytes(bytes));
}

std::vector<int> selectedRowsOf(const QItemSelectionModel& selection, int rowCount) {
    std::vector<char> marked(static_cast<std::size_t>(std::max(rowCount, 0)), 0);
    const QItemSelection ranges = selection.selection();
    for (const QItemSelectionRange& range : ranges)
        for (int row = std::max(range.top(), 0); row <= std::min(range.bottom(), rowCount - 1);
             ++row)
            marked[static_cast<std::size_t>(row)] = 1;
    std::vector<int> rows;
    for (int row = 0; row < rowCount; ++row)
        if (marked[static_cast<std::size_t>(row)])
            rows.push_back(row);
    return rows;
}

} // namespace

TWResultsWindowController::TWResultsWindowController(const std::vector<std::string>& startPaths,
                                                     const TWSearchParams& searchParams,
                                                     TWTrash& trash, TWMainThread& mainThread,
                                                     QWidget* parent)
    : QMainWindow(parent), ui_(std::make_unique<Ui::TWResultsWindow>()), trash_(trash) {
    controller_ =
        TWSearchController::searchControllerWithStartPaths(startPaths, searchParams, mainThread);
    controller_->setWindow(this);
    selectedGroups_.setIconSize(kSmallestIconSize, kSmallestIconSize);
    ui_->setupUi(this);
    windowDidLoad();
}

TWResultsWindowController::~TWResultsWindowController() {
    qApp->removeEventFilter(this);
    detachFromSearch();
}

void TWResultsWindowController::detachFromSearch() {
    if (!controller_)
        return;
    controller_->setWindow(nullptr);
    controller_.reset();
}

QTableView* TWResultsWindowController::groupsTable() const {
    return ui_->groupsTable;
}
QTableView* TWResultsWindowController::filesTable() const {
    return ui_->filesTable;
}
QTableView* TWResultsWindowController::pathTableView() const {
    return ui_->pathTableView;
}
QString TWResultsWindowController::statusText() const {
    return ui_->statusField->text();
}

// ---- Set-up ----

void TWResultsWindowController::windowDidLoad() {
    const auto& starts = controller_->startPaths();
    if (starts.size() > 1)
        setWindowTitle(tr("Searching %1 places").arg(starts.size()));
    else
        setWindowTitle(
            tr("Searching %1")
                .arg(starts.empty() ? QString() : display(starts.front()->lastPathComponent())));

    ui_->progress->hide();
    ui_->startStopButton->setIcon(TWKindIconProvider::redoImage());
    ui_->startStopButton->setToolTip(tr("Search Again"));
    connect(ui_->startStopButton, &QToolButton::clicked, this,
            &TWResultsWindowController::startStopButtonAction);

    // Groups table.
    groupsModel_ = new TWGroupsTableModel(this);
    QTableView* groups = ui_->groupsTable;
    groups->setModel(groupsModel_);
    delete groups->selectionModel();
    groups->setSelectionModel(new TWFilesSelectionModel(groupsModel_, groups));
    groups->horizontalHeader()->setStretchLastSection(true);
    groups->verticalHeader()->hide();
    groups->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    groups->verticalHeader()->setDefaultSectionSize(groups->fontMetrics().height() + 6);
    connect(groups->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &TWResultsWindowController::groupsSelectionDidChange);

    // Files table.
    filesModel_ = new TWFilesTableModel(selectedGroups_, trash_, kinds_, this);
    QTableView* files = ui_->filesTable;
    files->setModel(filesModel_);
    delete files->selectionModel();
    files->setSelectionModel(new TWFilesSelectionModel(filesModel_, files));
    files->setItemDelegateForColumn(TWFilesTableModel::displayNameColumn,
                                    new TWImageTextDelegate(files));
    files->verticalHeader()->hide();
    files->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    files->verticalHeader()->setMinimumSectionSize(1);
    files->horizontalHeader()->setSectionsMovable(true);
    files->horizontalHeader()->setHighlightSections(false);
    files->horizontalHeader()->setStretchLastSection(true);
    files->setTextElideMode(Qt::ElideMiddle);
    connect(files->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &TWResultsWindowController::filesSelectionDidChange);
    connect(files, &QTableView::doubleClicked, this, [this] { revealInFinder(); });
    commands_ = std::make_unique<TWFileCommands>(*files, *filesModel_, trash_);
    grabTableColumns();
    applyIconSize();

    // Path view.
    pathModel_ = new TWPathViewModel(kinds_, trash_, this);
    QTableView* path = ui_->pathTableView;
    path->setModel(pathModel_);
    auto* pathDelegate = new TWImageTextDelegate(path);
    pathDelegate->setDrawsBranchMarks(true);
    path->setItemDelegate(pathDelegate);
    path->setIconSize(QSize(kPathViewIconSize, kPathViewIconSize));
    path->horizontalHeader()->hide();
    path->verticalHeader()->hide();
    path->horizontalHeader()->setMinimumSectionSize(kPathViewMinimumColumnWidth);
    path->horizontalHeader()->setStretchLastSection(true);
    path->verticalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    setPathViewToShowMessage(QString());

    // Menus.
    for (QMenu* menu : {ui_->menuFile, ui_->menuEdit, ui_->menuView})
        connect(menu, &QMenu::aboutToShow, this, &TWResultsWindowController::validateMenuItems);
    connect(ui_->actionCopy, &QAction::triggered, this, &TWResultsWindowController::copy);
    connect(ui_->actionMoveToTrash, &QAction::triggered, this,
            &TWResultsWindowController::moveFilesToTrash);
    connect(ui_->actionRevealInFileManager, &QAction::triggered, this,
            &TWResultsWindowController::revealInFinder);
    connect(ui_->actionInvertSelection, &QAction::triggered, this,
            &TWResultsWindowController::invertSelection);
    connect(ui_->actionSelectNewest, &QAction::triggered, this,
            &TWResultsWindowController::selectNewest);
    connect(ui_->actionSelectOldest, &QAction::triggered, this,
            &TWResultsWindowController::selectOldest);
    connect(ui_->actionSelectLargest, &QAction::triggered, this,
            &TWResultsWindowController::selectLargest);
    connect(ui_->actionSelectSmallest, &QAction::triggered, this,
            &TWResultsWindowController::selectSmallest);
    connect(ui_->actionLargerIcons, &QAction::triggered, this,
            &TWResultsWindowController::increaseSize);
    connect(ui_->actionSmallerIcons, &QAction::triggered, this,
            &TWResultsWindowController::decreaseSize);
    connect(ui_->actionCloseWindow, &QAction::triggered, this, &QWidget::close);
    columnMenu_ = new QMenu(this);
    for (QAction* item : columnItems()) {
        connect(item, &QAction::triggered, this, [this, item] { viewColumnAction(item); });
        columnMenu_->addAction(item);
    }
    connect(columnMenu_, &QMenu::aboutToShow, this, &TWResultsWindowController::validateMenuItems);
    QHeaderView* header = files->horizontalHeader();
    header->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(header, &QWidget::customContextMenuRequested, this,
            [this, header](const QPoint& position) {
                columnMenu_->popup(header->mapToGlobal(position));
            });
    // Watching the application's events: a shortcut is matched only after the focus widget
    // was offered the key (validating then keeps every shortcut in step with the rules), and
    // clicks in the tables tell which table the user last clicked.
    qApp->installEventFilter(this);

    reveal_ = new TWRevealService(this);

    rowRefreshTimer_.setInterval(kRowRefreshMilliseconds);
    connect(&rowRefreshTimer_, &QTimer::timeout, this,
            &TWResultsWindowController::refreshVisibleFileRows);
    rowRefreshTimer_.start();
    validateMenuItems();
}

void TWResultsWindowController::grabTableColumns() {
    static const int kHiddenAtFirst[] = {
        TWFilesTableModel::createdColumn, TWFilesTableModel::pathExtensionColumn,
        TWFilesTableModel::fileHFSCreatorCodeColumn, TWFilesTableModel::fileHFSTypeCodeColumn};
    static const std::pair<int, int> kFirstWidths[] = {
        {TWFilesTableModel::displayNameColumn, 260},
        {TWFilesTableModel::modifiedColumn, 110},
        {TWFilesTableModel::createdColumn, 110},
        {TWFilesTableModel::sizeStringColumn, 90},
        {TWFilesTableModel::kindColumn, 150},
        {TWFilesTableModel::pathExtensionColumn, 80},
        {TWFilesTableModel::fileHFSCreatorCodeColumn, 80},
        {TWFilesTableModel::fileHFSTypeCodeColumn, 80}};
    QHeaderView* header = ui_->filesTable->horizontalHeader();
    for (auto [column, width] : kFirstWidths)
        header->resizeSection(column, width);
    for (int column : kHiddenAtFirst)
        header->hideSection(column);
}

QList<QAction*> TWResultsWindowController::menuItems() const {
    return findChildren<QAction*>(QString(), Qt::FindDirectChildrenOnly);
}

QList<QAction*> TWResultsWindowController::columnItems() const {
    return {ui_->actionViewModified,    ui_->actionViewCreated, ui_->actionViewSize,
            ui_->actionViewKind,        ui_->actionViewFolder,  ui_->actionViewExtension,
            ui_->actionViewCreatorCode, ui_->actionViewTypeCode};
}

// ---- The search ----

void TWResultsWindowController::startSearch() {
    if (controller_)
        controller_->startSearch();
}

void TWResultsWindowController::startStopButtonAction() {
    if (controller_)
        controller_->startStopButtonAction();
}

void TWResultsWindowController::setStatusFieldText(const TWStatusText& status) {
    ui_->statusField->setText(translatedStatusText(status));
}

void TWResultsWindowController::setStartStopButtonEnabled(bool enabled) {
    ui_->startStopButton->setEnabled(enabled);
}

void TWResultsWindowController::searchDidStart() {
    ui_->startStopButton->setEnabled(true);
    ui_->startStopButton->setIcon(TWKindIconProvider::stopImage());
    ui_->startStopButton->setToolTip(tr("Stop"));
    // The groups of an earlier run go while the new one runs, and their files with them.
    groupsModel_->setGroups({});
    filesModel_->beginRefill();
    selectedGroups_.removeAll();
    filesModel_->endRefill();
    setPathViewToShowMessage(QString());
    ui_->progress->show();
}

void TWResultsWindowController::searchDidEnd() {
    ui_->progress->hide();
    groupsModel_->setGroups(controller_ ? controller_->allGroups()
                                        : std::vector<TWDuplicateGroupRef>());
    ui_->startStopButton->setIcon(TWKindIconProvider::redoImage());
    ui_->startStopButton->setToolTip(tr("Search Again"));
    ui_->startStopButton->setEnabled(true);
    // The controller shows the summary line after this returns.
    QMetaObject::invokeMethod(this, &TWResultsWindowController::searchEnded, Qt::QueuedConnection);
}

void TWResultsWindowController::closeEvent(QCloseEvent* event) {
    detachFromSearch();
    rowRefreshTimer_.stop();
    QMainWindow::closeEvent(event);
}

void TWResultsWindowController::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        refreshVisibleFileRows(); // back from the file manager, perhaps
}

// ---- Tables and selection ----

bool TWResultsWindowController::eventFilter(QObject* watched, QEvent* event) {
    QEvent::Type type = event->type();
    if (type == QEvent::ShortcutOverride) {
        bool ours = watched == windowHandle() ||
                    (watched->isWidgetType() && static_cast<QWidget*>(watched)->window() == this);
        if (ours)
            validateMenuItems();
        return false;
    }
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonDblClick &&
        type != QEvent::MouseButtonRelease && type != QEvent::MouseMove)
        return false;
    auto* mouse = static_cast<QMouseEvent*>(event);
    if (watched == ui_->groupsTable->viewport()) {
        if (type == QEvent::MouseButtonPress)
            currentTable_ = Table::groups;
    } else if (watched == ui_->filesTable->viewport()) {
        if (type == QEvent::MouseButtonPress) {
            currentTable_ = Table::files;
            ui_->pathTableView->clearSelection();
        }
    } else if (watched == ui_->pathTableView->viewport()) {
        // The path view selects one column at a time and never its row; it does that here.
        if (type == QEvent::MouseButtonPress && mouse->button() == Qt::LeftButton)
            pathTableAction(mouse->position().toPoint());
        else if (type == QEvent::MouseButtonDblClick && mouse->button() == Qt::LeftButton)
            pathTableDoubleAction(mouse->position().toPoint());
        return true;
    }
    return false;
}

void TWResultsWindowController::groupsSelectionDidChange() {
    std::vector<int> rows =
        selectedRowsOf(*ui_->groupsTable->selectionModel(), groupsModel_->rowCount());
    filesModel_->beginRefill();
    selectedGroups_.removeAll();
    for (int row : rows)
        if (const TWDuplicateGroupRef* group = groupsModel_->groupAtRow(row))
            selectedGroups_.addGroup(*group);
    filesModel_->endRefill();
    setPathViewToShowMessage(QString());
}

void TWResultsWindowController::filesSelectionDidChange() {
    int count = commands_->selectedRowCount(2);
    if (count == 0) {
        setPathViewToShowMessage(QString());
        return;
    }
    if (count > 1) {
        setPathViewToShowMessage(tr("Multiple files selected..."));
        return;
    }
    TWFileSystemPath* node = filesModel_->nodeAtRow(commands_->selectedRow());
    if (!node) {
        setPathViewToShowMessage(QString());
    } else if (!node->exists()) {
        setPathViewToShowMessage(tr("File was moved..."));
    } else if (node->isInTrash(trash_)) {
        pathModel_->setPathViewToShowTrashItem(node->lastPathComponent(), node->isDirectory());
        resizePathViewColumns();
    } else {
        pathModel_->setPathViewToShowPath(node->absolutePath());
        resizePathViewColumns();
    }
}

void TWResultsWindowController::refreshVisibleFileRows() {
    QTableView* files = ui_->filesTable;
    if (filesModel_->rowCount() == 0 || !files->isVisible())
        return;
    int first = files->rowAt(0);
    int last = files->rowAt(files->viewport()->height() - 1);
    if (first < 0)
        return;
    filesModel_->refreshRows(first, last < 0 ? filesModel_->rowCount() - 1 : last);
}

// ---- Path view ----

void TWResultsWindowController::setPathViewToShowMessage(const QString& message) {
    pathModel_->setPathViewToShowMessage(message);
    resizePathViewColumns();
}

void TWResultsWindowController::resizePathViewColumns() {
    QTableView* path = ui_->pathTableView;
    QHeaderView* header = path->horizontalHeader();
    if (pathModel_->showsMessage())
        return; // the one column fills the view
    int last = pathModel_->componentCount() - 1;
    QStyleOptionViewItem option;
    option.initFrom(path);
    option.decorationSize = path->iconSize();
    for (int column = 0; column <= last; ++column) {
        QModelIndex index = pathModel_->index(0, column);
        int wanted = path->itemDelegateForIndex(index)->sizeHint(option, index).width();
        header->resizeSection(column,
                              std::max(kPathViewMinimumColumnWidth, wanted + kPathViewCellSpacing));
    }
    path->scrollTo(pathModel_->index(0, last));
}

void TWResultsWindowController::pathTableAction(const QPoint& position) {
    if (pathModel_->componentCount() <= 1)
        return; // a message, not a path
    currentTable_ = Table::path;
    QTableView* path = ui_->pathTableView;
    int column = path->columnAt(position.x());
    if (column < 0) {
        path->clearSelection();
        return;
    }
    path->selectionModel()->setCurrentIndex(pathModel_->index(0, column),
                                            QItemSelectionModel::ClearAndSelect |
                                                QItemSelectionModel::Columns);
}

void TWResultsWindowController::pathTableDoubleAction(const QPoint& position) {
    if (pathModel_->componentCount() <= 1)
        return;
    pathTableAction(position);
    revealInFinder();
}

// ---- Menu validation, columns and icon size ----

bool TWResultsWindowController::validateMenuItem(QAction* item) {
    int tag = tagOf(item);
    switch (tag) {
    case kTagAlways:
        return true;
    case kTagRevealable:
        if (currentTable_ == Table::files)
            return commands_->selectedRowCount(1) > 0;
        if (currentTable_ == Table::path)
            return ui_->pathTableView->selectionModel()->hasSelection();
        return false;
    case kTagTrashable:
        return currentTable_ == Table::files && commands_->selectedRowCount(1) > 0;
    default: {
        bool shown = !ui_->filesTable->horizontalHeader()->isSectionHidden(tag);
        if (item->isChecked() != shown)
            item->setChecked(shown);
        return true;
    }
    }
}

void TWResultsWindowController::validateMenuItems() {
    for (QAction* item : menuItems()) {
        bool enabled = validateMenuItem(item);
        if (item->isEnabled() != enabled)
            item->setEnabled(enabled);
    }
}

void TWResultsWindowController::viewColumnAction(QAction* item) {
    int column = tagOf(item);
    if (column <= 0 || column >= TWFilesTableModel::columnCount_)
        return;
    QHeaderView* header = ui_->filesTable->horizontalHeader();
    if (!header->isSectionHidden(column)) {
        header->hideSection(column);
    } else {
        header->moveSection(header->visualIndex(column), header->count() - 1);
        header->showSection(column);
    }
    validateMenuItem(item);
}

void TWResultsWindowController::increaseSize() {
    iconSize_ = std::min(iconSize_ * 2, kLargestIconSize);
    applyIconSize();
}

void TWResultsWindowController::decreaseSize() {
    iconSize_ = iconSize_ / 2;
    if (iconSize_ <= 15)
        iconSize_ = kSmallestIconSize;
    applyIconSize();
}

void TWResultsWindowController::applyIconSize() {
    QTableView* files = ui_->filesTable;
    // The row is as tall as the icon, but never so low that the text is cut.
    int textHeight = files->fontMetrics().height() + 2;
    files->verticalHeader()->setDefaultSectionSize(std::max(iconSize_, textHeight));
    files->setIconSize(QSize(iconSize_, iconSize_));
    selectedGroups_.setIconSize(static_cast<float>(iconSize_), static_cast<float>(iconSize_));
    files->viewport()->update();
}

// ---- File commands ----

void TWResultsWindowController::copy() {
    commands_->copySelectedPath();
}

void TWResultsWindowController::invertSelection() {
    commands_->invertSelection();
}

void TWResultsWindowController::selectNewest() {
    commands_->selectOnePerGroup(TWFileCommands::Choice::newest);
}

void TWResultsWindowController::selectOldest() {
    commands_->selectOnePerGroup(TWFileCommands::Choice::oldest);
}

void TWResultsWindowController::selectLargest() {
    commands_->selectOnePerGroup(TWFileCommands::Choice::largest);
}

void TWResultsWindowController::selectSmallest() {
    commands_->selectOnePerGroup(TWFileCommands::Choice::smallest);
}

void TWResultsWindowController::revealInFinder() {
    if (currentTable_ == Table::files)
        revealFromFilesTable();
    else if (currentTable_ == Table::path)
        revealFromPathTableView();
}

void TWResultsWindowController::revealFromFilesTable() {
    int row = commands_->selectedRow();
    TWFileSystemPath* node = filesModel_->nodeAtRow(row);
    if (!node || !node->exists())
        return;
    ui_->filesTable->scrollTo(filesModel_->index(row, 0));
    if (reveal_)
        reveal_->revealPath(node->absolutePath());
}

void TWResultsWindowController::revealFromPathTableView() {
    const QModelIndexList selected = ui_->pathTableView->selectionModel()->selectedIndexes();
    if (selected.isEmpty())
        return;
    int column = selected.front().column();
    std::string path = pathModel_->pathToPathViewComponent(column);
    if (path.empty())
        return;
    ui_->pathTableView->scrollTo(pathModel_->index(0, column));
    if (reveal_)
        reveal_->revealPath(path);
}

void TWResultsWindowController::moveFilesToTrash() {
    if (currentTable_ != Table::files)
        return;
    TWFileCommands::TrashPlan plan = commands_->planMoveToTrash();
    if (plan.groupsLosingEveryCopy == 0) {
        carryOutTrashPlan(plan);
        return;
    }
    auto* question = new QMessageBox(
        QMessageBox::Warning, QString(),
        tr("The selection holds every copy of %1 groups. Move them all to the Trash?")
            .arg(plan.groupsLosingEveryCopy),
        QMessageBox::Yes | QMessageBox::Cancel, this);
    question->setObjectName(QStringLiteral("everyCopyQuestion"));
    question->button(QMessageBox::Yes)->setText(tr("Move to Trash"));
    question->setDefaultButton(QMessageBox::Cancel);
    question->setEscapeButton(QMessageBox::Cancel);
    question->setWindowModality(Qt::WindowModal);
    question->setAttribute(Qt::WA_DeleteOnClose);
    connect(question, &QMessageBox::finished, this, [this, question, plan] {
        if (question->clickedButton() == question->button(QMessageBox::Yes))
            carryOutTrashPlan(plan);
        else
            emit trashCommandFinished();
    });
    question->open();
}

void TWResultsWindowController::carryOutTrashPlan(const TWFileCommands::TrashPlan& plan) {
    TWFileCommands::TrashResult result = commands_->moveToTrash(plan);
    // Moved files change colour and folder text, whether or not all went.
    filesModel_->forgetAllRows();
    switch (result.status) {
    case TWFileCommands::TrashResult::Status::moved:
        ui_->filesTable->clearSelection();
        setPathViewToShowMessage(QString());
        break;
    case TWFileCommands::TrashResult::Status::changed:
        showAlert(tr("The file at %1 has changed since the search and was not moved to the "
                     "Trash.")
                      .arg(display(result.path)));
        break;
    case TWFileCommands::TrashResult::Status::failed:
        showAlert(tr("Couldn't move file at path : %1").arg(display(result.path)));
        break;
    }
    emit trashCommandFinished();
}

void TWResultsWindowController::showAlert(const QString& message) {
    auto* alert = new QMessageBox(QMessageBox::Warning, QString(), message, QMessageBox::Ok, this);
    alert->setObjectName(QStringLiteral("trashAlert"));
    alert->setWindowModality(Qt::WindowModal);
    alert->setAttribute(Qt::WA_DeleteOnClose);
    alert->open();
}
