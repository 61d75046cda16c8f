#include "results/TWFilesSelectionModel.h"

void TWFilesSelectionModel::select(const QItemSelection& selection, SelectionFlags command) {
    bool replaces = (command & Clear) && (command & (Select | Deselect | Toggle));
    if (replaces && hasSelection()) {
        QItemSelectionModel::select(QItemSelection(), Clear);
        command &= ~SelectionFlags(Clear);
    }
    QItemSelectionModel::select(selection, command);
}
