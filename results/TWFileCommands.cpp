#include "results/TWFileCommands.h"

#include "model/TWGroupOfGroups.h"
#include "platform/TWTrash.h"
#include "results/TWClipboardWriter.h"
#include "results/TWFilesTableModel.h"

#include <QItemSelectionModel>
#include <QTableView>
#include <algorithm>
#include <unordered_map>
#include <unordered_set>

TWFileCommands::TWFileCommands(QTableView& filesTable, TWFilesTableModel& model, TWTrash& trash)
    : filesTable_(filesTable), model_(model), trash_(trash) {}

QItemSelectionModel& TWFileCommands::selection() const {
    return *filesTable_.selectionModel();
}

std::vector<int> TWFileCommands::selectedRows() const {
    int rowCount = model_.rowCount();
    std::vector<char> marked(static_cast<std::size_t>(rowCount), 0);
    std::size_t count = 0;
    const QItemSelection ranges = selection().selection();
    for (const QItemSelectionRange& range : ranges) {
        int top = std::max(range.top(), 0);
        int bottom = std::min(range.bottom(), rowCount - 1);
        for (int row = top; row <= bottom; ++row) {
            char& mark = marked[static_cast<std::size_t>(row)];
            count += mark == 0;
            mark = 1;
        }
    }
    std::vector<int> rows;
    rows.reserve(count);
    for (int row = 0; row < rowCount; ++row)
        if (marked[static_cast<std::size_t>(row)])
            rows.push_back(row);
    return rows;
}

int TWFileCommands::selectedRowCount(int limit) const {
    // Ranges may overlap, so distinct rows are counted; two rows decide "several".
    std::vector<int> seen;
    const QItemSelection ranges = selection().selection();
    for (const QItemSelectionRange& range : ranges) {
        for (int row = range.top(); row <= range.bottom(); ++row) {
            if (std::find(seen.begin(), seen.end(), row) == seen.end())
                seen.push_back(row);
            if (static_cast<int>(seen.size()) >= limit)
                return limit;
        }
    }
    return static_cast<int>(seen.size());
}

int TWFileCommands::selectedRow() const {
    QModelIndex current = selection().currentIndex();
    if (current.isValid() && selection().isRowSelected(current.row(), QModelIndex()))
        return current.row();
    int last = -1;
    const QItemSelection ranges = selection().selection();
    for (const QItemSelectionRange& range : ranges)
        last = std::max(last, range.bottom());
    return last;
}

QItemSelection TWFileCommands::selectionOfRows(const std::vector<int>& ascendingRows,
                                               const TWFilesTableModel& model) {
    QItemSelection ranges;
    int lastColumn = model.columnCount() - 1;
    std::size_t i = 0;
    while (i < ascendingRows.size()) {
        std::size_t j = i;
        while (j + 1 < ascendingRows.size() && ascendingRows[j + 1] == ascendingRows[j] + 1)
            ++j;
        ranges.append(QItemSelectionRange(model.index(ascendingRows[i], 0),
                                          model.index(ascendingRows[j], lastColumn)));
        i = j + 1;
    }
    return ranges;
}

void TWFileCommands::selectRows(const std::vector<int>& ascendingRows) {
    // Clearing first keeps Qt from comparing the old ranges with the new ones pair by pair,
    // which takes minutes when both hold one range per group.
    selection().clearSelection();
    if (!ascendingRows.empty())
        selection().select(selectionOfRows(ascendingRows, model_), QItemSelectionModel::Select);
}

void TWFileCommands::selectArray(const std::vector<const TWFileSystemPath*>& nodes) {
    std::unordered_set<const TWFileSystemPath*> wanted(nodes.begin(), nodes.end());
    const TWGroupOfGroups& groups = model_.groups();
    std::vector<int> rows;
    int row = 0;
    for (const TWDuplicateGroupRef& group : groups.groups()) {
        for (const TWFileSystemPathRef& node : group->fsNodes()) {
            if (wanted.contains(node.get()))
                rows.push_back(row);
            ++row;
        }
    }
    selectRows(rows);
}

void TWFileCommands::invertSelection() {
    std::vector<int> selected = selectedRows();
    std::vector<int> inverted;
    inverted.reserve(static_cast<std::size_t>(model_.rowCount()) - selected.size());
    std::size_t next = 0;
    for (int row = 0; row < model_.rowCount(); ++row) {
        if (next < selected.size() && selected[next] == row)
            ++next;
        else
            inverted.push_back(row);
    }
    selectRows(inverted);
}

