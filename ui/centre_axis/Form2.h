#pragma once

#include <QWidget>

namespace halvorn::ui {

class Application;
class DrawingSurface;

// The centre-axis input screen with the spectrum plot.
class Form2 : public QWidget {
    Q_OBJECT
public:
    explicit Form2(Application& app);
    // Entry from the start screen's new calculation: default texts, empty results, Command4 disabled.
    void ResetForNewCalculation();
    DrawingSurface& Picture3();

private:
    Application& app_;
};

}  // namespace halvorn::ui
