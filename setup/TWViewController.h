#pragma once

#include <QObject>
#include <QSize>
#include <QWidget>

#include <memory>

class TWMainWindowController;

// The base of the view controllers that the main window swaps. The controller owns its view
// while the view is out of the window; the main window takes the view back out before either
// is destroyed, so the view never outlives its controller.
class TWViewController : public QObject {
    Q_OBJECT
public:
    explicit TWViewController(TWMainWindowController* windowController);
    ~TWViewController() override;

    QWidget* view() const { return view_.get(); }
    TWMainWindowController* windowController() const { return windowController_; }
    // The size the view is shown at: its description's size, grown where its texts (in the
    // user's language) need more room.
    QSize viewSize() const { return viewSize_; }

protected:
    // Takes over the view that the subclass built from its description.
    void setView(std::unique_ptr<QWidget> view);

private:
    std::unique_ptr<QWidget> view_;
    TWMainWindowController* windowController_; // not owned: it owns this controller
    QSize viewSize_;
};
