#pragma once

#include <QWidget>

namespace halvorn::ui {

class Application;
class DrawingSurface;

// The start screen.
class Form1 : public QWidget {
    Q_OBJECT
public:
    explicit Form1(Application& app);

private:
    Application& app_;
};

}  // namespace halvorn::ui
