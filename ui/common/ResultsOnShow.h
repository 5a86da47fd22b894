#pragma once

// What the results screen has on show, handed to the beam-quality window and the export dialog: the
// figures of every point, the attenuation coefficients they were computed with, the inputs the export
// files name, and whether it is a result file loaded from disk (which holds no target angle, measured HVL
// or fitted filtration, so the export asks for the target angle) or the calculation just made.

#include <QString>
#include <string>
#include <vector>

#include "engine/AttenuationTable.h"
#include "engine/BeamQuality.h"
#include "engine/exports/ExportCommon.h"

namespace halvorn::ui {

struct ResultsOnShow {
    std::vector<PointQuality> points;  // centre first
    AttenuationCoefficients table;
    ExportInputs inputs;
    bool resultFile = false;
    QString fileName;                         // the loaded result file, when resultFile
    std::vector<std::string> protectedFiles;  // the table and the loaded file: no save may replace them
};

}  // namespace halvorn::ui
