#pragma once

#include <QWidget>

namespace halvorn::ui {

class Application;
class DrawingSurface;

// The bowtie-shape figure.
class Form6 : public QWidget {
    Q_OBJECT
public:
    explicit Form6(Application& app);
    // Draws the outline from the calculation state and shows the window, or warns.
    void DrawBowtieShape();

private:
    Application& app_;
};

}  // namespace halvorn::ui
