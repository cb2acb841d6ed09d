#include "core/media/ExternalImageManager.h"

#include <allegro5/allegro.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "core/base/FileNames.h"
#include "core/base/GlobalState.h"
#include "core/base/TextUtils.h"
#include "core/media/BitmapWrapper.h"
#include "core/media/Palette.h"
#include "core/media/ZLibStream.h"
#include "core/script/LuaManager.h"
#include "core/script/PathManager.h"

namespace {

// Little-endian u32 at `at`; the caller has checked that four bytes remain.
uint32_t ReadU32(const uint8_t* data, uint64_t at) {
    return static_cast<uint32_t>(data[at]) | (static_cast<uint32_t>(data[at + 1]) << 8) |
           (static_cast<uint32_t>(data[at + 2]) << 16) | (static_cast<uint32_t>(data[at + 3]) << 24);
}

// The smallest record at a data offset: a palette's two counts.
constexpr uint64_t kSmallestRecord = 8;

// Data offsets are 32-bit, so no archive is larger than this.
constexpr uint64_t kLargestArchive = UINT32_MAX;

}  // namespace

// The bytes of a file live in a read-only mapping of it: its pages come
// straight from the page cache, nothing is cleared or copied, and opening
// an archive again costs only its table. A cache copy is replaced by
// renaming a new file over it, never rewritten in place, so a mapping of it
// stays whole. A fresh inflate writes into a heap block that grows by
// reallocation, which extends or remaps it rather than copying. Images
// taken out before they are first drawn share the bytes until then.
class ExternalImageManager::Bytes {
public:
    enum class Mapped { Yes, Missing, Unreadable };

    Bytes() = default;
    ~Bytes() { Release(); }
    Bytes(const Bytes&) = delete;
    Bytes& operator=(const Bytes&) = delete;

    const uint8_t* Data() const { return size_ > 0 ? base_ : nullptr; }
    uint64_t Size() const { return size_; }

    // Maps a whole regular file. Missing when it cannot be opened;
    // Unreadable when it is no regular file, too large or cannot be mapped.
    Mapped MapFile(const std::string& path) {
        Release();
        // Non-blocking, so that a pipe by that name does not wait for a
        // writer; it is then refused as no regular file.
        int fd = ::open(NormalizePath(path).c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
        if (fd < 0) return Mapped::Missing;
        struct stat info;
        Mapped result = Mapped::Yes;
        if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size < 0 ||
            static_cast<uint64_t>(info.st_size) > kLargestArchive) {
            result = Mapped::Unreadable;
        } else if (info.st_size > 0) {
            const size_t length = static_cast<size_t>(info.st_size);
            void* mapping = ::mmap(nullptr, length, PROT_READ, MAP_PRIVATE, fd, 0);
            if (mapping == MAP_FAILED) {
                result = Mapped::Unreadable;
            } else {
                base_ = static_cast<uint8_t*>(mapping);
                mapped_ = length;
                size_ = length;
            }
        }
        ::close(fd);
        return result;
    }

