#include "engine/exports/PhaseSpaceExport.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <new>
#include <numbers>
#include <stdexcept>
#include <vector>

#include "engine/Filtration.h"
#include "engine/NumberText.h"

namespace halvorn {

namespace {

// xoshiro256** seeded through splitmix64: fast, and the same numbers on every platform.
class Generator {
public:
    explicit Generator(std::uint64_t seed) {
        for (std::uint64_t& word : s_) {
            seed += 0x9e3779b97f4a7c15ULL;
            std::uint64_t z = seed;
            z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
            z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
            word = z ^ (z >> 31);
        }
    }
    std::uint64_t Next() {
        const std::uint64_t result = std::rotl(s_[1] * 5, 7) * 9;
        const std::uint64_t t = s_[1] << 17;
        s_[2] ^= s_[0];
        s_[3] ^= s_[1];
        s_[1] ^= s_[2];
        s_[0] ^= s_[3];
        s_[2] ^= t;
        s_[3] = std::rotl(s_[3], 45);
        return result;
    }
    // Uniform in [0, 1).
    double Uniform() { return static_cast<double>(Next() >> 11) * 0x1.0p-53; }

private:
    std::uint64_t s_[4];
};

// |gamma| with density f(gamma) cos(gamma) on 0..gamma_N: a table of fine cells, each sampled exactly as a
// trapezoid between its edge densities (f cos is smooth on a cell of 1/4096 of the fan, but for the kinks of
// f at measured angles, which shift a cell's mass by far less than any histogram can resolve).
class AngleSampler {
public:
    explicit AngleSampler(const FanBeam& fan) {
        last_ = fan.angleRad.back();
        width_ = last_ / kCells;
        std::vector<double> density(kCells + 1);
        for (int k = 0; k <= kCells; ++k)
            density[k] = FluenceAt(fan, std::min(k * width_, last_)) * std::cos(k * width_);
        cumulative_.assign(kCells + 1, 0);
        for (int k = 0; k < kCells; ++k) {
            left_.push_back(density[k]);
            right_.push_back(density[k + 1]);
            cumulative_[k + 1] = cumulative_[k] + 0.5 * (density[k] + density[k + 1]);
        }
        for (int i = 0; i < kCells; ++i) {
            const double v = cumulative_.back() * i / kCells;
            int k = guide_.empty() ? 0 : guide_.back();
            while (k + 1 < kCells && cumulative_[k + 1] <= v)
                ++k;
            guide_.push_back(k);
        }
    }

