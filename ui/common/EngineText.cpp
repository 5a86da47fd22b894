#include "common/EngineText.h"

#include <QCoreApplication>
#include <string>

#include "engine/NumberText.h"

namespace halvorn::ui {

namespace {

// `text` translated in `context`; the empty text stays empty (it is no message of its own).
QString Translated(std::string_view context, std::string_view text) {
    if (text.empty())
        return {};
    return QCoreApplication::translate(std::string(context).c_str(), std::string(text).c_str());
}

}  // namespace

QString MessageText(const halvorn::Message& message) {
    return Translated("Messages", message.text);
}

QString MessageCaption(const halvorn::Message& message) {
    return Translated("Messages", message.caption);
}

QString MessageLine(const halvorn::Message& message) {
    return message.line ? PhraseText(*message.line) : QString();
}

// The pattern is translated first and filled in afterwards, by the engine's own filling, so that the
// values (numbers formatted by the engine, labels of a file) come out the same in every language.
QString PhraseText(const halvorn::Phrase& phrase) {
    const QString pattern = Translated(phrase.context, phrase.pattern);
    return QString::fromStdString(halvorn::FillPattern(pattern.toStdString(), phrase.arguments));
}

QString FieldNameText(halvorn::InputField field) {
    return Translated("Messages", halvorn::FieldName(field));
}

QString FieldProblemText(std::string_view typed) {
    return Translated("NumberText", halvorn::FieldTextProblem(typed));
}

QString FieldProblemLine(const QString& fieldName, std::string_view typed) {
    //: The line under the input-error message: %1 is the field's name, %2 why its text is not a number.
    return QCoreApplication::translate("EngineText", "%1：%2").arg(fieldName, FieldProblemText(typed));
}

}  // namespace halvorn::ui
