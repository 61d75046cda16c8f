#pragma once

#include "model/TWDuplicateGroup.h"
#include "model/TWFileSystemPath.h"

#include <QItemSelection>
#include <cstdint>
#include <string>
#include <vector>

class QItemSelectionModel;
class QTableView;
class TWFilesTableModel;
class TWTrash;

// The commands of a results window on its files table: reading and setting the selection,
// selecting one file per group, copying a path and moving files to the Trash.
//
// Selections are changed in one step from ranges of rows, never row by row, and membership is
// looked up in hash sets, so a table of 100,000 rows answers at once. The trash command never
// deletes anything: each file goes to the Trash through its node, and only while it is still
// the file the search saw. Main thread only.
class TWFileCommands {
public:
    enum class Choice { newest, oldest, largest, smallest };

    // What the trash command will move, decided before anything is moved.
    struct TrashPlan {
        std::vector<TWFileSystemPathRef> nodes;  // selected files that exist, in row order
        std::vector<TWDuplicateGroupRef> groups; // holds the groups while a question is open
        // Groups of which no copy would be left outside the Trash.
        int groupsLosingEveryCopy = 0;
    };
    struct TrashResult {
        enum class Status { moved, failed, changed };
        Status status = Status::moved;
        std::string path; // the file that stopped the command
        int movedCount = 0;
    };

    TWFileCommands(QTableView& filesTable, TWFilesTableModel& model, TWTrash& trash);

    // Selected rows in ascending order.
    std::vector<int> selectedRows() const;
    // How many rows are selected, counting no further than `limit`.
    int selectedRowCount(int limit) const;
    // The row selected last: the current row when it is selected, else the last selected row;
    // -1 when none is.
    int selectedRow() const;

    // Makes the selection exactly these rows (ascending, each in range).
    void selectRows(const std::vector<int>& ascendingRows);
    // Makes the selection exactly the rows of these nodes (the same node objects).
    void selectArray(const std::vector<const TWFileSystemPath*>& nodes);
    void invertSelection();
    // Selects one file in every group of the aggregate: newest and oldest by the modification
    // date the search saw (no file is asked again), largest and smallest by size; ties go to
    // the group's first such member.
    void selectOnePerGroup(Choice choice);

    // Puts the path of the row selected last on the clipboard; false when there is none.
    bool copySelectedPath() const;

    TrashPlan planMoveToTrash() const;
    // Moves the planned files one after another and stops at the first that cannot go: one
    // that has changed since the search (other device, inode, size or modification time) or
    // one the Trash refuses. Files gone meanwhile are skipped.
    TrashResult moveToTrash(const TrashPlan& plan);

    static QItemSelection selectionOfRows(const std::vector<int>& ascendingRows,
                                          const TWFilesTableModel& model);

private:
    QItemSelectionModel& selection() const;

    QTableView& filesTable_;
    TWFilesTableModel& model_;
    TWTrash& trash_;
};
