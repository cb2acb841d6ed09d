// Makes the sample game's music and sound effects as 16-bit stereo WAV files
// at 44100 Hz, synthesised from notes and envelopes (no recordings, no
// encoder).
//
//   makesound <Data folder>
//
// writes <Data>/Music/Title.wav and <Data>/Sounds/{Click,Chime,TextTick}.wav.
// Each file is written to a temporary name and renamed into place.
//
// The title track is an intro followed by a loop body; the bytes after the
// body repeat its start, so a player that jumps back to the loop start a tick
// late still sounds seamless. Its loop points are kTitleLoopStart and
// kTitleLoopEnd (the game's Routing script sets the same numbers).
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

namespace {

constexpr int kRate = 44100;
constexpr double kPi = 3.14159265358979323846;

// The title track's layout, in seconds.
constexpr double kTitleIntro = 4.0;  // loop start
constexpr double kTitleBody = 16.0;  // loop body length
constexpr double kTitleTail = 2.0;   // repeat of the body's start after the loop end
constexpr double kBeat = 0.5;        // 120 beats per minute

struct Stereo {
    std::vector<float> left, right;
    explicit Stereo(double seconds)
        : left(static_cast<size_t>(seconds * kRate), 0.0f), right(static_cast<size_t>(seconds * kRate), 0.0f) {}
    size_t size() const { return left.size(); }
};

double NoteFrequency(int midi) { return 440.0 * std::pow(2.0, (midi - 69) / 12.0); }

// Wave shapes over one period, phase in [0, 1).
double Sine(double phase) { return std::sin(2.0 * kPi * phase); }
double Triangle(double phase) { return 4.0 * std::fabs(phase - std::floor(phase + 0.5)) - 1.0; }
double Pulse(double phase, double width) { return phase - std::floor(phase) < width ? 1.0 : -1.0; }

// Attack-decay-sustain-release envelope for a note of `length` seconds.
double Envelope(double t, double length, double attack, double decay, double sustain, double release) {
    if (t < 0.0) return 0.0;
    double level;
    if (t < attack)
        level = t / attack;
    else if (t < attack + decay)
        level = 1.0 - (1.0 - sustain) * (t - attack) / decay;
    else
        level = sustain;
    if (t > length) {
        double r = (t - length) / release;
        if (r >= 1.0) return 0.0;
        level *= 1.0 - r;
    }
    return level;
}

enum class Voice { Lead, Bass, Pad, Bell };

// Adds one note at `start` seconds, panned from -1 (left) to 1 (right).
void AddNote(Stereo& out, double start, double length, int midi, double gain, Voice voice, double pan) {
    const double freq = NoteFrequency(midi);
    const double release = voice == Voice::Bell ? 1.2 : 0.08;
    const double total = length + release;
    const size_t first = static_cast<size_t>(start * kRate);
    const size_t count = static_cast<size_t>(total * kRate);
    const double leftGain = gain * std::sqrt(0.5 * (1.0 - pan));
    const double rightGain = gain * std::sqrt(0.5 * (1.0 + pan));
    for (size_t i = 0; i < count && first + i < out.size(); ++i) {
        const double t = static_cast<double>(i) / kRate;
        const double phase = freq * t;
        double sample = 0.0;
        switch (voice) {
            case Voice::Lead:
                // A soft square with a slow vibrato.
                sample = 0.6 * Pulse(phase + 0.003 * Sine(5.0 * t), 0.5) * Envelope(t, length, 0.01, 0.1, 0.6, release);
                break;
            case Voice::Bass: sample = Triangle(phase) * Envelope(t, length, 0.005, 0.05, 0.8, release); break;
            case Voice::Pad:
                sample =
                    0.5 * (Triangle(phase) + Triangle(phase * 1.003)) * Envelope(t, length, 0.2, 0.3, 0.7, release);
                break;
            case Voice::Bell:
                // Inharmonic partials decaying at their own speeds.
                sample = (Sine(phase) * std::exp(-3.0 * t) + 0.5 * Sine(2.76 * phase) * std::exp(-5.0 * t) +
                          0.25 * Sine(5.40 * phase) * std::exp(-8.0 * t)) *
                         (t < 0.002 ? t / 0.002 : 1.0);
                break;
        }
        out.left[first + i] += static_cast<float>(sample * leftGain);
        out.right[first + i] += static_cast<float>(sample * rightGain);
    }
}

// Chords of the loop body: A minor, F, C, G, one bar (4 beats) each, twice.
const int kChordRoots[4] = {57, 53, 48, 55};
const int kChordThirds[4] = {3, 4, 4, 4};

// The melody of the loop body as (beat, length in beats, midi note); 32 beats.
struct Note {
    double beat, length;
    int midi;
};
const Note kMelody[] = {
    {0, 1, 76},  {1, 0.5, 74}, {1.5, 0.5, 72}, {2, 1.5, 69},    {3.5, 0.5, 72}, {4, 1, 72},      {5, 1, 74},
    {6, 2, 77},  {8, 1, 79},   {9, 0.5, 76},   {9.5, 0.5, 74},  {10, 2, 72},    {12, 1, 74},     {13, 1, 71},
    {14, 2, 67}, {16, 1, 76},  {17, 0.5, 74},  {17.5, 0.5, 72}, {18, 1.5, 69},  {19.5, 0.5, 72}, {20, 1, 77},
    {21, 1, 76}, {22, 2, 74},  {24, 1, 72},    {25, 1, 74},     {26, 1, 76},    {27, 1, 79},     {28, 3, 81},
};

// One pass of the loop body starting at `start` seconds; only notes that
// begin before `until` seconds of the pass are written.
void AddLoopBody(Stereo& out, double start, double until) {
    for (int bar = 0; bar < 8; ++bar) {
        const int chord = bar % 4;
        const int root = kChordRoots[chord];
        const double barStart = bar * 4 * kBeat;
        if (barStart >= until) break;
        // Pad: the triad held for the bar.
        for (int interval : {0, kChordThirds[chord], 7})
            AddNote(out, start + barStart, 4 * kBeat - 0.1, root + interval, 0.07, Voice::Pad, 0.0);
        // Bass: root and fifth in eighth notes.
        for (int step = 0; step < 8; ++step) {
            const double at = barStart + step * kBeat / 2;
            if (at >= until) break;
            AddNote(out, start + at, kBeat / 2 - 0.05, root - 12 + (step % 4 == 3 ? 7 : 0), 0.16, Voice::Bass, -0.2);
        }
    }
    for (const Note& note : kMelody) {
        const double at = note.beat * kBeat;
        if (at >= until) continue;
        AddNote(out, start + at, note.length * kBeat - 0.04, note.midi, 0.09, Voice::Lead, 0.25);
    }
}

Stereo MakeTitle() {
    Stereo out(kTitleIntro + kTitleBody + kTitleTail);
    // Intro: two bars of slow chords with a bell on each.
    const int introRoots[2] = {57, 55};
    for (int bar = 0; bar < 2; ++bar) {
        const double at = bar * 4 * kBeat;
        const int third = bar == 0 ? 3 : 4;
        for (int interval : {0, third, 7})
            AddNote(out, at, 4 * kBeat - 0.1, introRoots[bar] + interval, 0.08, Voice::Pad, 0.0);
        AddNote(out, at, 0.5, introRoots[bar] + 24, 0.10, Voice::Bell, 0.4);
    }
    AddLoopBody(out, kTitleIntro, kTitleBody);
    // The tail repeats the body's start, so a late jump back is not heard.
    AddLoopBody(out, kTitleIntro + kTitleBody, kTitleTail);
    return out;
}

Stereo MakeDungeon() {
    // The dungeon floors: 16 seconds of low minor pads under a slow, sparse
    // bell line, made to loop whole.
    Stereo out(16.0);
    const int roots[4] = {45, 41, 43, 40};
    const int bells[8] = {69, 72, 76, 74, 65, 69, 71, 68};
    for (int bar = 0; bar < 4; ++bar) {
        const double at = bar * 4.0;
        for (int interval : {0, 3, 7}) AddNote(out, at, 3.9, roots[bar] + interval, 0.07, Voice::Pad, 0.0);
        AddNote(out, at, 3.9, roots[bar] - 12, 0.10, Voice::Bass, 0.0);
        AddNote(out, at + 0.5, 0.6, bells[bar * 2], 0.06, Voice::Bell, -0.4);
        AddNote(out, at + 2.5, 0.6, bells[bar * 2 + 1], 0.05, Voice::Bell, 0.4);
    }
    return out;
}

Stereo MakeClick() {
    // A short, bright tick: a high pulse with a very fast decay.
    Stereo out(0.03);
    for (size_t i = 0; i < out.size(); ++i) {
        const double t = static_cast<double>(i) / kRate;
        const double s = 0.5 * Pulse(1800.0 * t, 0.3) * std::exp(-t / 0.004);
        out.left[i] = out.right[i] = static_cast<float>(s);
    }
    return out;
}

Stereo MakeTextTick() {
    // A soft blip, quiet enough to play on every typed character.
    Stereo out(0.025);
    for (size_t i = 0; i < out.size(); ++i) {
        const double t = static_cast<double>(i) / kRate;
        const double s = 0.25 * Sine(1200.0 * t) * std::exp(-t / 0.006) * (t < 0.001 ? t / 0.001 : 1.0);
        out.left[i] = out.right[i] = static_cast<float>(s);
    }
    return out;
}

Stereo MakeChime() {
    // Two bell notes a fifth apart.
    Stereo out(1.6);
    AddNote(out, 0.0, 0.3, 81, 0.35, Voice::Bell, -0.3);
    AddNote(out, 0.15, 0.3, 88, 0.30, Voice::Bell, 0.3);
    return out;
}

void PutU16(std::string& out, uint32_t value) {
    out.push_back(static_cast<char>(value & 0xFF));
    out.push_back(static_cast<char>((value >> 8) & 0xFF));
}

void PutU32(std::string& out, uint32_t value) {
    PutU16(out, value & 0xFFFF);
    PutU16(out, value >> 16);
}

// The whole file: a RIFF header, the PCM format and the samples, clipped.
std::string EncodeWav(const Stereo& sound) {
    const uint32_t dataBytes = static_cast<uint32_t>(sound.size() * 4);
    std::string out;
    out.reserve(44 + dataBytes);
    out += "RIFF";
    PutU32(out, 36 + dataBytes);
    out += "WAVEfmt ";
    PutU32(out, 16);
    PutU16(out, 1);  // PCM
    PutU16(out, 2);  // channels
    PutU32(out, kRate);
    PutU32(out, kRate * 4);
    PutU16(out, 4);   // bytes per frame
    PutU16(out, 16);  // bits per sample
    out += "data";
    PutU32(out, dataBytes);
    auto sample = [](float value) {
        double v = value;
        if (v > 1.0) v = 1.0;
        if (v < -1.0) v = -1.0;
        return static_cast<uint32_t>(static_cast<int32_t>(std::lround(v * 32767.0)) & 0xFFFF);
    };
    for (size_t i = 0; i < sound.size(); ++i) {
        PutU16(out, sample(sound.left[i]));
        PutU16(out, sample(sound.right[i]));
    }
    return out;
}

bool WriteFileAtomically(const std::filesystem::path& path, const std::string& bytes) {
    const std::filesystem::path temp = path.string() + ".tmp";
    FILE* file = std::fopen(temp.string().c_str(), "wb");
    if (!file) {
        std::fprintf(stderr, "makesound: cannot write %s\n", temp.string().c_str());
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const bool closed = std::fclose(file) == 0;
    std::error_code error;
    if (!written || !closed) {
        std::fprintf(stderr, "makesound: cannot write %s\n", temp.string().c_str());
        std::filesystem::remove(temp, error);
        return false;
    }
    std::filesystem::rename(temp, path, error);
    if (error) {
        std::fprintf(stderr, "makesound: cannot rename %s: %s\n", temp.string().c_str(), error.message().c_str());
        std::filesystem::remove(temp, error);
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: makesound <Data folder>\n");
        return 2;
    }
    const std::filesystem::path data = argv[1];
    std::error_code error;
    std::filesystem::create_directories(data / "Music", error);
    std::filesystem::create_directories(data / "Sounds", error);

    struct Output {
        const char* path;
        Stereo (*make)();
    };
    const Output outputs[] = {
        {"Music/Title.wav", MakeTitle},  {"Music/Dungeon.wav", MakeDungeon},    {"Sounds/Click.wav", MakeClick},
        {"Sounds/Chime.wav", MakeChime}, {"Sounds/TextTick.wav", MakeTextTick},
    };
    for (const Output& output : outputs)
        if (!WriteFileAtomically(data / output.path, EncodeWav(output.make()))) return 1;
    return 0;
}
