#pragma once

#include <QWidget>

namespace halvorn::ui {

class Application;
class DrawingSurface;

// The busy dialog shown while a computation runs.
class Form5 : public QWidget {
    Q_OBJECT
public:
    explicit Form5(Application& app);

private:
    Application& app_;
};

}  // namespace halvorn::ui
