// Turrion sound generator.
//
// Synthesises the game's four sound effects and writes them as 16-bit mono
// PCM wave files at 22050 Hz into one folder:
//
//     sfxgen [output-folder]        (default: "assets")
//
//   start.wav   a short brass fanfare when a new game starts   (~1.0 s)
//   cannon.wav  the boom of a cannon firing                    (~0.6 s)
//   cb_hit.wav  the thud of a cannonball coming down           (~0.4 s)
//   win.wav     a flourish when a King has fallen              (~1.5 s)
//
// Standard library only. The noise comes from a fixed-seed generator, so the
// files are byte-for-byte the same on every run.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr int kRate = 22050;
constexpr double kPi = 3.14159265358979323846;

using Buffer = std::vector<double>;

Buffer Silence(double seconds)
{
    return Buffer(static_cast<std::size_t>(std::lround(seconds * kRate)), 0.0);
}

double Time(std::size_t i) { return static_cast<double>(i) / kRate; }

// Deterministic white noise in [-1, 1] (xorshift32).
class Noise {
public:
    explicit Noise(std::uint32_t seed) : state_(seed) {}
    double Next()
    {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return (state_ & 0xFFFFFF) / double(0x800000) - 1.0;
    }

private:
    std::uint32_t state_;
};

// One-pole low-pass filter whose cutoff may change per sample.
class LowPass {
public:
    double Step(double in, double cutoffHz)
    {
        const double a = 1.0 - std::exp(-2.0 * kPi * cutoffHz / kRate);
        y_ += a * (in - y_);
        return y_;
    }

private:
    double y_ = 0.0;
};

double MidiHz(int note) { return 440.0 * std::pow(2.0, (note - 69) / 12.0); }

// Attack-decay-sustain-release envelope for a note of the given length.
double Adsr(double t, double length, double attack, double decay, double sustain, double release)
{
    if (t < 0.0 || t > length + release)
        return 0.0;
    double level;
    if (t < attack)
        level = t / attack;
    else if (t < attack + decay)
        level = 1.0 - (1.0 - sustain) * (t - attack) / decay;
    else
        level = sustain;
    if (t > length)
        level *= 1.0 - (t - length) / release;
    return level;
}

// A brass-like tone: harmonics whose upper partials open up during the
// attack, with a gentle vibrato once the note has settled.
void AddBrass(Buffer& buf, double start, double length, double hz, double gain,
              double vibratoDepth = 0.0)
{
    const double release = 0.06;
    const auto first = static_cast<std::size_t>(start * kRate);
    const auto count = static_cast<std::size_t>((length + release) * kRate);
    double phase = 0.0;
    for (std::size_t k = 0; k < count && first + k < buf.size(); ++k) {
        const double t = Time(k);
        const double vib = vibratoDepth * std::min(1.0, std::max(0.0, (t - 0.15) / 0.2)) *
                           std::sin(2 * kPi * 5.5 * t);
        phase += 2 * kPi * hz * (1.0 + vib) / kRate;
        const double bright = std::min(1.0, t / 0.05);
        double s = 0.0;
        for (int h = 1; h <= 8; ++h) {
            const double amp = std::pow(1.0 / h, 1.1) * (h == 1 ? 1.0 : 0.35 + 0.65 * bright);
            s += amp * std::sin(h * phase);
        }
        buf[first + k] += gain * s * Adsr(t, length, 0.018, 0.08, 0.75, release);
    }
}

// A bell-like tone: a bright strike that rings out.
void AddBell(Buffer& buf, double start, double hz, double gain, double decay)
{
    const auto first = static_cast<std::size_t>(start * kRate);
    for (std::size_t k = 0; first + k < buf.size(); ++k) {
        const double t = Time(k);
        const double env = std::min(1.0, t / 0.004) * std::exp(-t / decay);
        if (env < 1e-4 && t > 0.01)
            break;
        const double s = std::sin(2 * kPi * hz * t) + 0.45 * std::sin(2 * kPi * hz * 2.0 * t) +
                         0.2 * std::sin(2 * kPi * hz * 3.01 * t) * std::exp(-t / 0.08);
        buf[first + k] += gain * env * s;
    }
}

