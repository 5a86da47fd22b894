#pragma once

// The accepted range of every number a user gives the calculation, shared by the screens and the batch
// tool so that both accept and refuse the same values. Values the model can compute with but that no
// scanner produces (a tube voltage of 0, a target angle of 90 degrees, a negative filter) are refused
// before a run starts, with one message naming the field, instead of ending in a cascade of arithmetic
// failures or in a result that looks normal.

#include <string_view>

#include "engine/Messages.h"

namespace halvorn {

enum class InputField {
    MeasuredHvl,         // mm of aluminium or copper: above 0
    TubeVoltage,         // kV: 10.5 (where the air-kerma weighting starts) to 150
    TargetAngle,         // degrees: strictly between 0 and 90
    InherentFiltration,  // mm Al equivalent: not negative
    AddedAluminium,      // mm: not negative
    AddedCopper,         // mm: not negative
    AddedSilver,         // mm: not negative
    FocusDistance,       // cm: above 0
    PointCount,          // off-axis points: 0 to 25
    ProfileReading,      // exposure reading of the centre or of a point in use: above 0
    Collimation,         // cm, beam width at the rotation centre named in the EGSnrc export: above 0
    AngleStep,           // degrees, the fan-angle grid of the EGSnrc export: above 0
    KermaPer100Mas,      // mGy per 100 mAs, air kerma free in air at the centre: above 0
    PhaseSpacePhotons,   // photons of the phase-space file: a whole number, 1 to kMaxPhaseSpaceFilePhotons
    PhaseSpacePlane,     // cm from the focus, the phase-space plane: above 0, at most 1000
};

// The phase space is made in memory before it is written: 10^8 photons are 2.5 GB of records.
inline constexpr double kMaxPhaseSpaceFilePhotons = 1e8;

// Whether `value` lies in the field's accepted range; NaN and infinities never do.
bool InAcceptedRange(InputField field, double value);

// The accepted range in English, for the batch tool ("10.5 to 150 kV").
std::string_view AcceptedRangeText(InputField field);

// The message for a value outside the range: the Japanese text names the field and the range (with the
// blanks of the program's other message boxes), the caption is the field's name.
Message OutOfRangeMessage(InputField field);

// The field's name as the screens name it in a message line ("Ｘ線管電圧", "付加フィルタ（銅）"): a literal
// marked in the context "Messages", as the texts and captions of the messages are.
std::string_view FieldName(InputField field);

}  // namespace halvorn
