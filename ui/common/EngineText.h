#pragma once

// The engine's texts as the screens show them: translated with QCoreApplication::translate in the context
// the engine marked them in (engine/Translatable.h), values filled in after translation. Without a
// translator installed they are the engine's Japanese texts, byte for byte.

#include <QString>
#include <string_view>

#include "engine/InputRanges.h"
#include "engine/Messages.h"
#include "engine/Phrase.h"

namespace halvorn::ui {

QString MessageText(const halvorn::Message& message);
// Empty when the message has no caption of its own (the box then shows the application title).
QString MessageCaption(const halvorn::Message& message);
// The line under the text, filled in; empty when the message has none.
QString MessageLine(const halvorn::Message& message);

QString PhraseText(const halvorn::Phrase& phrase);

// The field's name (FieldName).
QString FieldNameText(halvorn::InputField field);
// Why `typed` is not a number (FieldTextProblem).
QString FieldProblemText(std::string_view typed);
// The line under the input-error message: the field's name, then why its text is not a number.
QString FieldProblemLine(const QString& fieldName, std::string_view typed);

}  // namespace halvorn::ui
