#pragma once

#include <QPointF>
#include <QStringList>
#include <QWidget>
#include <vector>

#include "engine/InputRanges.h"
#include "engine/Messages.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace halvorn::ui {

class Application;
class CursorLine;
class DrawingSurface;

// The centre-axis input screen: tube and filter data, the measured HVL, the calibration run and the
// spectrum plot with its energy cursor (mouse or left/right arrow keys).
class Form2 : public QWidget {
    Q_OBJECT
public:
    explicit Form2(Application& app);
    ~Form2() override;

    // Entry from the start screen's new calculation: default texts, empty results, Command4 disabled,
    // aluminium chosen, cursor off and inert until a run on this screen has drawn a curve.
    void ResetForNewCalculation();
    DrawingSurface& Picture3();

public slots:
    void Command1_Click();  // calculate
    void Command3_Click();  // cancel
    void Command4_Click();  // next
    void Option13_Click();  // HVL measured in aluminium
    void Option14_Click();  // HVL measured in copper
    void Picture3_MouseMove(QPointF user);
    void Form_KeyDown(int key);

protected:
    // The close box acts as cancel.
    void closeEvent(QCloseEvent* event) override;
    // The window sees key presses before its focused control (the key is not consumed).
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The warning, then the field focused with its text selected so typing replaces it.
    void Refuse(QLineEdit* field, const Message& message);
    void FocusField(QLineEdit* field);
    QLineEdit* FieldOf(InputField input) const;
    void HideCursor();
    // The input fields in the order they are read, and their texts with the HVL material.
    std::vector<QLineEdit*> Inputs() const;
    QStringList InputTexts() const;
    void InputsEdited();
    void ShowOutdated(bool outdated);
    void UpdateCursor(int bin);

    Application& app_;
    DrawingSurface* picture3_ = nullptr;
    CursorLine* line6_ = nullptr;
    CursorLine* line7_ = nullptr;
    QLineEdit *text1_, *text3_, *text4_, *text5_, *text10_, *text11_, *text13_;
    QLineEdit *text2_, *text8_, *text9_, *text6_, *text7_;
    QLabel *label17_, *label20_, *label21_, *label22_, *label33_;
    QRadioButton *option13_, *option14_;
    QPushButton *command1_, *command3_, *command4_;
    bool cursorLive_ = false;
    QLabel* outdated_ = nullptr;
    QStringList runInputs_;  // the inputs of the successful run on show; empty when none
};

}  // namespace halvorn::ui
