#include "setup/TWViewController.h"

TWViewController::TWViewController(TWMainWindowController* windowController)
    : windowController_(windowController) {}

TWViewController::~TWViewController() = default;

void TWViewController::setView(std::unique_ptr<QWidget> view) {
    view_ = std::move(view);
    viewSize_ = view_->size().expandedTo(view_->sizeHint());
}
