#include "common/DrawingSurface.h"

#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QPen>
#include <QPolygonF>
#include <cmath>

namespace halvorn::ui {

DrawingSurface::DrawingSurface(double left, double top, double width, double height, QWidget* parent)
    : QFrame(parent), left_(left), top_(top), width_units_(width), height_units_(height) {
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(2);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
    setMouseTracking(true);
}

void DrawingSurface::Erase() {
    ops_.clear();
    pen_ = {0, 0};
    update();
}

void DrawingSurface::SetLineWidth(int pixels) {
    width_ = pixels;
    Record({Op::Kind::LineWidth, {}, {}, {}, pixels, {}, {}});
}

void DrawingSurface::LineTo(QPointF to, QColor colour) {
    Line(pen_, to, colour);
}

void DrawingSurface::Line(QPointF from, QPointF to, QColor colour) {
    Record({Op::Kind::Line, from, to, colour, width_, {}, {}});
    pen_ = to;
}

void DrawingSurface::Dot(QPointF at, QColor colour) {
    Record({Op::Kind::Dot, at, at, colour, width_, {}, {}});
    pen_ = at;
}

void DrawingSurface::Rectangle(QPointF from, QPointF to, QColor colour) {
    Record({Op::Kind::Rectangle, from, to, colour, width_, {}, {}});
    pen_ = to;
}

void DrawingSurface::Text(QPointF at, const QString& text, QColor colour) {
    Text(at, text, font(), colour);
}

void DrawingSurface::Text(QPointF at, const QString& text, const QFont& font, QColor colour) {
    Record({Op::Kind::Text, at, at, colour, width_, text, font});
}

void DrawingSurface::Record(Op op) {
    ops_.push_back(std::move(op));
    update();
}

QPointF DrawingSurface::ToPixels(QPointF user) const {
    const QRectF area = contentsRect();
    return {area.left() + (user.x() - left_) * area.width() / width_units_,
            area.top() + (user.y() - top_) * area.height() / height_units_};
}

QPointF DrawingSurface::ToUser(QPointF pixels) const {
    const QRectF area = contentsRect();
    return {left_ + (pixels.x() - area.left()) * width_units_ / area.width(),
            top_ + (pixels.y() - area.top()) * height_units_ / area.height()};
}

void DrawingSurface::Replay(QPainter& painter) const {
    painter.setRenderHint(QPainter::Antialiasing, false);
    // Connected lines gather here until a stroke of another kind, colour or width, or a jump, ends them.
    QPolygonF run;
    QPen runPen;
    const auto drawRun = [&] {
        if (run.size() >= 2) {
            painter.setPen(runPen);
            painter.drawPolyline(run);
        }
        run.clear();
    };
    for (const Op& op : ops_) {
        QPen pen(op.colour);
        pen.setWidth(op.width);
        pen.setCapStyle(Qt::RoundCap);
        pen.setJoinStyle(Qt::RoundJoin);
        if (op.kind == Op::Kind::LineWidth)
            continue;
        if (op.kind == Op::Kind::Line) {
            const QPointF from = ToPixels(op.from);
            if (run.isEmpty() || run.back() != from || pen != runPen) {
                drawRun();
                run << from;
                runPen = pen;
            }
            run << ToPixels(op.to);
            continue;
        }
        drawRun();
        switch (op.kind) {
            case Op::Kind::LineWidth:
            case Op::Kind::Line:
                break;
            case Op::Kind::Dot:
                painter.setPen(pen);
                painter.drawPoint(ToPixels(op.from));
                break;
            case Op::Kind::Rectangle:
                painter.setPen(pen);
                painter.setBrush(Qt::NoBrush);
                painter.drawRect(QRectF(ToPixels(op.from), ToPixels(op.to)).normalized());
                break;
            case Op::Kind::Text: {
                painter.setPen(op.colour);
                painter.setFont(op.font);
                const QPointF at = ToPixels(op.from);
                painter.drawText(QPointF(at.x(), at.y() + painter.fontMetrics().ascent()), op.text);
                break;
            }
        }
    }
    drawRun();
}

void DrawingSurface::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    QPainter painter(this);
    painter.setClipRect(contentsRect());
    Replay(painter);
}

QImage DrawingSurface::Render() const {
    QImage image(size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setClipRect(contentsRect());
    Replay(painter);
    return image;
}

void DrawingSurface::PaintLayers(QPainter& painter) const {
    painter.save();
    painter.setClipRect(contentsRect(), Qt::IntersectClip);
    Replay(painter);
    for (QObject* child : children()) {
        const auto* overlay = qobject_cast<const DrawingSurface*>(child);
        if (!overlay || overlay->isHidden())
            continue;
        painter.save();
        painter.translate(overlay->pos());
        if (overlay->autoFillBackground())
            painter.fillRect(overlay->rect(), overlay->palette().color(QPalette::Window));
        overlay->PaintLayers(painter);
        painter.restore();
    }
    painter.restore();
}

void DrawingSurface::PaintDrawing(QPainter& painter) const {
    const QRect area = contentsRect();
    painter.save();
    painter.fillRect(QRect(QPoint(0, 0), area.size()), palette().color(QPalette::Window));
    painter.translate(-area.topLeft());
    PaintLayers(painter);
    painter.restore();
}

QImage DrawingSurface::RenderDrawing(double scale) const {
    QImage image(DrawingSize() * scale, QImage::Format_RGB32);
    // Fonts are sized in points: the image paints them at the screen's resolution, enlarged by the
    // device pixel ratio like every line.
    const auto dotsPerMetre = [](double dpi) { return int(std::lround(dpi / 0.0254)); };
    image.setDotsPerMeterX(dotsPerMetre(logicalDpiX()));
    image.setDotsPerMeterY(dotsPerMetre(logicalDpiY()));
    image.setDevicePixelRatio(scale);
    {
        QPainter painter(&image);
        PaintDrawing(painter);
    }
    image.setDevicePixelRatio(1);
    image.setDotsPerMeterX(dotsPerMetre(logicalDpiX() * scale));
    image.setDotsPerMeterY(dotsPerMetre(logicalDpiY() * scale));
    return image;
}

void DrawingSurface::mouseMoveEvent(QMouseEvent* event) {
    emit MouseMoved(ToUser(event->position()), event->buttons(), event->modifiers());
    QFrame::mouseMoveEvent(event);
}

}  // namespace halvorn::ui
