#include "results/TWFilesSelectionModel.h"

#include <vector>

namespace {

// Below this many ranges Qt's own comparison is quick.
constexpr qsizetype kFragmentedRanges = 64;

void markRows(const QItemSelection& ranges, std::vector<char>& marked, char value) {
    int rowCount = static_cast<int>(marked.size());
    for (const QItemSelectionRange& range : ranges)
        for (int row = std::max(range.top(), 0); row <= std::min(range.bottom(), rowCount - 1);
             ++row)
            marked[static_cast<std::size_t>(row)] = value;
}

} // namespace

void TWFilesSelectionModel::select(const QItemSelection& selection, SelectionFlags command) {
    bool replaces = (command & Clear) && (command & (Select | Deselect | Toggle));
    if (replaces && hasSelection()) {
        QItemSelectionModel::select(QItemSelection(), Clear);
        command &= ~SelectionFlags(Clear);
    }
    if ((command & Toggle) && !(command & (Clear | Current)) &&
        toggleRowsOfFragmentedSelection(selection))
        return;
    QItemSelectionModel::select(selection, command);
}

bool TWFilesSelectionModel::toggleRowsOfFragmentedSelection(const QItemSelection& selection) {
    const QAbstractItemModel* rows = model();
    if (!rows)
        return false;
    QItemSelection current = this->selection();
    if (current.size() < kFragmentedRanges)
        return false;
    std::vector<char> selected(static_cast<std::size_t>(rows->rowCount()), 0);
    std::vector<char> toggled(selected.size(), 0);
    markRows(current, selected, 1);
    markRows(selection, toggled, 1);
    QItemSelection result;
    int lastColumn = rows->columnCount() - 1;
    int count = static_cast<int>(selected.size());
    for (int row = 0; row < count;) {
        auto isSelected = [&](int r) {
            return (selected[static_cast<std::size_t>(r)] ^ toggled[static_cast<std::size_t>(r)]) !=
                   0;
        };
        if (!isSelected(row)) {
            ++row;
            continue;
        }
        int end = row;
        while (end + 1 < count && isSelected(end + 1))
            ++end;
        result.append(QItemSelectionRange(rows->index(row, 0), rows->index(end, lastColumn)));
        row = end + 1;
    }
    QItemSelectionModel::select(QItemSelection(), Clear);
    QItemSelectionModel::select(result, Select);
    return true;
}
