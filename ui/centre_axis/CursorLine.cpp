#include "centre_axis/CursorLine.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

#include "common/DrawingSurface.h"

namespace halvorn::ui {

CursorLine::CursorLine(DrawingSurface& surface, const QString& name, QLineF user)
    : QWidget(&surface), surface_(surface), user_(user) {
    setObjectName(name);
    setAttribute(Qt::WA_TransparentForMouseEvents);  // the surface keeps receiving the mouse moves
    hide();
    Place();
}

void CursorLine::SetUserLine(QLineF user) {
    user_ = user;
    Place();
}

void CursorLine::SetColour(const QColor& colour) {
    colour_ = colour;
    update();
}

// The widget is the line itself: one pixel thick, spanning both ends.
void CursorLine::Place() {
    const QPointF a = surface_.ToPixels(user_.p1());
    const QPointF b = surface_.ToPixels(user_.p2());
    if (!std::isfinite(a.x()) || !std::isfinite(a.y()) || !std::isfinite(b.x()) || !std::isfinite(b.y()))
        return;
    // A value far off the plot would only put the line out of sight; keep the pixels in range.
    const auto pixel = [](double v) { return int(std::lround(std::clamp(v, -100000.0, 100000.0))); };
    const int left = pixel(std::min(a.x(), b.x()));
    const int top = pixel(std::min(a.y(), b.y()));
    const int right = pixel(std::max(a.x(), b.x()));
    const int bottom = pixel(std::max(a.y(), b.y()));
    setGeometry(left, top, std::max(1, right - left + 1), std::max(1, bottom - top + 1));
}

void CursorLine::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), colour_);
}

}  // namespace halvorn::ui