// Scales the sound to a fixed peak and smooths both ends against clicks.
void Finish(Buffer& buf, double peak = 0.89)
{
    double max = 0.0;
    for (double s : buf)
        max = std::max(max, std::abs(s));
    if (max > 0.0)
        for (double& s : buf)
            s *= peak / max;
    const std::size_t fadeIn = kRate / 500;   // 2 ms
    const std::size_t fadeOut = kRate / 40;   // 25 ms
    for (std::size_t i = 0; i < fadeIn && i < buf.size(); ++i)
        buf[i] *= static_cast<double>(i) / fadeIn;
    for (std::size_t i = 0; i < fadeOut && i < buf.size(); ++i)
        buf[buf.size() - 1 - i] *= static_cast<double>(i) / fadeOut;
}

Buffer Fanfare()
{
    Buffer buf = Silence(1.0);
    // G4 C5 E5, then a held G5 over a C major chord.
    AddBrass(buf, 0.00, 0.10, MidiHz(67), 0.55);
    AddBrass(buf, 0.13, 0.10, MidiHz(72), 0.55);
    AddBrass(buf, 0.26, 0.10, MidiHz(76), 0.55);
    AddBrass(buf, 0.39, 0.50, MidiHz(79), 0.60, 0.006);
    AddBrass(buf, 0.39, 0.50, MidiHz(72), 0.32, 0.004);
    AddBrass(buf, 0.39, 0.50, MidiHz(64), 0.28, 0.004);
    AddBrass(buf, 0.39, 0.50, MidiHz(48), 0.30);
    // A snare-like roll under the pickup notes.
    Noise noise(0x5EED0001u);
    for (double hit : {0.0, 0.13, 0.26, 0.39}) {
        const auto first = static_cast<std::size_t>(hit * kRate);
        for (std::size_t k = 0; k < kRate / 10 && first + k < buf.size(); ++k)
            buf[first + k] += 0.18 * noise.Next() * std::exp(-Time(k) / 0.025);
    }
    Finish(buf);
    return buf;
}

Buffer Boom()
{
    Buffer buf = Silence(0.6);
    Noise noise(0x5EED0002u);
    LowPass rumble, body;
    double phase = 0.0;
    for (std::size_t i = 0; i < buf.size(); ++i) {
        const double t = Time(i);
        // Sharp crack of the charge.
        const double crack = noise.Next() * std::exp(-t / 0.012);
        // Roaring blast: noise whose brightness falls away quickly.
        const double cutoff = 150.0 + 3200.0 * std::exp(-t / 0.05);
        const double blast = rumble.Step(noise.Next(), cutoff) * std::exp(-t / 0.14) * 2.2;
        // Deep thump that sinks in pitch.
        const double hz = 36.0 + 52.0 * std::exp(-t / 0.09);
        phase += 2 * kPi * hz / kRate;
        const double thump = std::sin(phase) * std::exp(-t / 0.2) * std::min(1.0, t / 0.003);
        const double mix = 0.45 * crack + blast + 0.9 * thump;
        buf[i] = std::tanh(1.8 * body.Step(mix, 2600.0));
    }
    Finish(buf);
    return buf;
}

Buffer Thud()
{
    Buffer buf = Silence(0.4);
    Noise noise(0x5EED0003u);
    LowPass dirt, grains;
    double phase = 0.0;
    for (std::size_t i = 0; i < buf.size(); ++i) {
        const double t = Time(i);
        const double hz = 52.0 + 110.0 * std::exp(-t / 0.04);
        phase += 2 * kPi * hz / kRate;
        const double thump = std::sin(phase) * std::exp(-t / 0.075) * std::min(1.0, t / 0.002);
        const double crunch =
            dirt.Step(noise.Next(), 200.0 + 1400.0 * std::exp(-t / 0.03)) * std::exp(-t / 0.05) * 2.5;
        // Earth and stones falling back after the impact.
        double patter = 0.0;
        if (t > 0.04 && t < 0.3) {
            const double n = noise.Next();
            if (std::abs(n) > 0.985)
                patter = n * 0.6 * std::exp(-(t - 0.04) / 0.09);
        }
        buf[i] = std::tanh(1.5 * (thump + crunch + grains.Step(patter, 1800.0) * 3.0));
    }
    Finish(buf, 0.85);
    return buf;
}