    // Inflates a whole zlib stream held in memory. Z_OK, or the zlib error
    // (a stream that ends early is Z_DATA_ERROR, one that inflates past the
    // largest archive Z_MEM_ERROR) with nothing kept.
    int Inflate(const uint8_t* packed, uint64_t packedSize) {
        Release();
        ZLibStream inflater;
        if (!inflater.IsReady()) return Z_MEM_ERROR;
        z_stream& stream = inflater.Stream();
        uint64_t capacity = std::clamp<uint64_t>(packedSize * 16, uint64_t{1} << 20, kLargestArchive);
        auto* block = static_cast<uint8_t*>(std::malloc(static_cast<size_t>(capacity)));
        if (!block) return Z_MEM_ERROR;
        stream.next_in = const_cast<Bytef*>(packed);
        uint64_t remaining = packedSize, produced = 0;
        int result = Z_OK;
        for (;;) {
            if (produced == capacity) {
                uint64_t larger = std::min<uint64_t>(capacity * 2, kLargestArchive);
                auto* grown = larger > capacity
                                  ? static_cast<uint8_t*>(std::realloc(block, static_cast<size_t>(larger)))
                                  : nullptr;
                if (!grown) {
                    result = Z_MEM_ERROR;
                    break;
                }
                block = grown;
                capacity = larger;
            }
            const uInt inChunk = static_cast<uInt>(std::min<uint64_t>(remaining, 1u << 30));
            const uInt outChunk = static_cast<uInt>(std::min<uint64_t>(capacity - produced, 1u << 30));
            stream.avail_in = inChunk;
            stream.next_out = block + produced;
            stream.avail_out = outChunk;
            result = inflater.Inflate();
            remaining -= inChunk - stream.avail_in;
            produced += outChunk - stream.avail_out;
            if (result == Z_OK) continue;
            // No progress with room left: the input ran out before the end.
            if (result == Z_BUF_ERROR) result = Z_DATA_ERROR;
            break;
        }
        if (result != Z_STREAM_END) {
            std::free(block);
            return result;
        }
        heap_ = true;
        base_ = block;
        size_ = produced;
        return Z_OK;
    }

private:
    void Release() {
        if (heap_)
            std::free(base_);
        else if (base_)
            ::munmap(base_, mapped_);
        base_ = nullptr;
        heap_ = false;
        mapped_ = 0;
        size_ = 0;
    }

    bool heap_ = false;
    uint8_t* base_ = nullptr;
    size_t mapped_ = 0;
    uint64_t size_ = 0;
};

ExternalImageManager::ExternalImageManager() {
    LuaManager* lua = GetGlobalState()->luaManager;
    if (lua && lua->GetLuaState()) RegisterLuaFunctions(lua->GetLuaState());
}

ExternalImageManager::~ExternalImageManager() = default;

std::string ExternalImageManager::BaseName(const std::string& path) {
    size_t separator = path.find_last_of("/\\");
    return separator == std::string::npos ? path : path.substr(separator + 1);
}

std::string ExternalImageManager::CachePath(const std::string& archivePath) {
    std::string base = BaseName(archivePath);
    PathManager* paths = GetGlobalState()->pathManager;
    return paths ? paths->BuildPath("Decompress", base) : base;
}

bool ExternalImageManager::OpenFile(const std::string& path) {
    CloseFile();
    StartTimer();
    std::string cachePath = CachePath(path);
    std::string normalized = NormalizePath(cachePath);

    // A copy inflated earlier whose writing is still held back serves as
    // the cache copy would.
    for (const PendingCopy& copy : pending_) {
        if (copy.normalized != normalized) continue;
        std::vector<ArchiveEntry> entries;
        StopTimer(ReadTime);
        StartTimer();
        // Its table was read whole when it was inflated.
        ReadTable(*copy.bytes, kCompressedHeaderSize, path, "OpenFile", entries);
        StopTimer(ProcessTime);
        archive_ = copy.bytes;
        entries_ = std::move(entries);
        return true;
    }

    // An existing cache copy is used as it stands.
    auto bytes = std::make_shared<Bytes>();
    bool fresh = false;  // inflated now: the cache copy is written once it proves good
    Bytes::Mapped cache = bytes->MapFile(cachePath);
    if (cache != Bytes::Mapped::Missing) {
        StopTimer(ReadTime);
        if (cache == Bytes::Mapped::Unreadable) {
            std::fprintf(stderr, "ExternalImageManager::OpenFile - Warning, cannot read %s\n",
                         PrintableText(cachePath.c_str()).c_str());
            return false;
        }
    } else {
        // The archive is inflated in memory; the copy on disk is only
        // written for later opens.
        Bytes packed;
        Bytes::Mapped archive = packed.MapFile(path);
        if (archive == Bytes::Mapped::Missing) {
            StopTimer(ProcessTime);
            return false;
        }
        if (archive == Bytes::Mapped::Unreadable) {
            std::fprintf(stderr, "ExternalImageManager::OpenFile - Warning, cannot read %s\n",
                         PrintableText(path.c_str()).c_str());
            StopTimer(ProcessTime);
            return false;
        }
        int result = bytes->Inflate(packed.Data(), packed.Size());
        if (result != Z_OK) {
            std::fprintf(stderr, "ExternalImageManager::OpenFile - Warning, %s is damaged (inflate error %i)\n",
                         PrintableText(path.c_str()).c_str(), result);
            StopTimer(ProcessTime);
            return false;
        }
        fresh = true;
        StopTimer(ProcessTime);
    }

    StartTimer();
    std::vector<ArchiveEntry> entries;
    bool valid = ReadTable(*bytes, kCompressedHeaderSize, path, "OpenFile", entries);
    StopTimer(ProcessTime);
    if (!valid) return false;
    if (fresh && deferCopies_) {
        pending_.push_back(PendingCopy{cachePath, normalized, bytes});
    } else if (fresh) {
        StartTimer();
        bool written = WriteCacheCopy(cachePath, normalized, *bytes);
        StopTimer(WriteTime);
        if (!written) return false;
    }
    archive_ = std::move(bytes);
    entries_ = std::move(entries);
    return true;
}

