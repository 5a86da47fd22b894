#pragma once

#include <QStringList>
#include <QWidget>
#include <array>
#include <optional>

#include "engine/OffAxisRun.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace halvorn::ui {

class Application;
class DrawingSurface;

// The dose-profile entry screen: the focus-centre distance, the number of off-axis points, and for the
// rotation centre and each of up to 25 off-axis points its distance and exposure reading; the off-axis
// ratio graph beside the grid; the spectrum calculation and the way on to the results.
class Form3 : public QWidget {
    Q_OBJECT
public:
    explicit Form3(Application& app);

    // Entry from the centre-axis screen: all 53 fields emptied, graph cleared, Command4 hidden.
    void EnterFromCentreAxis();

    // Field by its number (1, 3 ... 54); nullptr for numbers without a field.
    QLineEdit* Field(int number) const;
    DrawingSurface& Picture1() { return *picture1_; }

public slots:
    void Command1_Click();  // スペクトル計算
    void Command2_Click();  // スタート画面へ戻る
    void Command3_Click();  // グラフで確認
    void Command4_Click();  // 結果を見る

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildLayout();
    // Any field edited: "結果を見る" and the note follow whether the fields still hold the run's texts.
    void FieldsEdited();
    void HideResultsButton();
    QStringList FieldTexts() const;
    QString FieldName(int number) const;
    void Field_EnterPressed(int number);
    void FocusField(int number);
    std::optional<ProfileGrid> ReadGrid();
    bool DrawOffAxisRatio(const ProfileGrid& grid);
    void DrawFrame();

    Application& app_;
    std::array<QLineEdit*, 55> fields_{};  // index = field number; 0 and 2 stay null
    DrawingSurface* picture1_ = nullptr;
    QPushButton* command1_ = nullptr;
    QPushButton* command4_ = nullptr;
    QLabel* outdated_ = nullptr;
    QStringList runFields_;  // the field texts of the completed run on offer; empty when none
};

}  // namespace halvorn::ui
