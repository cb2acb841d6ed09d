// Chunked levels (".plf") under damage. The first byte chooses the kind of
// input: the level file as it stands (a damaged stream), or the inflated
// working file, which is compressed here first. For the latter the next two
// bytes give zero bytes to append in 4 KiB steps (at most 2 MiB), so that
// whole chunk records (448 KiB each) can follow a fuzzed header.
//
// The level is opened as the map manager opens it, its chunks streamed
// around a few centres, collision asked at the edges of chunks and grid, and
// both drawing passes run onto a memory bitmap. A refused level leaves no
// working file behind; closing removes it.
#include <allegro5/allegro.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>

#include "core/media/BitmapWrapper.h"
#include "maps/Chunk.h"
#include "maps/ChunkStreamer.h"
#include "support/FuzzSupport.h"
#include "support/StartsAllegro.h"
#include "world/Camera.h"

using fuzzsupport::Check;

namespace {

constexpr const char* kLevel = "in/Fuzz.plf";
constexpr size_t kMaxPadding = size_t{2} << 20;

// Whether a working file of a level is in the work folder.
bool AnyWorkingFile() {
    std::error_code error;
    for (std::filesystem::directory_iterator it(".", error), end; !error && it != end; it.increment(error))
        if (ChunkStreamer::IsWorkingFileName(it->path().filename().string())) return true;
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzsupport::EnterWorkFolder();
    fuzzsupport::InputReader input(data, size);
    const bool compressed = input.Byte() & 1;
    const size_t padding = compressed ? std::min<size_t>(size_t{input.U16()} * 4096, kMaxPadding) : 0;
    fuzzsupport::WriteWholeFile(kLevel, fuzzsupport::Payload(input, compressed, padding));

    ChunkStreamer streamer;
    if (streamer.Open(kLevel) != 0) {
        Check(!streamer.IsOpen() && streamer.GetCountX() == 0 && streamer.GetCountY() == 0, "a refused level is open");
        Check(!AnyWorkingFile(), "a refused level left a working file");
        return 0;
    }
    Check(streamer.GetCountX() == 0 || streamer.GetCountY() == 0 || streamer.GetChunkSize() >= Chunk::kRecordBytes,
          "an accepted level has short chunk records");

    auto clampToInt = [](int64_t v) { return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); };
    const int32_t spanX = clampToInt(int64_t{streamer.GetCountX()} * Chunk::kSize);
    const int32_t spanY = clampToInt(int64_t{streamer.GetCountY()} * Chunk::kSize);
    const int32_t centres[][2] = {{0, 0}, {streamer.GetCountX() - 1, streamer.GetCountY() - 1}, {-3, 1 << 20}};
    BitmapWrapper target(160, 120, nullptr);
    Camera camera(0, 0, 160, 120);
    for (const auto& centre : centres) {
        streamer.SetCentre(centre[0], centre[1]);
        streamer.LoadPass();
        const int32_t xs[] = {-1, 0, 255, 256, clampToInt(int64_t{spanX} - 1), spanX, INT32_MIN, INT32_MAX};
        const int32_t ys[] = {-1, 0, 257, clampToInt(int64_t{spanY} - 1), spanY, INT32_MAX};
        for (int32_t x : xs)
            for (int32_t y : ys) {
                streamer.IsBlocked(x, y);
                streamer.GetChunkAt(x, y);
            }
        target.SetAsTarget();
        streamer.DrawBackground(&camera);
        streamer.DrawForeground(&camera);
    }
    // A chunk read twice, and positions outside the grid.
    Chunk spare;
    streamer.LoadChunk(&spare, 0, 0);
    Check(streamer.LoadChunk(&spare, streamer.GetCountX(), 0) == -1 && streamer.LoadChunk(&spare, -1, 0) == -1,
          "a chunk outside the grid was read");
    Check(fuzzsupport::FileExists(streamer.GetWorkingFileName()), "an open level has no working file");
    streamer.Close();
    Check(!AnyWorkingFile(), "closing the level left its working file");
    return 0;
}
