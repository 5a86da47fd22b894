#pragma once

// Marks a literal the screens show translated. The engine holds no Qt: the macro is the literal itself, and
// the texts stay the Japanese source texts the engine, its tests and the batch tool use. lupdate collects
// them as it collects QT_TRANSLATE_NOOP (it is run with
// -tr-function-alias QT_TRANSLATE_NOOP+=HALVORN_TRANSLATABLE), and the screens translate them with
// QCoreApplication::translate(context, text) through ui/common/EngineText.h.
//
// Both arguments must be string literals where the macro stands: lupdate reads the source, not the
// preprocessed text.
#define HALVORN_TRANSLATABLE(context, text) text
