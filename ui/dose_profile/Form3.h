#pragma once

#include <QWidget>

namespace halvorn::ui {

class Application;
class DrawingSurface;

// The dose-profile entry screen.
class Form3 : public QWidget {
    Q_OBJECT
public:
    explicit Form3(Application& app);
    // Entry from the centre-axis screen: all 53 fields emptied, graph cleared, Command4 hidden.
    void EnterFromCentreAxis();

private:
    Application& app_;
};

}  // namespace halvorn::ui
