#include "setup/TWFolderPanel.h"

#include <QAbstractItemView>
#include <QFileDialog>

std::optional<QStringList> TWFolderPanel::chooseFolders(QWidget* parent) {
    QFileDialog dialog(parent, tr("Choose Folders to Search"));
    configure(dialog);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.selectedFiles();
}

void TWFolderPanel::configure(QFileDialog& dialog) {
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly, true);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setLabelText(QFileDialog::Accept, tr("Choose"));
    // The dialog's folder views select one row at a time in directory mode.
    for (QAbstractItemView* view : dialog.findChildren<QAbstractItemView*>(
             QString(), Qt::FindChildrenRecursively)) {
        if (view->objectName() == QLatin1String("listView") ||
            view->objectName() == QLatin1String("treeView"))
            view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    }
}
