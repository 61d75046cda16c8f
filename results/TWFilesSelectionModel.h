#pragma once

#include <QItemSelectionModel>

// The selection model of a table whose selection is made of whole rows (the files table).
//
// Qt compares an old and a new selection range by range, which is quadratic in their number:
// once "select newest" has left one range per group among 100,000 rows, a click, a shift
// click, select all or a control click would each hold the event loop for seconds. So a
// selection that replaces another empties the old one first, as a change of its own, and a
// control click on a fragmented selection works out the new rows itself and sets them the
// same way. Views and the window then see one change to nothing and one to the result.
class TWFilesSelectionModel final : public QItemSelectionModel {
    Q_OBJECT
public:
    using QItemSelectionModel::QItemSelectionModel;
    using QItemSelectionModel::select;

    void select(const QItemSelection& selection, SelectionFlags command) override;

private:
    bool toggleRowsOfFragmentedSelection(const QItemSelection& selection);
};
