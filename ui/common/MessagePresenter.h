#pragma once

// Every modal box of the program goes through one presenter: the real one shows QMessageBox and
// QInputDialog (and QFileDialog for a file to save or a folder), the recording one (tests) keeps text,
// caption and icon and returns scripted answers.

#include <QString>
#include <QStringList>
#include <QWidget>
#include <optional>
#include <vector>

#include "common/EngineText.h"
#include "engine/Messages.h"

namespace halvorn::ui {

inline const QString kAppTitle = QStringLiteral("Halvorn-2");

class MessagePresenter {
public:
    enum class Icon { None, Warning, Critical, Question };
    virtual ~MessagePresenter() = default;
    // A modal box with an OK button. An empty caption shows the application title. `line`, when given, is
    // one more line under the text that names what is wrong; `details`, when given, is shown in a scrollable
    // area the user opens (a list of files). Lines are never broken inside a word.
    virtual void Message(QWidget* parent,
                         const QString& text,
                         const QString& caption,
                         Icon icon,
                         const QString& line,
                         const QString& details) = 0;
    void Message(QWidget* parent, const QString& text, const QString& caption, Icon icon) {
        Message(parent, text, caption, icon, {}, {});
    }
    // A modal input dialog holding `initial` (empty by default); nothing when cancelled.
    virtual std::optional<QString> AskText(QWidget* parent,
                                           const QString& prompt,
                                           const QString& title,
                                           const QString& initial) = 0;
    std::optional<QString> AskText(QWidget* parent, const QString& prompt, const QString& title) {
        return AskText(parent, prompt, title, {});
    }
    // A modal question with Yes and No, No being the default; true for Yes.
    virtual bool AskYesNo(QWidget* parent, const QString& question, const QString& caption) = 0;
    // A modal save-file dialog offering `suggested` (a path; its extension is the one a typed name gets)
    // and showing the files that match `filter` ("PNG 画像 (*.png)"); nothing when cancelled.
    virtual std::optional<QString> AskSaveFileName(QWidget* parent,
                                                   const QString& title,
                                                   const QString& suggested,
                                                   const QString& filter) = 0;
    // A modal folder chooser starting at `start`; the chosen folder, or nothing when cancelled.
    virtual std::optional<QString> AskFolder(QWidget* parent, const QString& title, const QString& start) = 0;

    void Warning(QWidget* parent, const QString& text, const QString& caption = {}) {
        Message(parent, text, caption, Icon::Warning);
    }
    void Notice(QWidget* parent, const QString& text, const QString& caption = {}) {
        Message(parent, text, caption, Icon::None);
    }
    // One of the calculation's fixed messages as a warning box, translated, with its line when it has one or
    // `line`.
    void Warning(QWidget* parent, const halvorn::Message& message, const QString& line = {}) {
        Message(parent, MessageText(message), MessageCaption(message), Icon::Warning,
                line.isEmpty() ? MessageLine(message) : line, {});
    }
};

class QtMessagePresenter : public MessagePresenter {
public:
    using MessagePresenter::Message;
    void Message(QWidget* parent,
                 const QString& text,
                 const QString& caption,
                 Icon icon,
                 const QString& line,
                 const QString& details) override;
    using MessagePresenter::AskText;
    std::optional<QString> AskText(QWidget* parent,
                                   const QString& prompt,
                                   const QString& title,
                                   const QString& initial) override;
    bool AskYesNo(QWidget* parent, const QString& question, const QString& caption) override;
    std::optional<QString> AskSaveFileName(QWidget* parent,
                                           const QString& title,
                                           const QString& suggested,
                                           const QString& filter) override;
    std::optional<QString> AskFolder(QWidget* parent, const QString& title, const QString& start) override;
};

class RecordingPresenter : public MessagePresenter {
public:
    struct Entry {
        QString text;
        QString caption;  // as shown (the application title when none was given)
        Icon icon;
        bool input;         // an input dialog rather than a message box
        QString line{};     // the line naming what is wrong, if any
        QString details{};  // the scrollable details, if any; the initial text of an input dialog
    };

    using MessagePresenter::Message;
    void Message(QWidget* parent,
                 const QString& text,
                 const QString& caption,
                 Icon icon,
                 const QString& line,
                 const QString& details) override;
    using MessagePresenter::AskText;
    std::optional<QString> AskText(QWidget* parent,
                                   const QString& prompt,
                                   const QString& title,
                                   const QString& initial) override;
    bool AskYesNo(QWidget* parent, const QString& question, const QString& caption) override;
    // Recorded as an input entry with the suggested path as its text; answered from `answers`.
    std::optional<QString> AskSaveFileName(QWidget* parent,
                                           const QString& title,
                                           const QString& suggested,
                                           const QString& filter) override;
    // Recorded as an input entry with the starting folder as its text; answered from `answers`.
    std::optional<QString> AskFolder(QWidget* parent, const QString& title, const QString& start) override;

    QStringList Texts() const;
    void Clear() { entries.clear(); }

    std::vector<Entry> entries;
    // Answers for the next input, save-file and folder dialogs, in order; nullopt stands for Cancel. Empty:
    // Cancel.
    std::vector<std::optional<QString>> answers;
    // Answers for the next yes/no questions, in order. Empty: No, the default.
    std::vector<bool> yesNoAnswers;

private:
    std::optional<QString> NextAnswer();
};

}  // namespace halvorn::ui
