#pragma once

// The spectrum-toolkit text (.spk): a header of '# ' lines with the inputs and the beam-quality figures,
// then ';'-separated rows: energy (keV, bin centre), relative photons per keV (the stored spectrum divided
// by the 0.5 keV bin width), and the part of that which is characteristic (tungsten K lines).

#include <optional>
#include <string>

#include "engine/BeamQuality.h"
#include "engine/exports/ExportCommon.h"

namespace halvorn {

// `lineShare` is CharacteristicShare of the tube (TuckerSpectrum.h); without it the characteristic column
// is 0 and the header says the split is not known.
ExportText SpectrumText(const Spectrum& photons,
                        const SpectrumQuality& quality,
                        const RunInputs& inputs,
                        const std::optional<Spectrum>& lineShare,
                        const std::string& what);

}  // namespace halvorn
