// Writes the program's four default notification sounds as short 16-bit mono wave files:
// make_sounds FOLDER  ->  FOLDER/TADA.WAV, CHORD.WAV, CHIMES.WAV, NOTIFY.WAV
// Each is a few synthesized tones with a soft attack and an exponential decay, so nothing clicks.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kRate = 22050;
constexpr double kPi = 3.14159265358979323846;

struct Tone {
    double start;      // seconds
    double length;     // seconds
    double frequency;  // Hz
    double level;      // 0..1
    double decay;      // per second
};

std::vector<int16_t> Render(const std::vector<Tone>& tones)
{
    double end = 0;
    for (const Tone& t : tones) end = std::max(end, t.start + t.length);
    std::vector<double> mix(static_cast<size_t>(end * kRate) + 1, 0.0);
    for (const Tone& t : tones) {
        const auto first = static_cast<size_t>(t.start * kRate);
        const auto count = static_cast<size_t>(t.length * kRate);
        for (size_t i = 0; i < count && first + i < mix.size(); ++i) {
            const double s = static_cast<double>(i) / kRate;
            const double attack = std::min(1.0, s / 0.005);
            const double release = std::min(1.0, (t.length - s) / 0.02);
            // A touch of the octave makes the tone bell-like rather than a bare sine.
            const double wave = std::sin(2 * kPi * t.frequency * s) + 0.25 * std::sin(4 * kPi * t.frequency * s);
            mix[first + i] += t.level * attack * release * std::exp(-t.decay * s) * wave;
        }
    }
    std::vector<int16_t> pcm(mix.size());
    for (size_t i = 0; i < mix.size(); ++i)
        pcm[i] = static_cast<int16_t>(std::lround(std::clamp(mix[i], -1.0, 1.0) * 32000));
    return pcm;
}

void Put32(std::string& out, uint32_t v)
{
    for (int i = 0; i < 4; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

void Put16(std::string& out, uint16_t v)
{
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>(v >> 8);
}

bool WriteWave(const std::string& path, const std::vector<int16_t>& pcm)
{
    const auto bytes = static_cast<uint32_t>(pcm.size() * 2);
    std::string out = "RIFF";
    Put32(out, 36 + bytes);
    out += "WAVEfmt ";
    Put32(out, 16);
    Put16(out, 1);   // PCM
    Put16(out, 1);   // mono
    Put32(out, kRate);
    Put32(out, kRate * 2);
    Put16(out, 2);
    Put16(out, 16);
    out += "data";
    Put32(out, bytes);
    for (int16_t s : pcm) Put16(out, static_cast<uint16_t>(s));
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool ok = std::fwrite(out.data(), 1, out.size(), f) == out.size();
    return std::fclose(f) == 0 && ok;
}

}  // namespace

int main(int argc, char* argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_sounds FOLDER\n");
        return 2;
    }
    const std::string folder = argv[1];
    // Match: a rising major arpeggio landing on a held chord.
    const std::vector<Tone> tada = {{0.00, 0.12, 523.25, 0.30, 8},  {0.08, 0.12, 659.25, 0.30, 8},
                                    {0.16, 0.40, 783.99, 0.25, 5},  {0.16, 0.40, 1046.5, 0.20, 5},
                                    {0.16, 0.40, 659.25, 0.15, 5}};
    // Mismatch: a low minor chord that falls away.
    const std::vector<Tone> chord = {{0.00, 0.45, 220.00, 0.28, 6}, {0.00, 0.45, 261.63, 0.24, 6},
                                     {0.00, 0.45, 329.63, 0.22, 6}, {0.12, 0.33, 207.65, 0.18, 7}};
    // Copy: three falling bell strokes.
    const std::vector<Tone> chimes = {{0.00, 0.30, 1318.5, 0.30, 9}, {0.10, 0.30, 1046.5, 0.30, 9},
                                      {0.20, 0.30, 783.99, 0.30, 9}};
    // Duplicate: two short high beeps.
    const std::vector<Tone> notify = {{0.00, 0.09, 880.0, 0.35, 10}, {0.15, 0.09, 880.0, 0.35, 10}};
    const struct {
        const char* name;
        const std::vector<Tone>& tones;
    } kSounds[] = {{"TADA.WAV", tada}, {"CHORD.WAV", chord}, {"CHIMES.WAV", chimes}, {"NOTIFY.WAV", notify}};
    for (const auto& s : kSounds) {
        const std::string path = folder + "/" + s.name;
        if (!WriteWave(path, Render(s.tones))) {
            std::perror(path.c_str());
            return 1;
        }
    }
    return 0;
}
