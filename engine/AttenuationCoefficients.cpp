#include "engine/AttenuationCoefficients.h"

namespace halvorn {

AttenuationCoefficients CoefficientsOf(const CalculationState& state) {
    AttenuationCoefficients table;
    table.MuTungsten = state.MuTungsten;
    table.MuAluminium = state.MuAluminium;
    table.MuCopper = state.MuCopper;
    table.MuEnAir = state.MuEnAir;
    table.MuSilver = state.MuSilver;
    table.MuColumn7 = state.MuColumn7;
    return table;
}

}  // namespace halvorn
