#pragma once

// The start screen's figure: a schematic of the CT gantry showing where the three measurements a
// calculation needs are taken (focus-centre distance, HVL at the centre, profile along a lateral line).

#include <QStringList>
#include <QWidget>

namespace halvorn::ui {

class GeometryFigure : public QWidget {
    Q_OBJECT
public:
    explicit GeometryFigure(QWidget* parent = nullptr);

    // The captions the figure writes, in drawing order (a caption on two lines holds a blank between them).
    static QStringList Captions();

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace halvorn::ui
