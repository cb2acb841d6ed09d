// Opening a compressed image archive of a few megabytes (first open: inflate
// into the cache copy, load, read the table) and extracting every image by
// offset, as the map manager does, beside a bare zlib inflate of the same
// file. The counter "ratio" is the first over the second (goal: <= 1.5).
#include <allegro5/allegro.h>
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "ArchiveWriter.h"
#include "core/base/FileNames.h"
#include "core/media/BitmapWrapper.h"
#include "core/media/ExternalImageManager.h"

namespace {

namespace fs = std::filesystem;

// 48 textures of 128 x 128 with smooth shading and some noise: about 3 MiB
// inflated, compressing the way drawn art does.
struct Fixture {
    std::string folder, archive, cache;
    size_t inflatedSize = 0;

    Fixture() {
        al_install_system(ALLEGRO_VERSION_INT, nullptr);
        al_set_new_bitmap_flags(ALLEGRO_MEMORY_BITMAP);
        folder = (fs::temp_directory_path() / "qel-archive-bench").string();
        fs::create_directories(folder);
        archive = folder + "/Bench.sif";
        cache = ExternalImageManager::CachePath(archive);  // no path manager: the base name
        sif::ArchiveWriter writer;
        uint32_t seed = 1;
        for (int i = 0; i < 48; ++i) {
            sif::Picture picture;
            picture.width = picture.height = 128;
            for (uint32_t y = 0; y < 128; ++y) {
                for (uint32_t x = 0; x < 128; ++x) {
                    seed = seed * 1103515245u + 12345u;
                    uint8_t noise = static_cast<uint8_t>((seed >> 16) & 7);
                    picture.rgba.insert(picture.rgba.end(),
                                        {static_cast<uint8_t>(x * 2 + i + noise), static_cast<uint8_t>(y * 2 + noise),
                                         static_cast<uint8_t>((x + y + i * 5) & 0xFF), 255});
                }
            }
            writer.AddImage("Tex" + std::to_string(i), picture);
        }
        inflatedSize = writer.BuildLayout(true).size();
        writer.WriteFile(archive, true);
    }
    ~Fixture() {
        std::error_code ignored;
        fs::remove(cache, ignored);
        fs::remove_all(folder, ignored);
    }
};

Fixture& GetFixture() {
    static Fixture fixture;
    return fixture;
}

double Seconds(std::chrono::steady_clock::duration d) { return std::chrono::duration<double>(d).count(); }

// Reads the file and inflates it into memory: the least that any reader must do.
void BareInflate(const Fixture& f) {
    std::string packed;
    ReadFileContents(f.archive, packed);
    std::vector<uint8_t> out(f.inflatedSize);
    uLongf size = out.size();
    uncompress(out.data(), &size, reinterpret_cast<const Bytef*>(packed.data()), packed.size());
    benchmark::DoNotOptimize(out.data());
}

void OpenAndExtractAll(const Fixture& f) {
    std::remove(f.cache.c_str());
    ExternalImageManager images;
    images.OpenFile(f.archive);
    for (const ArchiveEntry& entry : images.GetEntryTable()) {
        BitmapWrapper* bitmap = images.GetBitmapFromActiveFileL(entry.dataOffset);
        benchmark::DoNotOptimize(bitmap);
        delete bitmap;
    }
    images.CloseFile();
}

void BM_OpenAndExtractAll(benchmark::State& state) {
    Fixture& f = GetFixture();
    double archiveTime = 0, inflateTime = 0;
    for (auto _ : state) {
        auto t0 = std::chrono::steady_clock::now();
        OpenAndExtractAll(f);
        auto t1 = std::chrono::steady_clock::now();
        state.PauseTiming();
        BareInflate(f);
        auto t2 = std::chrono::steady_clock::now();
        state.ResumeTiming();
        archiveTime += Seconds(t1 - t0);
        inflateTime += Seconds(t2 - t1);
    }
    double n = static_cast<double>(state.iterations());
    state.counters["archive_ms"] = archiveTime / n * 1000.0;
    state.counters["inflate_ms"] = inflateTime / n * 1000.0;
    state.counters["ratio"] = inflateTime > 0 ? archiveTime / inflateTime : 0;
    state.SetBytesProcessed(static_cast<int64_t>(n * static_cast<double>(f.inflatedSize)));
}
BENCHMARK(BM_OpenAndExtractAll)->Unit(benchmark::kMillisecond);

void BM_BareInflate(benchmark::State& state) {
    Fixture& f = GetFixture();
    for (auto _ : state) BareInflate(f);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(f.inflatedSize));
}
BENCHMARK(BM_BareInflate)->Unit(benchmark::kMillisecond);

