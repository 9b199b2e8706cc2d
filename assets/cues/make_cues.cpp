// Synthesises the program's twenty sound cues as short 16-bit mono WAV files.
// Usage: make_cues <output folder>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr int kRate = 22050;
constexpr double kPi = 3.14159265358979323846;

using Samples = std::vector<double>;

double Note(int midi) { return 440.0 * std::pow(2.0, (midi - 69) / 12.0); }

enum class Wave { Sine, Bell, Soft, Buzz };

double Oscillate(Wave wave, double phase) {
    switch (wave) {
        case Wave::Sine:
            return std::sin(phase);
        case Wave::Soft:  // a round tone with a little warmth
            return 0.8 * std::sin(phase) + 0.2 * std::sin(2 * phase);
        case Wave::Bell:  // bright partials that die away faster than the fundamental
            return 0.7 * std::sin(phase) + 0.2 * std::sin(2.76 * phase) + 0.1 * std::sin(5.4 * phase);
        case Wave::Buzz: {  // band-limited square: odd harmonics
            double sum = 0;
            for (int k = 1; k <= 15; k += 2) sum += std::sin(k * phase) / k;
            return sum * 0.9;
        }
    }
    return 0;
}

// Adds one tone at `start` seconds: a quick attack, then an exponential decay.
void AddTone(Samples& out, double start, double seconds, double freq, Wave wave, double gain,
             double decay = 6.0, double glide = 0.0) {
    const int first = static_cast<int>(start * kRate);
    const int count = static_cast<int>(seconds * kRate);
    if (static_cast<int>(out.size()) < first + count) out.resize(first + count, 0.0);
    double phase = 0;
    for (int i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / kRate;
        const double attack = std::min(1.0, t / 0.006);
        const double release = std::min(1.0, (seconds - t) / 0.012);
        const double envelope = attack * release * std::exp(-decay * t);
        const double f = freq * (1.0 + glide * t / seconds);
        phase += 2 * kPi * f / kRate;
        out[first + i] += gain * envelope * Oscillate(wave, phase);
    }
}

void Write(const std::string& path, const Samples& samples) {
    std::vector<std::int16_t> pcm(samples.size());
    double peak = 1e-9;
    for (double s : samples) peak = std::max(peak, std::fabs(s));
    const double scale = (peak > 0.95 ? 0.95 / peak : 1.0) * 32767.0;
    for (std::size_t i = 0; i < samples.size(); ++i) {
        pcm[i] = static_cast<std::int16_t>(std::lround(samples[i] * scale));
    }
    const std::uint32_t data_bytes = static_cast<std::uint32_t>(pcm.size() * 2);
    std::ofstream file(path, std::ios::binary);
    auto u32 = [&](std::uint32_t v) { file.write(reinterpret_cast<const char*>(&v), 4); };
    auto u16 = [&](std::uint16_t v) { file.write(reinterpret_cast<const char*>(&v), 2); };
    file.write("RIFF", 4);
    u32(36 + data_bytes);
    file.write("WAVEfmt ", 8);
    u32(16);
    u16(1);  // PCM
    u16(1);  // mono
    u32(kRate);
    u32(kRate * 2);
    u16(2);
    u16(16);
    file.write("data", 4);
    u32(data_bytes);
    file.write(reinterpret_cast<const char*>(pcm.data()), data_bytes);
    if (!file) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        std::exit(1);
    }
}

Samples Arpeggio(const std::vector<int>& notes, double step, double last_ring, Wave wave) {
    Samples s;
    for (std::size_t i = 0; i < notes.size(); ++i) {
        const bool last = i + 1 == notes.size();
        AddTone(s, i * step, last ? last_ring : step * 3, Note(notes[i]), wave, 0.5,
                last ? 4.0 : 9.0);
    }
    return s;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_cues <output folder>\n");
        return 2;
    }
    const std::string dir = std::string(argv[1]) + "/";

    // 1 … 10: the notes of a major scale, one soft tone each.
    const int scale[] = {72, 74, 76, 77, 79, 81, 83, 84, 86, 88};
    for (int n = 1; n <= 10; ++n) {
        Samples s;
        AddTone(s, 0, 0.18, Note(scale[n - 1]), Wave::Soft, 0.6, 10);
        Write(dir + std::to_string(n) + ".wav", s);
    }

    Samples pipo;  // a light two-note "pi-po" for every choice
    AddTone(pipo, 0.0, 0.07, Note(91), Wave::Sine, 0.5, 12);
    AddTone(pipo, 0.075, 0.11, Note(86), Wave::Sine, 0.5, 14);
    Write(dir + "pipo.wav", pipo);

    Samples poon;  // a round low "poon": an answer is logged
    AddTone(poon, 0, 0.35, Note(72), Wave::Soft, 0.7, 7, -0.08);
    Write(dir + "poon.wav", poon);

    Samples bubuu;  // a low double buzz: wrong, or time is up
    AddTone(bubuu, 0.0, 0.2, 138, Wave::Buzz, 0.45, 1.5);
    AddTone(bubuu, 0.24, 0.32, 130, Wave::Buzz, 0.45, 1.5);
    Write(dir + "bubuu.wav", bubuu);

    Samples pinpon;  // the quiz-show chime: right
    AddTone(pinpon, 0.0, 0.3, Note(88), Wave::Bell, 0.6, 5);
    AddTone(pinpon, 0.22, 0.6, Note(84), Wave::Bell, 0.6, 4);
    Write(dir + "pinpon.wav", pinpon);

    Samples sharan;  // a shimmer of quick high bells
    for (int i = 0; i < 9; ++i) AddTone(sharan, i * 0.035, 0.4, Note(96 - i * 2), Wave::Bell, 0.25, 7);
    Write(dir + "sharan.wav", sharan);

    // A rising arpeggio for start-up.
    Write(dir + "charararan.wav", Arpeggio({72, 76, 79, 84, 88, 91, 96}, 0.07, 0.6, Wave::Bell));

    Samples bun;  // a soft low blip: confirm, clear, a time limit
    AddTone(bun, 0, 0.12, Note(64), Wave::Soft, 0.7, 20, -0.2);
    Write(dir + "bun.wav", bun);

    Samples pipon;
    AddTone(pipon, 0.0, 0.08, Note(91), Wave::Sine, 0.5, 12);
    AddTone(pipon, 0.085, 0.25, Note(96), Wave::Bell, 0.5, 8);
    Write(dir + "pipon.wav", pipon);

    // A falling arpeggio that comes to rest: a drill is stopped.
    Write(dir + "chararan.wav", Arpeggio({91, 88, 84, 79, 84}, 0.08, 0.5, Wave::Bell));

    Samples twenty;  // a soft chord
    for (int note : {72, 76, 79}) AddTone(twenty, 0, 0.4, Note(note), Wave::Soft, 0.3, 5);
    Write(dir + "20.wav", twenty);
    return 0;
}
