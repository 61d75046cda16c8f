#pragma once

#include <QItemSelectionModel>

// The files table's selection model. When a selection replaces another (a click, a shift
// click, select all), Qt compares the old and the new ranges pair by pair, which takes
// seconds once "select newest" has left one range per group among 100,000 rows. Emptying the
// old selection first, as its own change, makes that comparison trivial; views and the
// window see one change to nothing and one to the new selection.
class TWFilesSelectionModel final : public QItemSelectionModel {
    Q_OBJECT
public:
    using QItemSelectionModel::QItemSelectionModel;
    using QItemSelectionModel::select;

    void select(const QItemSelection& selection, SelectionFlags command) override;
};