bool ExternalImageManager::WriteCacheCopy(const std::string& cachePath, const std::string& normalized,
                                          const Bytes& bytes) {
    std::filesystem::path folder = std::filesystem::path(normalized).parent_path();
    std::error_code ignored;
    if (!folder.empty() && !std::filesystem::is_directory(folder, ignored))
        std::filesystem::create_directories(folder, ignored);
    int error = 0;
    if (WriteFileWhole(
            normalized, ".part",
            [&bytes](FILE* file) {
                return bytes.Size() == 0 ||
                       std::fwrite(bytes.Data(), 1, static_cast<size_t>(bytes.Size()), file) == bytes.Size();
            },
            &error))
        return true;
    std::fprintf(stderr, "ExternalImageManager::OpenFile - Warning, cannot create %s (%s)\n",
                 PrintableText(cachePath.c_str()).c_str(), std::strerror(error));
    return false;
}

int ExternalImageManager::WritePendingCacheCopies() {
    deferCopies_ = false;
    int written = 0;
    std::vector<PendingCopy> pending = std::move(pending_);
    pending_.clear();
    for (const PendingCopy& copy : pending) {
        StartTimer();
        if (WriteCacheCopy(copy.cachePath, copy.normalized, *copy.bytes)) ++written;
        StopTimer(WriteTime);
    }
    return written;
}

bool ExternalImageManager::OpenFileUncompressed(const std::string& path) {
    CloseFile();
    StartTimer();
    auto bytes = std::make_shared<Bytes>();
    Bytes::Mapped mapped = bytes->MapFile(path);
    StopTimer(ReadTime);
    if (mapped == Bytes::Mapped::Missing) return false;
    if (mapped == Bytes::Mapped::Unreadable) {
        std::fprintf(stderr, "ExternalImageManager::OpenFileUncompressed - Warning, cannot read %s\n",
                     PrintableText(path.c_str()).c_str());
        return false;
    }

    StartTimer();
    std::vector<ArchiveEntry> entries;
    bool valid = ReadTable(*bytes, kUncompressedHeaderSize, path, "OpenFileUncompressed", entries);
    StopTimer(ProcessTime);
    if (!valid) return false;
    archive_ = std::move(bytes);
    entries_ = std::move(entries);
    return true;
}

