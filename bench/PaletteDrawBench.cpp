// A palette draw of a 64 x 64 sprite onto a video bitmap, beside a plain draw
// of the same sprite, each batch of draws finished by reading a pixel back.
// The counter "ratio" is the first over the second (goal: <= 2). Needs a
// display: run under Xvfb (scripts/bench does).
#include <allegro5/allegro.h>
#include <benchmark/benchmark.h>

#include <chrono>

#include "core/media/BitmapWrapper.h"
#include "core/media/Palette.h"

namespace {

struct Scene {
    ALLEGRO_DISPLAY* display = nullptr;
    ALLEGRO_BITMAP* target = nullptr;
    BitmapWrapper* mapped = nullptr;
    BitmapWrapper* plain = nullptr;
    Palette palette;
    int32_t selector = 1;
    uint8_t openGL = 0;

    Scene() {
        al_install_system(ALLEGRO_VERSION_INT, nullptr);
        display = al_create_display(320, 240);
        if (!display) return;
        al_set_new_bitmap_flags(ALLEGRO_VIDEO_BITMAP);
        target = al_create_bitmap(800, 600);
        palette.variantCount = 2;
        palette.colourCount = 4;
        palette.variants = {
            {al_map_rgb(200, 0, 0), al_map_rgb(0, 200, 0), al_map_rgb(0, 0, 200), al_map_rgb(90, 90, 90)},
            {al_map_rgb(250, 200, 0), al_map_rgb(0, 80, 200), al_map_rgb(120, 0, 120), al_map_rgb(9, 9, 9)}};
        mapped = new BitmapWrapper(64, 64, &openGL);
        plain = new BitmapWrapper(64, 64, &openGL);
        for (BitmapWrapper* sprite : {mapped, plain}) {
            sprite->ClearToTransparent();
            sprite->SetAsTarget();
            for (int x = 0; x < 64; ++x)
                for (int y = 0; y < 64; ++y)
                    if ((x - 32) * (x - 32) + (y - 32) * (y - 32) < 900)
                        al_put_pixel(x, y, palette.variants[0][(x / 8 + y / 8) % 4]);
        }
        mapped->BuildPaletteIndexMap(&palette, &selector);
    }
};

Scene& GetScene() {
    static Scene scene;
    return scene;
}

double DrawBatch(BitmapWrapper* sprite) {
    Scene& s = GetScene();
    auto t0 = std::chrono::steady_clock::now();
    al_set_target_bitmap(s.target);
    for (int i = 0; i < 100; ++i) sprite->Draw((i * 37) % 700, (i * 53) % 500, 0);
    benchmark::DoNotOptimize(al_get_pixel(s.target, 1, 1));  // waits for the drawing
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

void BM_PaletteDraw(benchmark::State& state) {
    Scene& s = GetScene();
    if (!s.display) {
        state.SkipWithError("no display: run under Xvfb");
        return;
    }
    double mappedTime = 0, plainTime = 0;
    for (auto _ : state) {
        mappedTime += DrawBatch(s.mapped);
        plainTime += DrawBatch(s.plain);
    }
    const double n = static_cast<double>(state.iterations()) * 100;
    state.counters["palette_us"] = mappedTime / n * 1e6;
    state.counters["plain_us"] = plainTime / n * 1e6;
    state.counters["ratio"] = plainTime > 0 ? mappedTime / plainTime : 0;
}
BENCHMARK(BM_PaletteDraw)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
