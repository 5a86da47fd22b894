#pragma once

#include <QWidget>

class QLabel;

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
    // The line "計算方法はマニュアルに記載されています": opens the manual, or says where it is expected.
    void Label8_Click();

    // The line under the buttons: the version and the folder the program works in, in full.
    QString WorkingFolderLine() const;

protected:
    // The close box ends the program, like the exit icon.
    void closeEvent(QCloseEvent* event) override;
    // Label8 acts as a link: a left click opens the manual; its tool tip names the file.
    bool eventFilter(QObject* watched, QEvent* event) override;
    // The folder line is written afresh whenever the screen comes up.
    void showEvent(QShowEvent* event) override;

private:
    // The "日本語" / "English" choice at the top, in the languages' own words.
    void AddLanguageChoice();
    // "Halvorn 2.0  working folder: " in the language on show.
    QString FolderLinePrefix() const;
    // The manual's file, or where it is looked for.
    QString ManualToolTip() const;
    // The places the manual is looked for, one a line.
    QString ManualPlaces() const;

    Application& app_;
    QLabel* label8_ = nullptr;
    QLabel* workingFolder_ = nullptr;
};

}  // namespace halvorn::ui
