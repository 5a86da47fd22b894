#include "common/MultiLineButton.h"

#include <QStyleOptionButton>
#include <QStylePainter>

namespace halvorn::ui {

void MultiLineButton::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text.clear();  // the face only; the caption is drawn below
    painter.drawControl(QStyle::CE_PushButton, option);
    painter.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    QString caption = text();
    caption.replace(QLatin1Char(' '), QLatin1Char('\n'));
    painter.drawText(rect().adjusted(4, 4, -4, -4), Qt::AlignCenter | Qt::TextWordWrap, caption);
}

}  // namespace halvorn::ui