    double Sample(double u) const {
        const double v = u * cumulative_.back();
        int k = guide_[static_cast<int>(u * kCells)];
        while (k + 1 < kCells && cumulative_[k + 1] <= v)
            ++k;
        // Within the cell the density runs linearly from a to b: the fraction x of the width at which the
        // mass so far is w (a fraction of the cell's mass) solves a x + (b - a) x^2 / 2 = w (a + b) / 2.
        const double a = left_[k];
        const double b = right_[k];
        const double w = std::clamp((v - cumulative_[k]) / (cumulative_[k + 1] - cumulative_[k]), 0.0, 1.0);
        const double root = std::sqrt(a * a + (b * b - a * a) * w);
        const double x = a + root > 0 ? w * (a + b) / (a + root) : w;
        return std::min((k + std::min(x, 1.0)) * width_, last_);
    }

private:
    static constexpr int kCells = 4096;
    double last_ = 0;
    double width_ = 0;
    std::vector<double> left_, right_, cumulative_;
    std::vector<int> guide_;
};

// One point's spectrum as a Walker alias table over its bins 2..2*T0.
class BinSampler {
public:
    BinSampler(const Spectrum& photons, int highestBin) {
        const int n = highestBin - 1;
        double sum = 0;
        for (int i = 2; i <= highestBin; ++i)
            sum += photons[i];
        std::vector<double> scaled(n);
        std::vector<int> small, large;
        for (int k = 0; k < n; ++k) {
            scaled[k] = photons[k + 2] / sum * n;
            (scaled[k] < 1 ? small : large).push_back(k);
        }
        accept_.assign(n, 1);
        alias_.resize(n);
        for (int k = 0; k < n; ++k)
            alias_[k] = k;
        while (!small.empty() && !large.empty()) {
            const int s = small.back();
            const int l = large.back();
            small.pop_back();
            accept_[s] = scaled[s];
            alias_[s] = l;
            scaled[l] -= 1 - scaled[s];
            if (scaled[l] < 1) {
                large.pop_back();
                small.push_back(l);
            }
        }
    }
    // The bin (2..2*T0) for two uniform numbers.
    int Sample(double u, double v) const {
        const int k = std::min(static_cast<int>(u * accept_.size()), static_cast<int>(accept_.size()) - 1);
        return (v < accept_[k] ? k : alias_[k]) + 2;
    }

private:
    std::vector<double> accept_;
    std::vector<int> alias_;
};

void PutFloat(char*& at, double value) {
    const float f = static_cast<float>(value);
    std::uint32_t bits;
    std::memcpy(&bits, &f, 4);
    if constexpr (std::endian::native == std::endian::big)
        bits = __builtin_bswap32(bits);
    std::memcpy(at, &bits, 4);
    at += 4;
}

std::string Block(const std::string& name, const std::string& lines) {
    return "$" + name + ":\n" + lines + "\n\n";
}

}  // namespace

double PhaseSpacePhotonsPerMas(const FanBeam& fan, double photonsPerMasPerCm2Centre, double collimationCm) {
    return photonsPerMasPerCm2Centre * fan.focusCentreDistanceCm * collimationCm * FanIntegral(fan);
}

PhaseSpaceResult WritePhaseSpace(const FanBeam& fan,
                                 const RunInputs& inputs,
                                 const PhaseSpaceOptions& options,
                                 const PhaseSpaceSink& sink,
                                 const PhaseSpaceProgress& progress) {
    PhaseSpaceResult out;
    const long long n = options.photons;
    const double plane = options.planeCm;
    const double collimation = options.collimationCm;
    if (!fan.error.empty())
        out.error = fan.error;
    else if (fan.angleRad.size() < 2)
        out.error = "a phase space needs at least one off-axis point";
    else if (n < 1 || n > kMaxPhaseSpacePhotons)
        out.error = "the number of photons must be 1 to " + std::to_string(kMaxPhaseSpacePhotons);
    else if (!(plane > 0) || !std::isfinite(plane))
        out.error = "the distance of the phase-space plane from the focus must be a positive number of cm";
    else if (!(collimation > 0) || !std::isfinite(collimation))
        out.error = "a phase space needs the collimation (the beam width at the rotation centre, cm)";
    else if (options.photonsPerMasPerCm2Centre && (!(*options.photonsPerMasPerCm2Centre > 0) ||
                                                   !std::isfinite(*options.photonsPerMasPerCm2Centre)))
        out.error = "the photons per cm^2 per mAs must be a positive number";
    if (!out.error.empty())
        return out;

    const int highestBin = HighestBin(fan.tubeVoltageKv);
    const std::vector<EnergyBin> bins = ExportBins(fan.tubeVoltageKv);
    const AngleSampler angles(fan);
    std::vector<BinSampler> energies;
    for (const Spectrum& s : fan.spectra)
        energies.emplace_back(s, highestBin);
    Generator random(options.seed);
    const double halfWidth = 0.5 * collimation * plane / fan.focusCentreDistanceCm;
    const double last = fan.angleRad.back();

    double minE = HUGE_VAL, maxE = 0, sumE = 0;
    double minX = HUGE_VAL, maxX = -HUGE_VAL, minY = HUGE_VAL, maxY = -HUGE_VAL;
    constexpr long long kChunk = 65536;
    std::string buffer(static_cast<std::size_t>(std::min(n, kChunk)) * kPhaseSpaceRecordBytes, '\0');
    for (long long done = 0; done < n;) {
        const long long count = std::min(kChunk, n - done);
        char* at = buffer.data();
        for (long long k = 0; k < count; ++k) {
            const double g = angles.Sample(random.Uniform());
            const double gamma = random.Uniform() < 0.5 ? -g : g;
            // The interpolated spectrum at g is (1 - t) S_j + t S_j+1: one of the two, by its share.
            std::size_t j = static_cast<std::size_t>(
                std::upper_bound(fan.angleRad.begin(), fan.angleRad.end(), g) - fan.angleRad.begin() - 1);
            if (g < last) {
                const double t = (g - fan.angleRad[j]) / (fan.angleRad[j + 1] - fan.angleRad[j]);
                const double lower = (1 - t) * fan.relativeFluence[j];
                const double upper = t * fan.relativeFluence[j + 1];
                if (random.Uniform() * (lower + upper) >= lower)
                    ++j;
            }
            const int bin = energies[j].Sample(random.Uniform(), random.Uniform());
            const EnergyBin& b = bins[bin - 2];
            const double energyMev = (b.lowerKev + random.Uniform() * (b.upperKev - b.lowerKev)) / 1000;
            const double x = plane * std::tan(gamma);
            const double y = (2 * random.Uniform() - 1) * halfWidth;
            const double r = std::sqrt(x * x + y * y + plane * plane);

            *at++ = 1;  // a photon going towards +z
            PutFloat(at, -energyMev);
            PutFloat(at, x);
            PutFloat(at, y);
            PutFloat(at, x / r);
            PutFloat(at, y / r);
            PutFloat(at, 1.0);
            minE = std::min(minE, energyMev);
            maxE = std::max(maxE, energyMev);
            sumE += energyMev;
            minX = std::min(minX, x);
            maxX = std::max(maxX, x);
            minY = std::min(minY, y);
            maxY = std::max(maxY, y);
        }
        if (!sink(
                std::string_view(buffer.data(), static_cast<std::size_t>(count) * kPhaseSpaceRecordBytes))) {
            out.error = "the phase-space records could not be written";
            return out;
        }
        done += count;
        if (progress && !progress(done, n)) {
            out.cancelled = true;
            out.error = "cancelled";
            return out;
        }
    }

    const std::string count = std::to_string(n);
    std::string title = ProgramName() + " fan beam: " + count +
                        " photons crossing the plane z = " + PlainDecimal(plane) +
                        " cm, each its own history; ";
    if (options.photonsPerMasPerCm2Centre) {
        out.photonsPerMas = PhaseSpacePhotonsPerMas(fan, *options.photonsPerMasPerCm2Centre, collimation);
        title += "the beam sends " + FormatScientific(*out.photonsPerMas, 6) +
                 " photons per mAs (N1): a result per history times N1 is per mAs";
    } else {
        title += "relative, no absolute scale (no air kerma was given)";
    }
    const std::string stats = FormatScientific(static_cast<double>(n), 6) + "  1  1  " +
                              FormatScientific(sumE / n, 6) + "  " + FormatScientific(minE, 6) + "  " +
                              FormatScientific(maxE, 6) + "  PHOTONS";
    std::string& h = out.header;
    h = Block("IAEA_INDEX", "1000");
    h += Block("TITLE", title);
    h += Block("FILE_TYPE", "0");
    h += Block("CHECKSUM", std::to_string(n * kPhaseSpaceRecordBytes));
    h += Block("RECORD_CONTENTS",
               "    1     // X is stored ?\n"
               "    1     // Y is stored ?\n"
               "    0     // Z is stored ?\n"
               "    1     // U is stored ?\n"
               "    1     // V is stored ?\n"
               "    1     // W is stored ?\n"
               "    1     // Weight is stored ?\n"
               "    0     // Extra floats stored ?\n"
               "    0     // Extra longs stored ?");
    h += Block("RECORD_CONSTANT", "    " + FormatFixed(plane, 4) + "   // Constant Z");
    h += Block("RECORD_LENGTH", std::to_string(kPhaseSpaceRecordBytes));
    h += Block("BYTE_ORDER", "1234");
    h += Block("ORIG_HISTORIES", count);
    h += Block("PARTICLES", count);
    h += Block("PHOTONS", count);
    h += Block("TRANSPORT_PARAMETERS",
               "None: the photons are drawn from the beam model of the measured HVL and air-kerma profile");
    h += Block("MACHINE_TYPE", "CT scanner, tube voltage " + PlainDecimal(fan.tubeVoltageKv) + " kV");
    h += Block("MONTE_CARLO_CODE_VERSION",
               ProgramName() + " (sampling of the fitted beam model, no transport)");
    h += Block("GLOBAL_PHOTON_ENERGY_CUTOFF", FormatFixed(bins.front().lowerKev / 1000, 5));
    h += Block("GLOBAL_PARTICLE_ENERGY_CUTOFF", FormatFixed(bins.front().lowerKev / 1000, 5));
    h += Block("COORDINATE_SYSTEM_DESCRIPTION",
               "cm. The focus is at the origin, the central ray along +z, the fan in the x-z plane (fan\n"
               "angle gamma = atan(x / z), measured up to +-" +
                   FormatFixed(last * 180 / std::numbers::pi, 4) +
                   " deg; nothing beyond), the patient axis along y.\nThe rotation centre is at z = " +
                   PlainDecimal(fan.focusCentreDistanceCm) + " cm, the collimation there " +
                   PlainDecimal(collimation) + " cm along y.\nEvery photon starts on the plane z = " +
                   PlainDecimal(plane) + " cm, moving away from the focus.");
    h += Block("BEAM_NAME", "Fan beam behind the bowtie filter");
    h += Block("INITIAL_SOURCE_DESCRIPTION",
               "Inputs: " + DescribeInputs(inputs) +
                   ".\nAlong each ray the photon fluence at the focus-centre distance is the measured "
                   "relative fluence\n(linear in the fan angle between measured points, mirrored), its "
                   "spectrum the point spectra\ninterpolated alike; seed " +
                   std::to_string(options.seed) + ".");
    h += Block("STATISTICAL_INFORMATION_PARTICLES", stats);
    h += Block("STATISTICAL_INFORMATION_GEOMETRY",
               "  " + FormatScientific(minX, 6) + "  " + FormatScientific(maxX, 6) + "\n  " +
                   FormatScientific(minY, 6) + "  " + FormatScientific(maxY, 6));
    return out;
}

PhaseSpaceResult PhaseSpaceFiles(const FanBeam& fan,
                                 const RunInputs& inputs,
                                 const PhaseSpaceOptions& options,
                                 std::string& records,
                                 const PhaseSpaceProgress& progress) {
    records.clear();
    bool memory = true;
    // A file larger than memory is refused with a message, not a crash; a caller streaming to a file
    // (WritePhaseSpace) has no such limit.
    PhaseSpaceResult out = WritePhaseSpace(
        fan, inputs, options,
        [&](std::string_view bytes) {
            try {
                if (records.empty())
                    records.reserve(static_cast<std::size_t>(options.photons) * kPhaseSpaceRecordBytes);
                records.append(bytes);
                return true;
            } catch (const std::bad_alloc&) {
                return memory = false;
            } catch (const std::length_error&) {
                return memory = false;
            }
        },
        progress);
    if (!memory)
        out.error = "not enough memory for " + std::to_string(options.photons) + " photons (" +
                    std::to_string(options.photons * kPhaseSpaceRecordBytes / 1000000) + " MB)";
    if (!out.ok())
        std::string().swap(records);
    return out;
}

}  // namespace halvorn