bool ExternalImageManager::ReadTable(const Bytes& bytes, uint32_t headerSize, const std::string& path, const char* who,
                                     std::vector<ArchiveEntry>& out) {
    const uint8_t* data = bytes.Data();
    const uint64_t size = bytes.Size();
    auto refuse = [&](const char* why) {
        std::fprintf(stderr, "ExternalImageManager::%s - Warning, %s is damaged (%s)\n", who,
                     PrintableText(path.c_str()).c_str(), why);
        return false;
    };

    uint64_t at = headerSize;
    if (!data || size < at + 4) return refuse("shorter than its header");
    uint64_t count = ReadU32(data, at);
    at += 4;
    // Every entry takes at least 5 bytes: refuse impossible counts before
    // reserving room for them.
    if (count > (size - at) / 5) return refuse("entry count larger than the file");

    std::vector<ArchiveEntry> entries;
    entries.reserve(static_cast<size_t>(count));
    for (uint64_t i = 0; i < count; ++i) {
        if (at + 1 > size) return refuse("entry table runs past the end");
        uint64_t length = data[at];
        at += 1;
        if (at + length + 4 > size) return refuse("entry table runs past the end");
        // Names end at their first zero byte, as they are compared as C text.
        const char* name = reinterpret_cast<const char*>(data + at);
        size_t nameLength = strnlen(name, static_cast<size_t>(length));
        at += length;
        uint32_t offset = ReadU32(data, at);
        at += 4;
        if (offset + kSmallestRecord > size) return refuse("data offset past the end");
        entries.push_back(ArchiveEntry{offset, std::string(name, nameLength)});
    }

    out = std::move(entries);
    return true;
}

void ExternalImageManager::CloseFile() {
    StartTimer();
    archive_.reset();
    entries_.clear();
    entries_.shrink_to_fit();
    StopTimer(CleanTime);
}

const ArchiveEntry* ExternalImageManager::FindByName(const std::string& name) {
    StartTimer();
    const ArchiveEntry* found = nullptr;
    for (const ArchiveEntry& entry : entries_) {
        if (entry.name == name) {
            found = &entry;
            break;
        }
    }
    StopTimer(SearchTime);
    return found;
}

BitmapWrapper* ExternalImageManager::GetBitmapFromActiveFile(const std::string& name) {
    if (!IsOpen()) {
        std::fprintf(stderr, "ExternalImageManager::GetBitmapFromActiveFile - Warning, no file is open\n");
        return nullptr;
    }
    const ArchiveEntry* entry = FindByName(name);
    if (!entry) {
        std::fprintf(stderr, "ExternalImageManager::GetBitmapFromActiveFile - Warning, %s not found\n",
                     PrintableText(name.c_str()).c_str());
        return nullptr;
    }
    return ReadImage(*entry);
}

// An image record's header: its size, its drawing offset and where its
// pixels begin.
struct ExternalImageManager::ImageRecord {
    uint64_t width = 0;
    uint64_t height = 0;
    int32_t x = 0;
    int32_t y = 0;
    uint64_t pixels = 0;
};

// Reads and checks the record at `at`; null when it fits the archive, else
// what is wrong with it.
const char* ExternalImageManager::ReadImageRecord(const uint8_t* data, uint64_t size, uint64_t at, ImageRecord& out) {
    if (at + 9 > size) return "image record past the end";
    uint64_t width = ReadU32(data, at);
    uint64_t height = ReadU32(data, at + 4);
    uint8_t trimmed = data[at + 8];
    at += 9;
    int32_t x = 0, y = 0;
    if (trimmed == 1) {
        if (at + 16 > size) return "image record past the end";
        x = static_cast<int32_t>(ReadU32(data, at));
        y = static_cast<int32_t>(ReadU32(data, at + 4));
        width = ReadU32(data, at + 8);
        height = ReadU32(data, at + 12);
        at += 16;
    }
    if (width == 0 || height == 0) return "empty image";
    // Both sizes are below 2^32, so width * height fits 64 bits; the bytes
    // (4 per pixel) are compared by division so that nothing wraps.
    if (width * height > (size - at) / 4) return "pixels past the end";
    if (width > INT32_MAX || height > INT32_MAX) return "image too large";
    out = ImageRecord{width, height, x, y, at};
    return nullptr;
}