// Later opens read the cache copy: no inflation at all.
void BM_OpenCachedAndExtractAll(benchmark::State& state) {
    Fixture& f = GetFixture();
    ExternalImageManager images;
    for (auto _ : state) {
        images.OpenFile(f.archive);
        for (const ArchiveEntry& entry : images.GetEntryTable())
            delete images.GetBitmapFromActiveFileL(entry.dataOffset);
        images.CloseFile();
    }
}
BENCHMARK(BM_OpenCachedAndExtractAll)->Unit(benchmark::kMillisecond);

// The first open of each of the sample game's archives (run from a copy of
// game/): inflating and reading the table, the cache copy removed before
// each, beside a bare read and inflate of the same file.
void BM_GameArchiveFirstOpen(benchmark::State& state, const std::string& archive) {
    Fixture& f = GetFixture();  // Allegro, memory bitmaps
    (void)f;
    std::string packed;
    if (!ReadFileContents(archive, packed)) {
        state.SkipWithError(("no " + archive + " here: run from a copy of game/").c_str());
        return;
    }
    const std::string cache = ExternalImageManager::CachePath(archive);
    // The inflated size, found once; the bare inflate then reads the file
    // and inflates it into a buffer of that size made for each run, as the
    // fixture's own bare inflate does.
    size_t inflatedSize = 1 << 20;
    for (;;) {
        std::vector<uint8_t> probe(inflatedSize);
        uLongf size = probe.size();
        int rc = uncompress(probe.data(), &size, reinterpret_cast<const Bytef*>(packed.data()), packed.size());
        if (rc != Z_BUF_ERROR) {
            inflatedSize = size;
            break;
        }
        inflatedSize *= 2;
    }
    double openTime = 0, inflateTime = 0;
    for (auto _ : state) {
        std::remove(cache.c_str());
        auto t0 = std::chrono::steady_clock::now();
        {
            ExternalImageManager images;
            images.OpenFile(archive);
            benchmark::DoNotOptimize(images.GetEntryTable().size());
        }
        auto t1 = std::chrono::steady_clock::now();
        std::string again;
        ReadFileContents(archive, again);
        std::vector<uint8_t> out(inflatedSize);
        uLongf size = out.size();
        uncompress(out.data(), &size, reinterpret_cast<const Bytef*>(again.data()), again.size());
        benchmark::DoNotOptimize(out.data());
        auto t2 = std::chrono::steady_clock::now();
        openTime += Seconds(t1 - t0);
        inflateTime += Seconds(t2 - t1);
    }
    std::remove(cache.c_str());
    state.counters["open_ms"] = openTime / static_cast<double>(state.iterations()) * 1000.0;
    state.counters["inflate_ms"] = inflateTime / static_cast<double>(state.iterations()) * 1000.0;
    state.counters["ratio"] = inflateTime > 0 ? openTime / inflateTime : 0;
}
BENCHMARK_CAPTURE(BM_GameArchiveFirstOpen, StandardTextures, std::string("Data/StandardTextures.sif"))
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_GameArchiveFirstOpen, TitleScreen, std::string("Data/TitleScreen.sif"))
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_GameArchiveFirstOpen, Backgrounds, std::string("Data/Backgrounds.sif"))
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