namespace {

// The member with the latest (or earliest) modification date that the search saw; among
// equals the first. A member seen without a date is never chosen over one with a date.
// Reading the dates the search kept asks nothing of the disk, so one choice per group of
// 100,000 files stays quick; a file changed since then is refused by the trash command.
TWFileSystemPath* memberBySeenDate(const TWDuplicateGroup& group, bool latest) {
    TWFileSystemPath* best = nullptr;
    std::optional<TWTimestamp> bestDate;
    for (const TWFileSystemPathRef& node : group.fsNodes()) {
        const auto& seen = node->seenStat();
        std::optional<TWTimestamp> date =
            seen ? std::optional<TWTimestamp>(seen->modified) : std::nullopt;
        bool better =
            !best || (date && (!bestDate || (latest ? *date > *bestDate : *date < *bestDate)));
        if (better) {
            best = node.get();
            bestDate = date;
        }
    }
    return best;
}

} // namespace

void TWFileCommands::selectOnePerGroup(Choice choice) {
    const TWGroupOfGroups& groups = model_.groups();
    std::vector<int> rows;
    rows.reserve(static_cast<std::size_t>(groups.groupCount()));
    for (std::int32_t g = 0; g < groups.groupCount(); ++g) {
        TWDuplicateGroup* group = groups.groupAtIndex(g);
        TWFileSystemPath* chosen = nullptr;
        switch (choice) {
        case Choice::newest:
            chosen = memberBySeenDate(*group, true);
            break;
        case Choice::oldest:
            chosen = memberBySeenDate(*group, false);
            break;
        case Choice::largest:
            chosen = group->biggestNode();
            break;
        case Choice::smallest:
            chosen = group->smallestNode();
            break;
        }
        std::int32_t row = groups.flatIndexOfNode(g, chosen);
        if (row >= 0)
            rows.push_back(row);
    }
    selectRows(rows);
}

bool TWFileCommands::copySelectedPath() const {
    TWFileSystemPath* node = model_.nodeAtRow(selectedRow());
    if (!node)
        return false;
    TWClipboardWriter::copyPath(node->absolutePath());
    return true;
}

TWFileCommands::TrashPlan TWFileCommands::planMoveToTrash() const {
    TrashPlan plan;
    const TWGroupOfGroups& groups = model_.groups();
    std::unordered_set<const TWFileSystemPath*> planned;
    std::vector<std::int32_t> touchedGroups;
    for (int row : selectedRows()) {
        auto position = groups.positionOfFlatIndex(row);
        if (!position)
            continue;
        const TWDuplicateGroupRef& group =
            groups.groups()[static_cast<std::size_t>(position->groupIndex)];
        const TWFileSystemPathRef& node = group->fsNodes()[position->memberIndex];
        if (!node->exists())
            continue;
        plan.nodes.push_back(node);
        planned.insert(node.get());
        if (touchedGroups.empty() || touchedGroups.back() != position->groupIndex) {
            touchedGroups.push_back(position->groupIndex);
            plan.groups.push_back(group);
        }
    }
    for (const TWDuplicateGroupRef& group : plan.groups) {
        bool anyMoves = false;
        bool copyStays = false;
        for (const TWFileSystemPathRef& node : group->fsNodes()) {
            bool inTrash = node->isInTrash(trash_);
            if (planned.contains(node.get()))
                anyMoves = anyMoves || !inTrash;
            else if (!inTrash && node->exists())
                copyStays = true;
            if (copyStays)
                break;
        }
        if (anyMoves && !copyStays)
            ++plan.groupsLosingEveryCopy;
    }
    return plan;
}

TWFileCommands::TrashResult TWFileCommands::moveToTrash(const TrashPlan& plan) {
    TrashResult result;
    for (const TWFileSystemPathRef& node : plan.nodes) {
        if (!node->exists())
            continue;
        if (!node->isInTrash(trash_) && !node->isUnchangedSinceSeen()) {
            result.status = TrashResult::Status::changed;
            result.path = node->absolutePath();
            return result;
        }
        if (!node->movedToTrash(trash_)) {
            result.status = TrashResult::Status::failed;
            result.path = node->absolutePath();
            return result;
        }
        ++result.movedCount;
    }
    return result;
}
