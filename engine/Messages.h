#pragma once

// Every fixed message of the calculation, with an identity. The screens show the text and caption in a
// message box (an empty caption means the application title), translated in the context "Messages"
// (ui/common/EngineText.h); the batch tool prints the Japanese text with its English gloss; callers and
// tests react to the identity, never to the wording.

#include <string_view>

#include "engine/Phrase.h"
#include "engine/Translatable.h"

namespace halvorn {

enum class MessageId {
    MeasuredHvlMissing,       // the measured-HVL field is empty
    TubeVoltageMissing,       // the tube-voltage field is empty
    TubeVoltageAboveMaximum,  // tube voltage above 150 kV
    OutOfRange,               // another value outside its accepted range (text names the field)
    PointOnCentre,            // an off-axis point in use at distance 0 (empty)
    FocusNotBeyondPoints,     // the focus-centre distance not greater than the farthest point's distance
    InputError,               // a field that is not a number, or a profile that cannot be converted
    CalibrationMissing,       // an off-axis run without a successful calibration run before it
    SpectrumPassFailed,       // arithmetic failure in a spectrum pass of the calibration run
    AluminiumFitFailed,       // arithmetic failure in the aluminium filtration fit
    CopperFitFailed,          // arithmetic failure in the copper filtration fit
    HvlNotComputable,         // no filtration gives the measured HVL
    NegativeBowtie,           // the centre bowtie thickness is not positive
    SolverFailed,             // failure in the off-axis solver
    CalculationFinished,      // completion notice of the off-axis run
};

struct Message {
    MessageId id;
    std::string_view text;     // as shown, blanks included
    std::string_view caption;  // empty: the application title
    std::string_view english;  // gloss for the batch tool and for logs
    // A line under the text naming the field or point and what is wrong with it; none when null. It is
    // filled in where the message is given and must outlive the report.
    const Phrase* line = nullptr;
};

// Title of a message box that has no caption of its own.
inline constexpr std::string_view kApplicationTitle = "Halvorn-2";

inline constexpr Message kMeasuredHvlMissing{
    MessageId::MeasuredHvlMissing, HALVORN_TRANSLATABLE("Messages", " 実測半価層を入力して下さい "),
    HALVORN_TRANSLATABLE("Messages", "実測半価層"), "enter the measured HVL"};
inline constexpr Message kTubeVoltageMissing{
    MessageId::TubeVoltageMissing, HALVORN_TRANSLATABLE("Messages", " Ｘ線管電圧を入力して下さい "),
    HALVORN_TRANSLATABLE("Messages", "Ｘ線管電圧"), "enter the tube voltage"};
inline constexpr Message kTubeVoltageAboveMaximum{
    MessageId::TubeVoltageAboveMaximum,
    HALVORN_TRANSLATABLE("Messages", " Ｘ線管電圧は最大 150 kV までです "), "",
    "the tube voltage is at most 150 kV"};
inline constexpr Message kInputError{MessageId::InputError,
                                     HALVORN_TRANSLATABLE("Messages", " 入力データに誤りがあります！ "), "",
                                     "the input data contain an error"};
inline constexpr Message kPointOnCentre{
    MessageId::PointOnCentre,
    HALVORN_TRANSLATABLE("Messages", " 軸外距離を入力して下さい（0 は回転中心だけです） "),
    HALVORN_TRANSLATABLE("Messages", "軸外距離"),
    "an off-axis point in use must not be at distance 0 (only the centre is)"};
inline constexpr Message kFocusNotBeyondPoints{
    MessageId::FocusNotBeyondPoints,
    HALVORN_TRANSLATABLE("Messages",
                         " 焦点-回転中心間距離は最も遠い測定点の軸外距離より大きい値を入力して下さい "),
    HALVORN_TRANSLATABLE("Messages", "焦点-回転中心間距離"),
    "the focus-centre distance must be greater than the farthest off-axis distance"};
inline constexpr Message kCalibrationMissing{
    MessageId::CalibrationMissing,
    HALVORN_TRANSLATABLE("Messages", " 中心軸の計算が正しく終わっていないため、計算できません "), "",
    "no successful calibration run to start from"};
inline constexpr Message kSpectrumPassFailed{MessageId::SpectrumPassFailed,
                                             HALVORN_TRANSLATABLE("Messages", "　正しく計算できません ①"), "",
                                             "the spectrum pass failed"};
inline constexpr Message kAluminiumFitFailed{MessageId::AluminiumFitFailed,
                                             HALVORN_TRANSLATABLE("Messages", "　正しく計算できません ②"), "",
                                             "the aluminium filtration fit failed"};
inline constexpr Message kCopperFitFailed{MessageId::CopperFitFailed,
                                          HALVORN_TRANSLATABLE("Messages", "　正しく計算できません ③"), "",
                                          "the copper filtration fit failed"};
inline constexpr Message kHvlNotComputable{MessageId::HvlNotComputable,
                                           HALVORN_TRANSLATABLE("Messages", "半価層が正しく計算できません"),
                                           "", "no filtration gives the measured HVL"};
inline constexpr Message kNegativeBowtie{
    MessageId::NegativeBowtie,
    HALVORN_TRANSLATABLE("Messages",
                         "ボウタイフィルタ厚がマイナス値になります。条件などを確認してください。"),
    "",
    "the bowtie thickness at the centre is not positive: the measured HVL is not above the model HVL of the "
    "nominal filtration"};
inline constexpr Message kSolverFailed{MessageId::SolverFailed,
                                       HALVORN_TRANSLATABLE("Messages", "　正しく計算できません ④ "), "",
                                       "the off-axis solver failed"};
inline constexpr Message kCalculationFinished{MessageId::CalculationFinished,
                                              HALVORN_TRANSLATABLE("Messages", "  計算が終了しました  "), "",
                                              "the calculation has finished"};

}  // namespace halvorn
