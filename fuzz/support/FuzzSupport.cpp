#include "support/FuzzSupport.h"

#include <allegro5/allegro.h>
#include <allegro5/allegro_image.h>
#include <unistd.h>
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace fuzzsupport {

namespace {

std::string g_workFolder;

void RemoveWorkFolder() {
    std::error_code ec;
    std::filesystem::current_path("/", ec);
    if (!g_workFolder.empty()) std::filesystem::remove_all(g_workFolder, ec);
}

}  // namespace

void EnterWorkFolder() {
    if (!g_workFolder.empty()) return;
    char name[] = "/tmp/qel-fuzz-XXXXXX";
    if (!mkdtemp(name)) Broken("cannot make a work folder");
    g_workFolder = name;
    std::filesystem::current_path(g_workFolder);
    std::atexit(RemoveWorkFolder);
}

void StartAllegro() {
    static bool started = false;
    if (started) return;
    started = true;
    if (!al_init()) Broken("Allegro does not start");
    al_init_image_addon();
    al_set_new_bitmap_flags(ALLEGRO_MEMORY_BITMAP);
}

std::string Compress(const uint8_t* data, size_t size) {
    uLongf bound = compressBound(static_cast<uLong>(size));
    std::string out(bound, '\0');
    if (compress2(reinterpret_cast<Bytef*>(out.data()), &bound, data, static_cast<uLong>(size), 1) != Z_OK)
        Broken("zlib cannot compress");
    out.resize(bound);
    return out;
}

void WriteWholeFile(const std::string& path, const uint8_t* data, size_t size) {
    std::filesystem::path full(path);
    if (full.has_parent_path()) std::filesystem::create_directories(full.parent_path());
    std::ofstream out(full, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    if (!out) Broken("cannot write an input file");
}

std::string Payload(const InputReader& input, bool compressed, size_t zeroPadding) {
    std::string bytes(reinterpret_cast<const char*>(input.Rest()), input.RestSize());
    bytes.resize(bytes.size() + zeroPadding, '\0');
    if (!compressed) return bytes;
    return Compress(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

bool FileExists(const std::string& path) {
    std::error_code ec;
    return std::filesystem::exists(path, ec);
}

void RemoveFile(const std::string& path) { std::remove(path.c_str()); }

void Broken(const char* what) {
    std::fprintf(stderr, "FUZZ PROMISE BROKEN: %s\n", what);
    std::fflush(stderr);
    std::abort();
}

uint8_t InputReader::Byte() { return m_at < m_size ? m_data[m_at++] : 0; }

uint16_t InputReader::U16() {
    uint16_t low = Byte();
    return static_cast<uint16_t>(low | (Byte() << 8));
}

}  // namespace fuzzsupport