Buffer Flourish()
{
    Buffer buf = Silence(1.5);
    // A quick rising run of bells...
    const int run[] = {72, 76, 79, 84, 88, 91};
    for (int i = 0; i < 6; ++i)
        AddBell(buf, 0.06 * i, MidiHz(run[i]), 0.5, 0.35);
    // ...into a full brass chord that swells and rings out.
    const double chordStart = 0.38, chordLength = 0.9;
    AddBrass(buf, chordStart, chordLength, MidiHz(84), 0.42, 0.007);
    AddBrass(buf, chordStart, chordLength, MidiHz(79), 0.34, 0.006);
    AddBrass(buf, chordStart, chordLength, MidiHz(76), 0.34, 0.006);
    AddBrass(buf, chordStart, chordLength, MidiHz(72), 0.34, 0.005);
    AddBrass(buf, chordStart, chordLength, MidiHz(60), 0.30);
    AddBrass(buf, chordStart, chordLength, MidiHz(48), 0.26);
    // Sparkles on top of the chord.
    AddBell(buf, 0.62, MidiHz(96), 0.10, 0.25);
    AddBell(buf, 0.80, MidiHz(100), 0.08, 0.25);
    AddBell(buf, 0.98, MidiHz(103), 0.07, 0.3);
    // Cymbal-like wash at the start of the chord.
    Noise noise(0x5EED0004u);
    LowPass soften;
    const auto first = static_cast<std::size_t>(chordStart * kRate);
    for (std::size_t k = 0; first + k < buf.size(); ++k) {
        const double n = noise.Next();
        const double hiss = n - soften.Step(n, 3000.0);  // keep only the highs
        buf[first + k] += 0.22 * hiss * std::exp(-Time(k) / 0.3);
    }
    Finish(buf);
    return buf;
}

void PutLE(std::string& out, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

bool WriteWave(const std::filesystem::path& path, const Buffer& samples)
{
    const std::uint32_t dataBytes = static_cast<std::uint32_t>(samples.size() * 2);
    std::string out;
    out.reserve(44 + dataBytes);
    out += "RIFF";
    PutLE(out, 36 + dataBytes, 4);
    out += "WAVE";
    out += "fmt ";
    PutLE(out, 16, 4);          // format chunk size
    PutLE(out, 1, 2);           // PCM
    PutLE(out, 1, 2);           // mono
    PutLE(out, kRate, 4);       // sample rate
    PutLE(out, kRate * 2, 4);   // bytes per second
    PutLE(out, 2, 2);           // bytes per frame
    PutLE(out, 16, 2);          // bits per sample
    out += "data";
    PutLE(out, dataBytes, 4);
    for (double s : samples) {
        const long v = std::lround(std::clamp(s, -1.0, 1.0) * 32767.0);
        PutLE(out, static_cast<std::uint32_t>(static_cast<std::uint16_t>(static_cast<std::int16_t>(v))), 2);
    }
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (!file)
        return false;
    file.write(out.data(), static_cast<std::streamsize>(out.size()));
    file.close();
    return static_cast<bool>(file);
}

}  // namespace

int main(int argc, char** argv)
{
    const std::filesystem::path dir = argc > 1 ? argv[1] : "assets";
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    if (ec) {
        std::fprintf(stderr, "sfxgen: cannot create %s: %s\n", dir.string().c_str(),
                     ec.message().c_str());
        return 1;
    }
    struct Sound {
        const char* name;
        Buffer (*make)();
    };
    const Sound sounds[] = {
        {"start.wav", Fanfare},
        {"cannon.wav", Boom},
        {"cb_hit.wav", Thud},
        {"win.wav", Flourish},
    };
    bool ok = true;
    for (const Sound& sound : sounds) {
        const Buffer samples = sound.make();
        const std::filesystem::path path = dir / sound.name;
        if (WriteWave(path, samples)) {
            std::printf("wrote %s (%.2f s)\n", path.string().c_str(),
                        static_cast<double>(samples.size()) / kRate);
        } else {
            std::fprintf(stderr, "sfxgen: cannot write %s\n", path.string().c_str());
            ok = false;
        }
    }
    return ok ? 0 : 1;
}
