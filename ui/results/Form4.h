#pragma once

#include <QWidget>

namespace halvorn::ui {

class Application;
class DrawingSurface;

// The results screen.
class Form4 : public QWidget {
    Q_OBJECT
public:
    explicit Form4(Application& app);
    // Entry from the start screen's results search.
    void OpenResultsBrowser();
    DrawingSurface& Picture3();

private:
    Application& app_;
};

}  // namespace halvorn::ui
