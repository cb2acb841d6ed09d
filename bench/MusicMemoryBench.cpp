// Memory and time that music costs: the sample game's music tracks and a
// generated three-minute track are registered, then played, once the way
// tracks are handled now (decoded as they play) and once decoded whole, each
// in a fresh child process, and the resident memory each way is compared.
// Sound goes to OpenAL's output that plays into nothing, so the playing code
// runs as it would with a sound card.
//
//   bench_MusicMemoryBench        (in a copy of game/; other arguments are ignored)
//
// Output lines start with "bench:" and are key=value pairs.
#include <allegro5/allegro.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <limits>
#include <string>
#include <vector>

#include "platform/audio/AllegroBackend.h"
#include "platform/audio/Audio.h"

namespace {

long ResidentKb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    return -1;
}

void Put(std::string& s, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) s += char((v >> (8 * i)) & 0xff);
}

// Three minutes of a 44100 Hz stereo tone as a WAV file.
void WriteLongTrack(const std::string& path) {
    const uint32_t frames = 44100 * 180;
    std::string s = "RIFF";
    Put(s, 36 + frames * 4, 4);
    s += "WAVEfmt ";
    Put(s, 16, 4);
    Put(s, 1, 2);
    Put(s, 2, 2);
    Put(s, 44100, 4);
    Put(s, 44100 * 4, 4);
    Put(s, 4, 2);
    Put(s, 16, 2);
    s += "data";
    Put(s, frames * 4, 4);
    s.reserve(s.size() + size_t(frames) * 4);
    for (uint32_t i = 0; i < frames; ++i) {
        const uint32_t v = uint32_t(int16_t((i * 97) % 16000 - 8000));
        Put(s, v, 2);
        Put(s, v, 2);
    }
    std::ofstream(path, std::ios::binary).write(s.data(), std::streamsize(s.size()));
}

struct Figures {
    long registerKb = 0;  // resident growth from registering
    long playKb = 0;      // resident growth once every track plays
    double registerMs = 0;
    double startMs = 0;  // from registering to every track playing
    bool silent = true;
};

// Runs in a child: registers and plays the tracks, writes the figures to fd.
void Measure(bool whole, const std::vector<std::string>& tracks, int fd) {
    al_install_system(ALLEGRO_VERSION_INT, nullptr);
    setenv("ALSOFT_DRIVERS", "null", 1);
    al_set_config_value(al_get_system_config(), "audio", "driver", "openal");
    audio::AllegroBackend::Options options;
    if (whole) options.wholeDecodeBytes = std::numeric_limits<uint64_t>::max();
    audio::AllegroBackend backend([] { return 0.0; }, options);
    backend.Init(audio::kDefaultDevice, 44100);
    Figures f;
    f.silent = backend.IsSilent();
    const long base = ResidentKb();
    const auto start = std::chrono::steady_clock::now();
    std::vector<uint32_t> handles;
    for (const auto& t : tracks) handles.push_back(backend.StreamCreateFile(t, audio::kStreamPrescan));
    f.registerMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    f.registerKb = ResidentKb() - base;
    for (uint32_t h : handles) backend.ChannelPlay(h, true);
    f.startMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    al_rest(0.3);
    f.playKb = ResidentKb() - base;
    backend.Free();
    if (write(fd, &f, sizeof f) != ssize_t(sizeof f)) _exit(1);
    _exit(0);
}

bool RunChild(bool whole, const std::vector<std::string>& tracks, Figures& out) {
    int fds[2];
    if (pipe(fds) != 0) return false;
    const pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        Measure(whole, tracks, fds[1]);
    }
    close(fds[1]);
    const bool ok = read(fds[0], &out, sizeof out) == ssize_t(sizeof out);
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    return ok;
}

}  // namespace

int main() {
    char dirTemplate[] = "/tmp/qel-music-XXXXXX";
    const char* dir = mkdtemp(dirTemplate);
    if (!dir) return 1;
    const std::string longTrack = std::string(dir) + "/Long.wav";
    WriteLongTrack(longTrack);
    const std::vector<std::string> tracks = {"Data/Music/Title.wav", "Data/Music/Dungeon.wav", longTrack};

    Figures streamed, decoded;
    // Once each way first, so that both measured runs find the files cached.
    Figures warm;
    const bool ok = RunChild(false, tracks, warm) && RunChild(true, tracks, warm) &&
                    RunChild(false, tracks, streamed) && RunChild(true, tracks, decoded);
    std::remove(longTrack.c_str());
    rmdir(dir);
    if (!ok) {
        std::printf("bench: music failed to measure\n");
        return 1;
    }
    std::printf("bench: music tracks=3 (sample Title, Dungeon, a generated 3-minute track) output=%s\n",
                streamed.silent ? "silent" : "openal-null");
    std::printf("bench: music register_ms streamed=%.2f\n", streamed.registerMs);
    std::printf("bench: music register_and_start_ms streamed=%.2f whole=%.2f ratio=%.3f\n", streamed.startMs,
                decoded.startMs, decoded.startMs > 0 ? streamed.startMs / decoded.startMs : 0.0);
    std::printf("bench: music resident_kb_after_register streamed=%ld whole=%ld\n", streamed.registerKb,
                decoded.registerKb);
    std::printf("bench: music resident_kb_while_playing streamed=%ld whole=%ld ratio=%.3f\n", streamed.playKb,
                decoded.playKb, decoded.playKb > 0 ? double(streamed.playKb) / double(decoded.playKb) : 0.0);
    return 0;
}
