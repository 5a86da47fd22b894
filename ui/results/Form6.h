#pragma once

#include <QWidget>

namespace halvorn::ui {

class Application;
class DrawingSurface;

// The bowtie-shape figure: the filter's outline estimated from the path lengths of the profile points,
// drawn in the plane 15 cm from the focus over a fixed figure of grid, axes and captions.
class Form6 : public QWidget {
    Q_OBJECT
public:
    explicit Form6(Application& app);
    // Draws the outline from the calculation state, or warns and returns false.
    bool DrawBowtieShape();
    // The drawing area of the outline (user units 0.1 mm, y up from the base plane).
    DrawingSurface& Picture1();
    // The fixed figure laid over the drawing area; the outline's erase never touches it.
    DrawingSurface& Figure();

public slots:
    void Command1_Click();  // "Close"

private:
    void DrawFigure();

    Application& app_;
    DrawingSurface* picture1_ = nullptr;
    DrawingSurface* figure_ = nullptr;
};

}  // namespace halvorn::ui