BitmapWrapper* ExternalImageManager::ReadImage(const ArchiveEntry& entry) {
    StartTimer();
    ImageRecord record;
    if (const char* why = ReadImageRecord(archive_->Data(), archive_->Size(), entry.dataOffset, record))
        return RefuseImage(entry, why);
    if (BitmapWrapper* pending = MakePendingImage(record)) {
        StopTimer(ProcessTime);
        return pending;
    }
    return CopyImage(entry, record);
}

BitmapWrapper* ExternalImageManager::RefuseImage(const ArchiveEntry& entry, const char* why) {
    StopTimer(ProcessTime);
    std::fprintf(stderr, "ExternalImageManager::GetBitmapFromActiveFile - Warning, %s is damaged (%s)\n",
                 PrintableText(entry.name.c_str()).c_str(), why);
    return nullptr;
}

BitmapWrapper* ExternalImageManager::MakePendingImage(const ImageRecord& record) {
    // With a display, the image becomes a texture only when it is first
    // used (the archive's bytes are kept until then); making textures is
    // most of what taking images out costs, and many are not shown soon.
    // Sizes the display cannot hold are made now, so that they fail here.
    ALLEGRO_DISPLAY* display = al_get_current_display();
    if (!display || (al_get_new_bitmap_flags() & ALLEGRO_MEMORY_BITMAP)) return nullptr;
    const int largest = al_get_display_option(display, ALLEGRO_MAX_BITMAP_SIZE);
    if (largest > 0 &&
        (record.width > static_cast<uint64_t>(largest) || record.height > static_cast<uint64_t>(largest)))
        return nullptr;
    // The pixels are read from the archive's bytes, kept for it.
    BitmapWrapper* wrapper =
        BitmapWrapper::CreatePending(static_cast<int>(record.width), static_cast<int>(record.height),
                                     archive_->Data() + record.pixels, archive_, &GetGlobalState()->openGLMode);
    wrapper->SetOffset(record.x, record.y);
    return wrapper;
}

BitmapWrapper* ExternalImageManager::CopyImage(const ArchiveEntry& entry, const ImageRecord& record) {
    // The caller's drawing target is restored afterwards, so that taking an
    // image out while a frame is being drawn does not send the rest of the
    // frame into the new image.
    ALLEGRO_BITMAP* previousTarget = al_get_target_bitmap();
    auto wrapper = std::make_unique<BitmapWrapper>(static_cast<int>(record.width), static_cast<int>(record.height),
                                                   &GetGlobalState()->openGLMode);
    if (!wrapper->GetBitmap()) return RefuseImage(entry, "no bitmap of that size can be made");
    // Every pixel is written below, so the new bitmap is not cleared first.
    wrapper->SetOffset(record.x, record.y);

    // The file holds R, G, B, A per pixel, the very byte order of
    // ABGR_8888_LE, so its rows are copied as they are. Allegro hands a lock
    // in that format to OpenGL as plain RGBA bytes, the texture's own
    // layout, whatever format it reports for the bitmap; other bitmaps are
    // converted on unlock.
    ALLEGRO_BITMAP* bitmap = wrapper->GetBitmap();
    ALLEGRO_LOCKED_REGION* region = al_lock_bitmap(bitmap, ALLEGRO_PIXEL_FORMAT_ABGR_8888_LE, ALLEGRO_LOCK_WRITEONLY);
    StopTimer(ProcessTime);
    if (!region) {
        wrapper.reset();
        al_set_target_bitmap(previousTarget);
        std::fprintf(stderr, "ExternalImageManager::GetBitmapFromActiveFile - Warning, cannot lock %s\n",
                     PrintableText(entry.name.c_str()).c_str());
        return nullptr;
    }

    StartTimer();
    const uint8_t* source = archive_->Data() + record.pixels;
    const size_t rowBytes = static_cast<size_t>(record.width) * 4;
    for (uint64_t row = 0; row < record.height; ++row) {
        std::memcpy(static_cast<uint8_t*>(region->data) + static_cast<ptrdiff_t>(row) * region->pitch,
                    source + row * rowBytes, rowBytes);
    }
    al_unlock_bitmap(bitmap);
    al_set_target_bitmap(previousTarget);
    StopTimer(WriteTime);
    return wrapper.release();
}

