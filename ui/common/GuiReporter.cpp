#include "common/GuiReporter.h"

#include <QCoreApplication>
#include <QEvent>

#include "common/EngineText.h"

namespace halvorn::ui {

namespace {
// Everything by which a user acts on a window: buttons, keys, the close box, and the roads into a text
// field that bypass the keys (its context menu, text committed by an input method, dropped text).
bool IsUserInput(QEvent::Type type) {
    switch (type) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::Wheel:
        case QEvent::Close:
        case QEvent::ContextMenu:
        case QEvent::InputMethod:
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::Drop:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::TabletPress:
        case QEvent::TabletRelease:
            return true;
        default:
            return false;
    }
}
}  // namespace

GuiReporter::GuiReporter(MessagePresenter& presenter, BusyDialogHost& busy, QWidget* owner)
    : presenter_(presenter), busyDialog_(busy), owner_(owner) {}

GuiReporter::~GuiReporter() {
    if (busy_)
        HideBusy();
}

void GuiReporter::Warning(const Message& message) {
    presenter_.Warning(owner_, message);
}

void GuiReporter::Notice(const Message& message) {
    presenter_.Notice(owner_, MessageText(message), MessageCaption(message));
}

void GuiReporter::LetEventsRun() {
    QCoreApplication::processEvents();
}

void GuiReporter::ShowBusy() {
    if (!busy_)
        QCoreApplication::instance()->installEventFilter(this);
    busy_ = true;
    busyDialog_.ShowBusyDialog(owner_);
}

void GuiReporter::HideBusy() {
    busyDialog_.HideBusyDialog();
    if (busy_)
        QCoreApplication::instance()->removeEventFilter(this);
    busy_ = false;
}

bool GuiReporter::eventFilter(QObject* watched, QEvent* event) {
    if (busy_ && owner_ && IsUserInput(event->type()) && watched->isWidgetType()) {
        auto* widget = static_cast<QWidget*>(watched);
        if (widget->window() == owner_->window()) {
            event->ignore();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace halvorn::ui
