#pragma once

#include <QWidget>

namespace halvorn::ui {

class DrawingSurface;

// The busy dialog shown while a computation runs: no border, no title bar, no controls. It never takes
// the focus and blocks nothing by itself.
class Form5 : public QWidget {
    Q_OBJECT
public:
    Form5();

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace halvorn::ui
