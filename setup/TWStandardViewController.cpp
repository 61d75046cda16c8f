#include "setup/TWStandardViewController.h"

#include "engine/TWSearchSettings.h"
#include "setup/TWSizeField.h"
#include "ui_standardView.h"

TWStandardViewController::TWStandardViewController(TWMainWindowController* windowController)
    : TWSearchViewController(windowController) {}

TWStandardViewController::~TWStandardViewController() = default;

void TWStandardViewController::loadView() {
    auto view = std::make_unique<QWidget>();
    ui_ = std::make_unique<Ui::standardView>();
    ui_->setupUi(view.get());
    setView(std::move(view));
    setCommonOutlets({ui_->filterInvisiblesButton, ui_->filterPackagesButton,
                      ui_->matchContentsButton, ui_->matchDateCreatedButton,
                      ui_->matchNamesButton, ui_->matchSizesButton, ui_->startSearchButton,
                      ui_->identicalRadio, ui_->similarRadio, ui_->startFolderPopUp,
                      ui_->startPathsLabel});
    connectCheckBox(ui_->filterSizesButton);
    // The first unit item counts kibibytes.
    sizeField_ = new TWSizeField(ui_->filterSizesSizeField, ui_->filterSizesSizePopUp,
                                 ui_->filterSizesSizeMessage, 1, this);
    connect(sizeField_, &TWSizeField::refusalChanged, this,
            &TWStandardViewController::updateStartSearchButton);
}

TWSearchParams TWStandardViewController::searchParams() {
    TWSearchParams params = TWSearchViewController::searchParams();
    if (!isOn(ui_->filterSizesButton))
        return params;
    const char* tag = ui_->filterSizesTypePopUp->currentIndex() == 0 ? TWParamKey::kLessThan
                                                                      : TWParamKey::kGreaterThan;
    params[TWParamKey::kSizeFilter] = TWParamValue::List{tag, sizeField_->reading().bytes};
    return params;
}

void TWStandardViewController::checkBoxAction(QAbstractButton* sender) {
    if (sender == ui_->filterSizesButton) {
        bool on = isOn(sender);
        ui_->filterSizesTypePopUp->setEnabled(on);
        ui_->filterSizesSizePopUp->setEnabled(on);
        ui_->filterSizesSizeField->setEnabled(on);
        sizeField_->refresh();
    }
    TWSearchViewController::checkBoxAction(sender);
}

bool TWStandardViewController::hasRefusedInput() const {
    return sizeField_->isRefused();
}
