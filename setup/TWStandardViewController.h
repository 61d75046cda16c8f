#pragma once

#include "setup/TWSearchViewController.h"

#include <memory>

namespace Ui {
class standardView;
}
class TWSizeField;

// The standard view: the common criteria and filters plus one size bound, a number in units
// of 1024^(i + 1) bytes for unit item i, that leaves out files smaller than it (bound item 0)
// or larger than it (any other bound item).
class TWStandardViewController : public TWSearchViewController {
    Q_OBJECT
public:
    explicit TWStandardViewController(TWMainWindowController* windowController);
    ~TWStandardViewController() override;

    // Builds the view from its description "standardView" and connects its controls.
    void loadView();

    TWSearchParams searchParams() override;
    void checkBoxAction(QAbstractButton* sender) override;

protected:
    bool hasRefusedInput() const override;

private:
    std::unique_ptr<Ui::standardView> ui_;
    TWSizeField* sizeField_ = nullptr;
};
