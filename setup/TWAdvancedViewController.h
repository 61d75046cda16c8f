#pragma once

#include "setup/TWSearchViewController.h"

#include <array>
#include <memory>

namespace Ui {
class advancedView;
}
class QListView;
class TWEditableListModel;
class TWSizeField;

// The advanced view: every criterion, the resource-fork option, the symbolic-link filter, a
// lower and an upper size bound (unit item i counts 1024^i bytes), and three editable lists
// (extensions, type codes, creator codes), each either the only values let in or the values
// left out.
class TWAdvancedViewController : public TWSearchViewController {
    Q_OBJECT
public:
    // The three lists, in the order their keys go into the dictionary.
    enum class List { extensions, types, creators };

    explicit TWAdvancedViewController(TWMainWindowController* windowController);
    ~TWAdvancedViewController() override;

    // Builds the view from its description "advancedView", makes the three lists and
    // connects the controls.
    void loadView();

    TWSearchParams searchParams() override;
    bool oneIsOn() const override;
    void checkBoxAction(QAbstractButton* sender) override;
    // Appends "????" to the plus button's list and opens it for editing, its text selected.
    void plusAction(QAbstractButton* sender);
    // Removes the selected entries of the minus button's list.
    void minusAction(QAbstractButton* sender);

    TWEditableListModel& entries(List list) const;

protected:
    bool hasRefusedInput() const override;

private:
    struct ListFilter {
        QAbstractButton* filterButton;
        QWidget* matrix;
        QAbstractButton* excludeRadio; // the matrix's row 1
        QListView* table;
        QAbstractButton* minusButton;
        QAbstractButton* plusButton;
        TWEditableListModel* entries;
        const char* key;
    };

    // The list whose table sent the notification: its minus button follows the selection.
    void tableViewSelectionDidChange(const ListFilter& list);
    // Hands a text still being typed into a list to the list.
    void commitOpenEditor(const ListFilter& list);

    std::unique_ptr<Ui::advancedView> ui_;
    std::array<ListFilter, 3> lists_{};
    TWSizeField* lessThanField_ = nullptr;
    TWSizeField* greaterThanField_ = nullptr;
};
