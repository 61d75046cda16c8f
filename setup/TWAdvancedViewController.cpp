#include "setup/TWAdvancedViewController.h"

#include "engine/TWSearchSettings.h"
#include "setup/TWEditableListModel.h"
#include "setup/TWSizeField.h"
#include "ui_advancedView.h"

#include <QAbstractItemDelegate>
#include <QItemSelectionModel>

namespace {

const char* const kNewEntry = "????";

TWParamValue::List entryTexts(const TWEditableListModel& model) {
    TWParamValue::List texts;
    for (const QString& entry : model.entries())
        texts.emplace_back(entry.toStdString());
    return texts;
}

} // namespace

TWAdvancedViewController::TWAdvancedViewController(TWMainWindowController* windowController)
    : TWSearchViewController(windowController) {}

TWAdvancedViewController::~TWAdvancedViewController() = default;

void TWAdvancedViewController::loadView() {
    auto view = std::make_unique<QWidget>();
    ui_ = std::make_unique<Ui::advancedView>();
    ui_->setupUi(view.get());
    setView(std::move(view));
    setCommonOutlets({ui_->filterInvisiblesButton, ui_->filterPackagesButton,
                      ui_->matchContentsButton, ui_->matchDateCreatedButton,
                      ui_->matchNamesButton, ui_->matchSizesButton, ui_->startSearchButton,
                      ui_->identicalRadio, ui_->similarRadio, ui_->startFolderPopUp,
                      ui_->startPathsLabel});
    for (QCheckBox* box : {ui_->matchDateModifiedButton, ui_->matchExtensionButton,
                           ui_->matchHFSCreatorButton, ui_->matchHFSTypeButton,
                           ui_->examineResourceForksButton, ui_->filterSymLinkAndAliasButton,
                           ui_->filterSizeGreaterThanButton, ui_->filterSizeLessThanButton,
                           ui_->filterHFSCreatorButton, ui_->filterHFSTypeButton,
                           ui_->filterExtensionButton})
        connectCheckBox(box);

    // The first unit item counts bytes.
    lessThanField_ = new TWSizeField(ui_->filterSizeLessThanField, ui_->filterSizeLessThanPopUp,
                                     ui_->filterSizeLessThanMessage, 0, this);
    greaterThanField_ =
        new TWSizeField(ui_->filterSizeGreaterThanField, ui_->filterSizeGreaterThanPopUp,
                        ui_->filterSizeGreaterThanMessage, 0, this);
    for (TWSizeField* field : {lessThanField_, greaterThanField_})
        connect(field, &TWSizeField::refusalChanged, this,
                &TWAdvancedViewController::updateStartSearchButton);

    lists_ = {{
        {ui_->filterExtensionButton, ui_->extensionMatrix, ui_->extensionExcludeRadio,
         ui_->extensionTable, ui_->extensionMinusButton, ui_->extensionPlusButton,
         new TWEditableListModel(this), TWParamKey::kExtensionFilter},
        {ui_->filterHFSTypeButton, ui_->hfsTypeMatrix, ui_->hfsTypeExcludeRadio,
         ui_->hfsTypeTable, ui_->hfsTypeMinusButton, ui_->hfsTypePlusButton,
         new TWEditableListModel(this), TWParamKey::kHFSTypeFilter},
        {ui_->filterHFSCreatorButton, ui_->hfsCreatorMatrix, ui_->hfsCreatorExcludeRadio,
         ui_->hfsCreatorTable, ui_->hfsCreatorMinusButton, ui_->hfsCreatorPlusButton,
         new TWEditableListModel(this), TWParamKey::kHFSCreatorFilter},
    }};
    for (const ListFilter& list : lists_) {
        list.table->setModel(list.entries);
        list.table->setEnabled(false);
        connect(list.table->selectionModel(), &QItemSelectionModel::selectionChanged, this,
                [this, &list] { tableViewSelectionDidChange(list); });
        connect(list.plusButton, &QAbstractButton::clicked, this,
                [this, button = list.plusButton] { plusAction(button); });
        connect(list.minusButton, &QAbstractButton::clicked, this,
                [this, button = list.minusButton] { minusAction(button); });
    }
}

TWEditableListModel& TWAdvancedViewController::entries(List list) const {
    return *lists_[static_cast<std::size_t>(list)].entries;
}

void TWAdvancedViewController::plusAction(QAbstractButton* sender) {
    for (const ListFilter& list : lists_) {
        if (list.plusButton != sender)
            continue;
        int row = list.entries->appendEntry(QString::fromLatin1(kNewEntry));
        QModelIndex index = list.entries->index(row);
        list.table->selectionModel()->setCurrentIndex(index,
                                                      QItemSelectionModel::ClearAndSelect);
        list.table->edit(index);
        return;
    }
}

