#include "engine/InputRanges.h"

#include <cmath>

#include "engine/CalculationState.h"
#include "engine/Translatable.h"

namespace halvorn {

namespace {

struct Range {
    std::string_view english;  // the range
    std::string_view message;  // Japanese, naming the field and the range (marked in "Messages")
    std::string_view caption;  // the field's name (marked in "Messages")
    std::string_view gloss;    // English, naming the field and the range
};

Range RangeOf(InputField field) {
    switch (field) {
        case InputField::MeasuredHvl:
            return {"above 0 mm",
                    HALVORN_TRANSLATABLE("Messages", " 実測半価層は 0 より大きい値を入力して下さい "),
                    HALVORN_TRANSLATABLE("Messages", "実測半価層"), "the measured HVL must be above 0 mm"};
        case InputField::TubeVoltage:
            return {"10.5 to 150 kV",
                    HALVORN_TRANSLATABLE("Messages",
                                         " Ｘ線管電圧は 10.5 kV 以上 150 kV 以下の値を入力して下さい "),
                    HALVORN_TRANSLATABLE("Messages", "Ｘ線管電圧"),
                    "the tube voltage must be 10.5 to 150 kV"};
        case InputField::TargetAngle:
            return {"above 0 and below 90 degrees",
                    HALVORN_TRANSLATABLE("Messages",
                                         " ターゲット角度は 0 度より大きく 90 度未満の値を入力して下さい "),
                    HALVORN_TRANSLATABLE("Messages", "ターゲット角度"),
                    "the target angle must be above 0 and below 90 degrees"};
        case InputField::InherentFiltration:
            return {
                "0 mm or more", HALVORN_TRANSLATABLE("Messages", " 固有ろ過は 0 以上の値を入力して下さい "),
                HALVORN_TRANSLATABLE("Messages", "固有ろ過"), "the inherent filtration must be 0 mm or more"};
        case InputField::AddedAluminium:
            return {"0 mm or more",
                    HALVORN_TRANSLATABLE("Messages", " 付加フィルタ（アルミ）は 0 以上の値を入力して下さい "),
                    HALVORN_TRANSLATABLE("Messages", "付加フィルタ"),
                    "the added aluminium must be 0 mm or more"};
        case InputField::AddedCopper:
            return {"0 mm or more",
                    HALVORN_TRANSLATABLE("Messages", " 付加フィルタ（銅）は 0 以上の値を入力して下さい "),
                    HALVORN_TRANSLATABLE("Messages", "付加フィルタ"),
                    "the added copper must be 0 mm or more"};
        case InputField::AddedSilver:
            return {"0 mm or more",
                    HALVORN_TRANSLATABLE("Messages", " 付加フィルタ（銀）は 0 以上の値を入力して下さい "),
                    HALVORN_TRANSLATABLE("Messages", "付加フィルタ"),
                    "the added silver must be 0 mm or more"};
        case InputField::FocusDistance:
            return {
                "above 0 cm",
                HALVORN_TRANSLATABLE("Messages", " 焦点-回転中心間距離は 0 より大きい値を入力して下さい "),
                HALVORN_TRANSLATABLE("Messages", "焦点-回転中心間距離"),
                "the focus-centre distance must be above 0 cm"};
        case InputField::PointCount:
            return {"0 to 25 points",
                    HALVORN_TRANSLATABLE("Messages", " 測定点の数は 0 以上 25 以下の値を入力して下さい "),
                    HALVORN_TRANSLATABLE("Messages", "測定点の数"), "the number of points must be 0 to 25"};
        case InputField::ProfileReading:
            return {"above 0",
                    HALVORN_TRANSLATABLE("Messages", " 照射線量の測定値は 0 より大きい値を入力して下さい "),
                    HALVORN_TRANSLATABLE("Messages", "照射線量"), "an exposure reading must be above 0"};
        case InputField::Collimation:
            return {"above 0 cm",
                    HALVORN_TRANSLATABLE("Messages", " コリメーションは 0 より大きい値を入力して下さい "),
                    HALVORN_TRANSLATABLE("Messages", "コリメーション"), "the collimation must be above 0 cm"};
        case InputField::AngleStep:
            return {"above 0 degrees",
                    HALVORN_TRANSLATABLE("Messages", " 角度の刻みは 0 度より大きい値を入力して下さい "),
                    HALVORN_TRANSLATABLE("Messages", "角度の刻み"), "the angle step must be above 0 degrees"};
        case InputField::KermaPer100Mas:
            return {"above 0 mGy",
                    HALVORN_TRANSLATABLE("Messages", " 空気カーマは 0 より大きい値を入力して下さい "),
                    HALVORN_TRANSLATABLE("Messages", "空気カーマ"),
                    "the air kerma must be above 0 mGy per 100 mAs"};
        case InputField::PhaseSpacePhotons:
            return {
                "a whole number from 1 to 100000000",
                HALVORN_TRANSLATABLE("Messages", " 光子数は 1 以上 100000000 以下の整数を入力して下さい "),
                HALVORN_TRANSLATABLE("Messages", "光子数"),
                "the photon count must be a whole number from 1 to 100000000"};
        case InputField::PhaseSpacePlane:
            return {"above 0 and at most 1000 cm",
                    HALVORN_TRANSLATABLE(
                        "Messages", " 位相空間の面の距離は 0 より大きく 1000 cm 以下の値を入力して下さい "),
                    HALVORN_TRANSLATABLE("Messages", "面の距離"),
                    "the plane distance must be above 0 and at most 1000 cm"};
    }
    return {"", HALVORN_TRANSLATABLE("Messages", ""), HALVORN_TRANSLATABLE("Messages", ""), ""};
}

}  // namespace

bool InAcceptedRange(InputField field, double value) {
    if (!std::isfinite(value))
        return false;
    switch (field) {
        case InputField::MeasuredHvl:
        case InputField::FocusDistance:
        case InputField::ProfileReading:
        case InputField::Collimation:
        case InputField::AngleStep:
        case InputField::KermaPer100Mas:
            return value > 0;
        case InputField::PhaseSpacePhotons:
            return value >= 1 && value <= kMaxPhaseSpaceFilePhotons && value == std::floor(value);
        case InputField::PhaseSpacePlane:
            return value > 0 && value <= 1000;
        case InputField::TubeVoltage:
            // The air-kerma weighting starts at 10.5 keV: a lower tube voltage leaves nothing to weight.
            return value >= 10.5 && value <= 150;
        case InputField::TargetAngle:
            return value > 0 && value < 90;
        case InputField::InherentFiltration:
        case InputField::AddedAluminium:
        case InputField::AddedCopper:
        case InputField::AddedSilver:
            return value >= 0;
        case InputField::PointCount:
            return value >= 0 && value <= kMaxPoint;
    }
    return false;
}

std::string_view AcceptedRangeText(InputField field) {
    return RangeOf(field).english;
}

std::string_view FieldName(InputField field) {
    switch (field) {
        case InputField::AddedAluminium:
            return HALVORN_TRANSLATABLE("Messages", "付加フィルタ（アルミ）");
        case InputField::AddedCopper:
            return HALVORN_TRANSLATABLE("Messages", "付加フィルタ（銅）");
        case InputField::AddedSilver:
            return HALVORN_TRANSLATABLE("Messages", "付加フィルタ（銀）");
        default:
            return RangeOf(field).caption;
    }
}

Message OutOfRangeMessage(InputField field) {
    const Range range = RangeOf(field);
    return {MessageId::OutOfRange, range.message, range.caption, range.gloss};
}

}  // namespace halvorn
