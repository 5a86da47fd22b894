#include "common/MessagePresenter.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QScreen>

namespace halvorn::ui {

namespace {
QString CaptionOrTitle(const QString& caption) {
    return caption.isEmpty() ? kAppTitle : caption;
}

// Each line of the text is kept whole, as a line of its own: the box grows to the longest line instead of
// breaking a word (Japanese text may otherwise break between any two characters). Only a line wider than
// the screen allows is wrapped.
void SetWholeLines(QMessageBox& box, QWidget* parent, const QString& text) {
    QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    const int room = screen ? screen->availableGeometry().width() - 200 : 800;
    const QFontMetrics metrics(box.font());
    bool fits = true;
    for (const QString& line : text.split('\n'))
        fits = fits && metrics.horizontalAdvance(line) < room;
    if (fits) {
        box.setTextFormat(Qt::RichText);
        box.setText(QStringLiteral("<p style=\"white-space:pre\">") +
                    text.toHtmlEscaped().replace('\n', QStringLiteral("<br>")) + QStringLiteral("</p>"));
    } else {
        box.setTextFormat(Qt::PlainText);
        box.setText(text);
    }
}

}  // namespace

void QtMessagePresenter::Message(QWidget* parent,
                                 const QString& text,
                                 const QString& caption,
                                 Icon icon,
                                 const QString& line,
                                 const QString& details) {
    QMessageBox box(parent);
    box.setWindowTitle(CaptionOrTitle(caption));
    SetWholeLines(box, parent, line.isEmpty() ? text : text + '\n' + line);
    if (!details.isEmpty())
        box.setDetailedText(details);
    box.setIcon(icon == Icon::Warning    ? QMessageBox::Warning
                : icon == Icon::Critical ? QMessageBox::Critical
                                         : QMessageBox::NoIcon);
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
}

std::optional<QString> QtMessagePresenter::AskText(QWidget* parent,
                                                   const QString& prompt,
                                                   const QString& title,
                                                   const QString& initial) {
    bool ok = false;
    const QString answer =
        QInputDialog::getText(parent, CaptionOrTitle(title), prompt, QLineEdit::Normal, initial, &ok);
    if (!ok)
        return std::nullopt;
    return answer;
}

bool QtMessagePresenter::AskYesNo(QWidget* parent, const QString& question, const QString& caption) {
    QMessageBox box(parent);
    box.setWindowTitle(CaptionOrTitle(caption));
    SetWholeLines(box, parent, question);
    box.setIcon(QMessageBox::Question);
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

// The save dialog of QFileDialog::getSaveFileName, with the suggested file's extension as the default suffix,
// so a name typed without one gets it before the dialog asks whether to replace an existing file.
std::optional<QString> QtMessagePresenter::AskSaveFileName(QWidget* parent,
                                                           const QString& title,
                                                           const QString& suggested,
                                                           const QString& filter) {
    QFileDialog dialog(parent, CaptionOrTitle(title), suggested, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QFileInfo(suggested).suffix());
    dialog.selectFile(suggested);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().front();
}

std::optional<QString> QtMessagePresenter::AskFolder(QWidget* parent,
                                                     const QString& title,
                                                     const QString& start) {
    const QString folder = QFileDialog::getExistingDirectory(parent, CaptionOrTitle(title), start);
    if (folder.isEmpty())
        return std::nullopt;
    return folder;
}

void RecordingPresenter::Message(QWidget*,
                                 const QString& text,
                                 const QString& caption,
                                 Icon icon,
                                 const QString& line,
                                 const QString& details) {
    entries.push_back({text, CaptionOrTitle(caption), icon, false, line, details});
}

std::optional<QString> RecordingPresenter::AskText(QWidget*,
                                                   const QString& prompt,
                                                   const QString& title,
                                                   const QString& initial) {
    entries.push_back({prompt, CaptionOrTitle(title), Icon::None, true, {}, initial});
    return NextAnswer();
}

std::optional<QString> RecordingPresenter::AskSaveFileName(QWidget*,
                                                           const QString& title,
                                                           const QString& suggested,
                                                           const QString&) {
    entries.push_back({suggested, CaptionOrTitle(title), Icon::None, true, {}, {}});
    return NextAnswer();
}

std::optional<QString> RecordingPresenter::AskFolder(QWidget*, const QString& title, const QString& start) {
    entries.push_back({start, CaptionOrTitle(title), Icon::None, true, {}, {}});
    return NextAnswer();
}

std::optional<QString> RecordingPresenter::NextAnswer() {
    if (answers.empty())
        return std::nullopt;
    const bool cancelled = !answers.front().has_value();
    const QString answer = answers.front().value_or(QString());
    answers.erase(answers.begin());
    if (cancelled)
        return std::nullopt;
    return answer;
}

bool RecordingPresenter::AskYesNo(QWidget*, const QString& question, const QString& caption) {
    entries.push_back({question, CaptionOrTitle(caption), Icon::Question, false, {}, {}});
    if (yesNoAnswers.empty())
        return false;
    const bool yes = yesNoAnswers.front();
    yesNoAnswers.erase(yesNoAnswers.begin());
    return yes;
}

QStringList RecordingPresenter::Texts() const {
    QStringList out;
    for (const auto& e : entries)
        out << e.text;
    return out;
}

}  // namespace halvorn::ui