void TWAdvancedViewController::minusAction(QAbstractButton* sender) {
    for (const ListFilter& list : lists_) {
        if (list.minusButton != sender)
            continue;
        commitOpenEditor(list);
        QItemSelectionModel* selection = list.table->selectionModel();
        // From the end, so that the rows still to be looked at keep their numbers.
        for (int row = list.entries->rowCount() - 1; row >= 0; --row) {
            if (selection->isRowSelected(row)) {
                selection->select(list.entries->index(row), QItemSelectionModel::Deselect);
                list.entries->removeRows(row, 1);
            }
        }
        selection->clear();
        return;
    }
}

void TWAdvancedViewController::checkBoxAction(QAbstractButton* sender) {
    bool on = isOn(sender);
    for (const ListFilter& list : lists_) {
        if (list.filterButton != sender)
            continue;
        if (!on)
            commitOpenEditor(list);
        list.entries->setRowsSelectable(on);
        list.matrix->setEnabled(on);
        list.table->setEnabled(on);
        list.plusButton->setEnabled(on);
        if (!on)
            list.table->selectionModel()->clear();
    }
    if (sender == ui_->filterSizeGreaterThanButton) {
        ui_->filterSizeGreaterThanField->setEnabled(on);
        ui_->filterSizeGreaterThanPopUp->setEnabled(on);
        greaterThanField_->refresh();
    } else if (sender == ui_->filterSizeLessThanButton) {
        ui_->filterSizeLessThanField->setEnabled(on);
        ui_->filterSizeLessThanPopUp->setEnabled(on);
        lessThanField_->refresh();
    }
    TWSearchViewController::checkBoxAction(sender);
}

void TWAdvancedViewController::tableViewSelectionDidChange(const ListFilter& list) {
    list.minusButton->setEnabled(list.table->selectionModel()->hasSelection() &&
                                 isOn(list.filterButton));
}

void TWAdvancedViewController::commitOpenEditor(const ListFilter& list) {
    QAbstractItemDelegate* delegate = list.table->itemDelegate();
    for (int row = 0; row < list.entries->rowCount(); ++row) {
        if (QWidget* editor = list.table->indexWidget(list.entries->index(row))) {
            emit delegate->commitData(editor);
            emit delegate->closeEditor(editor, QAbstractItemDelegate::NoHint);
        }
    }
}

bool TWAdvancedViewController::oneIsOn() const {
    return TWSearchViewController::oneIsOn() || isOn(ui_->matchDateModifiedButton) ||
           isOn(ui_->matchExtensionButton) || isOn(ui_->matchHFSCreatorButton) ||
           isOn(ui_->matchHFSTypeButton);
}

bool TWAdvancedViewController::hasRefusedInput() const {
    return lessThanField_->isRefused() || greaterThanField_->isRefused();
}

TWSearchParams TWAdvancedViewController::searchParams() {
    TWSearchParams params = TWSearchViewController::searchParams();
    const std::pair<QCheckBox*, const char*> presenceKeys[] = {
        {ui_->matchDateModifiedButton, TWParamKey::kModifiedMatch},
        {ui_->matchExtensionButton, TWParamKey::kExtensionMatch},
        {ui_->matchHFSCreatorButton, TWParamKey::kHFSCreatorMatch},
        {ui_->matchHFSTypeButton, TWParamKey::kHFSTypeMatch},
        {ui_->filterSymLinkAndAliasButton, TWParamKey::kSymLinkAliasFilter},
        {ui_->examineResourceForksButton, TWParamKey::kExamineResourceForks},
    };
    for (const auto& [box, key] : presenceKeys)
        if (isOn(box))
            params[key] = "";

    TWParamValue::List sizeFilter;
    if (isOn(ui_->filterSizeLessThanButton)) {
        sizeFilter.emplace_back(TWParamKey::kLessThan);
        sizeFilter.emplace_back(lessThanField_->reading().bytes);
    }
    if (isOn(ui_->filterSizeGreaterThanButton)) {
        sizeFilter.emplace_back(TWParamKey::kGreaterThan);
        sizeFilter.emplace_back(greaterThanField_->reading().bytes);
    }
    if (!sizeFilter.empty())
        params[TWParamKey::kSizeFilter] = sizeFilter;

    for (const ListFilter& list : lists_) {
        // A text still being typed counts as typed.
        commitOpenEditor(list);
        list.table->selectionModel()->clear();
    }
    for (const ListFilter& list : lists_) {
        if (!isOn(list.filterButton))
            continue;
        const char* mode = isOn(list.excludeRadio) ? TWParamKey::kExclude : TWParamKey::kInclude;
        params[list.key] = TWParamValue::List{mode, entryTexts(*list.entries)};
    }
    return params;
}
