#include "shell/Form5.h"

#include <QPainter>

#include "common/ScreenLayout.h"

namespace halvorn::ui {

// A tool window, not one that stays on top of everything: a warning box that a run shows while the
// dialog is up must come out above it, or the dialog would hide the box and its OK button and the run
// would seem to hang. The run keeps it above its own screen (the application makes that screen its owner).
Form5::Form5() : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus) {
    setObjectName(QStringLiteral("Form5"));
    setWindowTitle(tr("　計算中です"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    setFixedSize(Twips(5625), Twips(2550));
    SetBackground(this, Qt::white);

    const QFont font = JapaneseFont(18);
    AddLabel(this, "Label1", tr("ただいま計算中"), 1320, 600, 0, 0, font);
    AddLabel(this, "Label2", tr("しばらくお待ちください"), 720, 1320, 0, 0, font);
    CentreOnScreen(*this);
}

// The red frame, three pixels wide, 15 twips in from the top-left corner.
void Form5::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QPen pen(kRed, 3);
    pen.setJoinStyle(Qt::MiterJoin);
    painter.setPen(pen);
    const QRectF frame = QRectF(TwipsRect(15, 15, 5520, 2520));
    // The pen is centred on the path: inset by half its width so all three pixels lie inside the frame.
    painter.drawRect(frame.adjusted(1.5, 1.5, -1.5, -1.5));
}

}  // namespace halvorn::ui
