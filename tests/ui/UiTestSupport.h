#pragma once

// What the screen tests share: a program run whose messages are recorded, a scratch working folder,
// controls found by objectName and driven as a user drives them (clicks, typing, Enter), the way through
// the start screen into a calibration run, and screenshots when HALVORN_SCREENSHOT_DIR is set.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QList>
#include <QListWidget>
#include <QPushButton>
#include <QString>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>
#include <string>

#include "centre_axis/Form2.h"
#include "common/MessagePresenter.h"
#include "engine/CalculationState.h"
#include "engine/RunRecord.h"
#include "shell/Application.h"
#include "shell/Form1.h"

namespace halvorn::ui::test {

// The calculation state of a test program that needs only one (it is large, so it is static).
inline CalculationState& State() {
    static CalculationState state;
    return state;
}

// The record the runs leave for a calculation already in `state` (the centre's calibration, then its
// points), for tests that fill the state by hand instead of running the engine.
inline RunRecord RecordOfState(const CalculationState& state) {
    RunRecord run = RecordCalibration(state, MeasuredHvl{});
    RecordProfile(run, state, {});
    return run;
}

// One program run: the application over `state`, a presenter that records its messages and returns at
// once, and an exit that only records its code.
struct Session {
    explicit Session(CalculationState& state = State()) : app(state, runs, presenter) {
        app.exitProgram = [this](int code) { exits << code; };
        app.settingsFile = settingsDir.filePath(QStringLiteral("Halvorn.conf"));  // never the user's
    }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    QTemporaryDir settingsDir;
    RecordingPresenter presenter;
    RunModel runs;
    Application app;
    QList<int> exits;
};

// A fresh temporary working folder for the life of the object; the one before comes back afterwards.
class WorkingFolder {
public:
    WorkingFolder() : previous_(QDir::currentPath()) {
        entered_ = dir_.isValid() && QDir::setCurrent(dir_.path());
    }
    ~WorkingFolder() { QDir::setCurrent(previous_); }
    WorkingFolder(const WorkingFolder&) = delete;
    WorkingFolder& operator=(const WorkingFolder&) = delete;

    // False when the folder could not be made or entered.
    bool Entered() const { return entered_; }
    QString FilePath(const QString& name) const { return dir_.filePath(name); }

private:
    QString previous_;
    QTemporaryDir dir_;
    bool entered_ = false;
};

// Base of the screen test classes: a program run in its own fresh working folder. Test classes that start
// each test function afresh call StartRun from init() and EndRun from cleanup(); others start one run in
// initTestCase().
class ScreenTest : public QObject {
protected:
    // A new working folder, an emptied `state` and a new program run over it; false when the folder could
    // not be made or entered.
    bool StartRun(CalculationState& state) {
        folder_ = std::make_unique<WorkingFolder>();
        if (!folder_->Entered())
            return false;
        state = CalculationState{};
        session_ = std::make_unique<Session>(state);
        return true;
    }
    // Ends the run, then leaves and removes its folder.
    void EndRun() {
        session_.reset();
        folder_.reset();
    }
    Application& app() { return session_->app; }
    RecordingPresenter& presenter() { return session_->presenter; }

private:
    std::unique_ptr<WorkingFolder> folder_;
    std::unique_ptr<Session> session_;
};

// The control of that objectName; a screen without it ends the test program, naming both.
template <typename T>
T* Child(QWidget& window, const char* name) {
    T* child = window.findChild<T*>(QString::fromUtf8(name));
    if (!child)
        qFatal("%s has no control %s", qPrintable(window.objectName()), name);
    return child;
}

inline QString LabelText(QWidget& window, const char* name) {
    return Child<QLabel>(window, name)->text();
}

// An engine text (UTF-8) as the screens show it.
inline QString Q(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

inline QByteArray ReadAll(const QString& name) {
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A left click on the push button of that name.
inline void Click(QWidget& window, const char* button) {
    QTest::mouseClick(Child<QPushButton>(window, button), Qt::LeftButton);
}

// A left click on a row of a list, scrolled into view first.
inline void ClickItem(QListWidget& list, QListWidgetItem* item) {
    list.scrollToItem(item);
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.visualItemRect(item).center());
}

// Replaces a field's text by typing: select all, delete, type.
inline void Retype(QLineEdit* field, const QString& text) {
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Delete);
    QTest::keyClicks(field, text);
}

// Types `text` (if any) into a field and presses Return.
inline void TypeAndEnter(QWidget* field, const QString& text) {
    if (!text.isEmpty())
        QTest::keyClicks(field, text);
    QTest::keyClick(field, Qt::Key_Return);
}

// The start screen's "新規計算": the centre-axis screen it leads to.
inline Form2& NewCalculation(Application& app) {
    Click(app.form1(), "Command1");
    return app.form2();
}

// A calibration run on the centre-axis screen: the measured HVL typed in, then "計算する".
inline void RunCalibration(Form2& form2, const QString& hvl) {
    Retype(Child<QLineEdit>(form2, "Text13"), hvl);
    Click(form2, "Command1");
}

inline bool ScreenshotsWanted() {
    return !qEnvironmentVariableIsEmpty("HALVORN_SCREENSHOT_DIR");
}

// Saves the window as HALVORN_SCREENSHOT_DIR/`file` when that variable is set, after letting the window
// settle for `settleMs` (0 where the shot is taken in the middle of a run).
inline void SaveScreenshot(QWidget& window, const char* file, int settleMs = 0) {
    if (!ScreenshotsWanted())
        return;
    if (settleMs > 0)
        QTest::qWait(settleMs);
    const QString dir = qEnvironmentVariable("HALVORN_SCREENSHOT_DIR");
    window.grab().save(QDir(dir).filePath(QString::fromUtf8(file)));
}

}  // namespace halvorn::ui::test