BitmapWrapper* ExternalImageManager::GetBitmapFromActiveFileL(uint32_t dataOffset) {
    // With no archive open the table is empty, so the offset is not found.
    StartTimer();
    const ArchiveEntry* found = nullptr;
    for (const ArchiveEntry& entry : entries_) {
        if (entry.dataOffset == dataOffset) {
            found = &entry;
            break;
        }
    }
    StopTimer(SearchTime);
    if (!found) {
        std::fprintf(stderr, "ExternalImageManager::GetBitmapFromActiveFile(L) - Warning, %i not found\n",
                     static_cast<int>(dataOffset));
        return nullptr;
    }
    // Read by name: of two entries with one name the first one is read.
    std::string name = found->name;
    return GetBitmapFromActiveFile(name);
}

Palette* ExternalImageManager::GetPaletteFromActiveFile(const std::string& name) {
    if (!IsOpen()) return nullptr;
    const ArchiveEntry* entry = FindByName(name);
    if (!entry) {
        std::fprintf(stderr, "ExternalImageManager::GetBitmapFromActiveFile - Warning, %s not found\n",
                     PrintableText(name.c_str()).c_str());
        return nullptr;
    }

    StartTimer();
    const uint8_t* data = archive_->Data();
    const uint64_t size = archive_->Size();
    uint64_t at = entry->dataOffset;
    // The table check already made sure the two counts are inside the file.
    uint64_t variants = ReadU32(data, at);
    uint64_t colours = ReadU32(data, at + 4);
    at += 8;
    const char* damage = nullptr;
    if (variants == 0 || colours == 0)
        damage = "empty palette";
    else if (variants * colours > (size - at) / 4)
        damage = "colours past the end";
    if (damage) {
        StopTimer(ProcessTime);
        std::fprintf(stderr, "ExternalImageManager::GetPaletteFromActiveFile - Warning, %s is damaged (%s)\n",
                     PrintableText(name.c_str()).c_str(), damage);
        return nullptr;
    }

    auto* palette = new Palette();
    palette->variantCount = static_cast<uint32_t>(variants);
    palette->colourCount = static_cast<uint32_t>(colours);
    palette->variants.assign(static_cast<size_t>(variants), std::vector<ALLEGRO_COLOR>(static_cast<size_t>(colours)));
    for (auto& variant : palette->variants) {
        for (ALLEGRO_COLOR& colour : variant) {
            // Stored A, B, G, R.
            colour = al_map_rgba(data[at + 3], data[at + 2], data[at + 1], data[at]);
            at += 4;
        }
    }
    StopTimer(ProcessTime);
    return palette;
}

void ExternalImageManager::StartTimer() { start_ = std::chrono::steady_clock::now(); }

void ExternalImageManager::StopTimer(Timer which) {
    stop_ = std::chrono::steady_clock::now();
    if (which >= 0 && which < TimerCount) times_[which] += std::chrono::duration<double>(stop_ - start_).count();
}

void ExternalImageManager::PrintTimes(FILE* stream) const {
    if (!stream) return;
    std::fprintf(stream, "Read   : %f\n", times_[ReadTime]);
    std::fprintf(stream, "Process: %f\n", times_[ProcessTime]);
    std::fprintf(stream, "Write  : %f\n", times_[WriteTime]);
    std::fprintf(stream, "Search : %f\n", times_[SearchTime]);
    std::fprintf(stream, "Clean  : %f\n", times_[CleanTime]);
}
