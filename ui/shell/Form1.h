#pragma once

#include <QWidget>

namespace halvorn::ui {

class Application;
class DrawingSurface;

// The start screen: what a calculation needs, the geometry figure, and the three buttons
// "新規計算" (new calculation), "結果検索" (browse results) and the exit icon.
class Form1 : public QWidget {
    Q_OBJECT
public:
    explicit Form1(Application& app);

public slots:
    // New calculation: loads the attenuation table, prepares and shows the centre-axis screen.
    void Command1_Click();
    // Exit icon: ends the program.
    void Command2_Click();
    // Browse saved results.
    void Command3_Click();

protected:
    // The close box ends the program, like the exit icon.
    void closeEvent(QCloseEvent* event) override;

private:
    Application& app_;
};

}  // namespace halvorn::ui
