#pragma once

// One line of the energy cursor: an overlay on a drawing surface, separate from the drawing, so that
// moving it never disturbs the curve beneath. Its ends are kept in the surface's user coordinates.

#include <QColor>
#include <QLineF>
#include <QWidget>

namespace halvorn::ui {

class DrawingSurface;

class CursorLine : public QWidget {
    Q_OBJECT
public:
    // A horizontal or vertical line between two points in user coordinates; hidden and black at first.
    CursorLine(DrawingSurface& surface, const QString& name, QLineF user);

    void SetUserLine(QLineF user);
    QLineF UserLine() const { return user_; }
    void SetColour(const QColor& colour);
    QColor Colour() const { return colour_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void Place();

    DrawingSurface& surface_;
    QLineF user_;
    QColor colour_ = Qt::black;
};

}  // namespace halvorn::ui
