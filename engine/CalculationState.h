#pragma once

// The one record through which the screens and the engine exchange data: the inputs of the centre-axis
// and dose-profile screens, the attenuation table, the working arrays of the spectrum computations and
// the results. There is exactly one instance for a program run; it is passed by reference everywhere.
//
// Energy bins: index 0..300, bin i stands for E = 0.5 * i keV (bin 0 unused).
// Profile points: index 0..25, point 0 is the rotation centre.
// Transmission curves: index 0..1000 by step number (entry 0 unused).

#include <array>
#include <cstdint>

namespace halvorn {

constexpr int kBinCount = 300;     // highest energy bin (150 keV)
constexpr int kMaxPoint = 25;      // highest profile point index
constexpr int kCurveSteps = 1000;  // highest transmission-curve step

using Spectrum = std::array<double, kBinCount + 1>;
using Curve = std::array<double, kCurveSteps + 1>;

struct CalculationState {
    // Inputs of the centre-axis screen.
    double TubeVoltageKv = 0;
    double TargetAngleDeg = 0;
    double InherentFiltrationMm = 0;
    double AddedAlMm = 0;
    double NominalFiltrationAlCm = 0;
    double AddedCuCm = 0;
    double AddedAgCm = 0;
    std::int16_t HvlMaterial = 0;  // 1 aluminium, 2 copper

    // Inputs of the dose-profile screen.
    double FocusCentreDistanceCm = 0;
    double ProfilePointCount = 0;  // N as typed; loops run while p <= N
    // [0][p] off-centre distance in cm, [1][p] air-kerma ratio relative to the centre.
    std::array<std::array<double, kMaxPoint + 1>, 2> DoseProfile{};

    // Attenuation table, written only by LoadAttenuationTable.
    Spectrum MuTungsten{};   // 1/cm
    Spectrum MuAluminium{};  // 1/cm
    Spectrum MuCopper{};     // 1/cm
    Spectrum MuEnAir{};      // cm^2/g, only its ratios matter
    Spectrum MuSilver{};     // 1/cm
    Spectrum MuColumn7{};    // read and kept, never used

    // Run control of the calibration run.
    std::int16_t CalibrationPass = 0;
    std::int16_t HvlFitFailed = 0;
    // 1 once a calibration run has completed every phase without a failure and stored the centre
    // spectrum: only then may an off-axis run use its transmission curve and centre bowtie thickness.
    // Cleared at the start of every calibration run, by a new calculation and by loading a result file.
    std::int16_t CalibrationSucceeded = 0;

    // Spectrum computation.
    double FiltrationAlCm = 0;
    Spectrum TargetSpectrum{};
    Spectrum BeamSpectrum{};
    Spectrum FitSpectrum{};
    Spectrum KermaSpectrum{};
    Spectrum AlAttenuatedKerma{};
    Spectrum CuAttenuatedKerma{};
    Curve AlTransmissionCurve{};
    Curve CuTransmissionCurve{};
    Curve FitTransmission{};
    double HvlAlCm = 0;
    double HvlCuMm = 0;
    double SpectrumPeak = 0;

    // Results per profile point.
    std::array<double, kMaxPoint + 1> BowtieAlMm{};
    std::array<Spectrum, kMaxPoint + 1> PointSpectra{};

    // Energy cursor of the centre-axis plot.
    std::int16_t PlotCursorShown = 0;
    int PlotCursorIndex = 0;
};

}  // namespace halvorn
