#pragma once

// The engine's reporter on screen: warnings and notices as message boxes, the busy dialog, one pass of the
// event loop on request. While the busy dialog is up, user input to the screen that started the run is
// swallowed, so a click that arrives at a yield cannot start a second run or leave the screen mid-run.

#include <QObject>
#include <QPointer>
#include <QWidget>

#include "common/MessagePresenter.h"
#include "engine/Reporter.h"

namespace halvorn::ui {

// Whoever shows the busy dialog of a run (the application).
class BusyDialogHost {
public:
    virtual ~BusyDialogHost() = default;
    // The dialog above `owner`'s window.
    virtual void ShowBusyDialog(QWidget* owner) = 0;
    virtual void HideBusyDialog() = 0;
};

class GuiReporter : public QObject, public halvorn::Reporter {
public:
    GuiReporter(MessagePresenter& presenter, BusyDialogHost& busy, QWidget* owner);
    ~GuiReporter() override;

    void Warning(const Message& message) override;
    void Notice(const Message& message) override;
    void LetEventsRun() override;
    void ShowBusy() override;
    void HideBusy() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    MessagePresenter& presenter_;
    BusyDialogHost& busyDialog_;
    QPointer<QWidget> owner_;
    bool busy_ = false;
};

}  // namespace halvorn::ui
