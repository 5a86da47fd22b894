#pragma once

// A picture box with its own user coordinates. It records every drawing operation (erase, line width,
// colour, dot, line, rectangle, text) and replays the record when painted, so a drawing survives the
// window being covered, tests can read exactly what was drawn, and the record can be rendered to a file.

#include <QColor>
#include <QFont>
#include <QFrame>
#include <QImage>
#include <QPointF>
#include <QRectF>
#include <QSize>
#include <QString>
#include <vector>

class QPainter;

namespace halvorn::ui {

class DrawingSurface : public QFrame {
    Q_OBJECT
public:
    struct Op {
        enum class Kind { LineWidth, Line, Dot, Rectangle, Text };
        Kind kind;
        QPointF from;   // Line start, Dot, Rectangle corner, Text top-left
        QPointF to;     // Line end, Rectangle opposite corner
        QColor colour;  // Line, Dot, Rectangle, Text
        int width = 1;  // LineWidth: pixels; for the others the width in force
        QString text;   // Text
        QFont font;     // Text
    };

    // `left`, `top` are the user coordinates of the drawing area's top-left corner; `width` and `height`
    // its extent in user units (a negative height makes y grow upward). The drawing area is the control
    // less its sunken border, so the user rectangle fills it exactly.
    DrawingSurface(double left, double top, double width, double height, QWidget* parent = nullptr);

    // Erases the drawing and the pen position (0, 0); the line width and colour stay.
    void Erase();
    void SetLineWidth(int pixels);
    // Line from the pen position to `to`; the pen moves there.
    void LineTo(QPointF to, QColor colour);
    // Line between two points; the pen moves to `to`.
    void Line(QPointF from, QPointF to, QColor colour);
    // A single dot; it becomes the pen position.
    void Dot(QPointF at, QColor colour);
    // Rectangle outline between two corners; the pen moves to `to`.
    void Rectangle(QPointF from, QPointF to, QColor colour);
    // Text with its top-left corner at `at`, in the surface's font (or `font` when given).
    void Text(QPointF at, const QString& text, QColor colour = Qt::black);
    void Text(QPointF at, const QString& text, const QFont& font, QColor colour = Qt::black);

    const std::vector<Op>& Ops() const { return ops_; }
    QPointF PenPosition() const { return pen_; }
    int LineWidth() const { return width_; }

    // Conversion between user units and widget pixels.
    QPointF ToPixels(QPointF user) const;
    QPointF ToUser(QPointF pixels) const;

    // Renders the current drawing to an image of the control's size.
    QImage Render() const;

    // The drawing area's size in pixels on screen (the control less its border).
    QSize DrawingSize() const { return contentsRect().size(); }
    // Paints the drawing area with its top-left corner at the painter's origin: the background, this
    // surface's record, then the records of its visible overlay surfaces (child DrawingSurfaces) in their
    // places, layered as on screen. Pen widths and fonts follow the painter's device, so a device of
    // higher resolution (device pixel ratio) draws the same picture finer.
    void PaintDrawing(QPainter& painter) const;
    // The drawing as an image `scale` times its on-screen size, lines and texts scaled alike; the image's
    // resolution is set so that it prints at the on-screen size.
    QImage RenderDrawing(double scale) const;

signals:
    // Mouse moves over the surface, in user coordinates.
    void MouseMoved(QPointF user, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void Record(Op op);
    // The one replay of the record, used by the screen, the images, the SVG and the clipboard. Lines
    // that continue one another in one colour and width are drawn as one polyline.
    void Replay(QPainter& painter) const;
    // This surface's record and its overlays', in this control's pixel coordinates.
    void PaintLayers(QPainter& painter) const;

    double left_, top_, width_units_, height_units_;
    std::vector<Op> ops_;
    QPointF pen_{0, 0};
    int width_ = 1;
};

}  // namespace halvorn::ui
