#pragma once
// Reader of image archives (".sif"): many named RGBA images and palettes
// behind a table of names and data offsets. One archive is open at a time;
// images and palettes taken out of it are independent of it.
//
// Compressed archives are inflated once into a cache copy in the folder of
// the named path "Decompress", and every later open reads that copy.
// Uncompressed archives are read directly.
#include <lua5.1/lua.hpp>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

class BitmapWrapper;
struct Palette;

// One entry of an archive's table, in file order.
struct ArchiveEntry {
    uint32_t dataOffset;
    std::string name;
};

class ExternalImageManager {
public:
    // The phase accumulators of the load timers.
    enum Timer { ReadTime = 0, ProcessTime, WriteTime, SearchTime, CleanTime, TimerCount };

    // Sizes of the ignored headers in front of the entry count.
    static constexpr uint32_t kCompressedHeaderSize = 17;
    static constexpr uint32_t kUncompressedHeaderSize = 19;

    // No archive open, all times 0. Registers the EIM_ script functions on
    // the script host's state when the script host exists.
    ExternalImageManager();
    ~ExternalImageManager();
    ExternalImageManager(const ExternalImageManager&) = delete;
    ExternalImageManager& operator=(const ExternalImageManager&) = delete;

    // Opens a compressed archive through its cache copy, inflating it first
    // when there is no cache copy yet. Any open archive is closed first.
    // A missing archive gives false silently; a damaged one false with a
    // line (and no cache copy is kept of one that does not inflate and read).
    bool OpenFile(const std::string& path);
    // Opens an uncompressed archive. Any open archive is closed first.
    bool OpenFileUncompressed(const std::string& path);
    void CloseFile();
    bool IsOpen() const { return archive_ != nullptr; }

    // While deferred, a fresh inflate keeps its bytes in memory and its
    // cache copy is written later by WritePendingCacheCopies (opening the
    // same archive again meanwhile reuses those bytes), so that start-up
    // does not wait on the disk. Off by default.
    void DeferCacheCopies(bool defer) { deferCopies_ = defer; }
    // Writes every cache copy still held back, with the usual line for one
    // that cannot be created, and stops deferring. Returns how many were
    // written.
    int WritePendingCacheCopies();
    size_t PendingCacheCopyCount() const { return pending_.size(); }

    // A new bitmap owned by the caller, or null with a warning.
    BitmapWrapper* GetBitmapFromActiveFile(const std::string& name);
    // The same, found by data offset (then read by the first entry of that
    // entry's name).
    BitmapWrapper* GetBitmapFromActiveFileL(uint32_t dataOffset);
    // A new palette owned by the caller, or null (silently when no archive
    // is open).
    Palette* GetPaletteFromActiveFile(const std::string& name);

    int32_t GetEntryCount() const { return static_cast<int32_t>(entries_.size()); }
    const std::vector<ArchiveEntry>& GetEntryTable() const { return entries_; }

    void StartTimer();
    void StopTimer(Timer which);
    double GetTime(Timer which) const { return times_[which]; }
    // "Read   : %f" ... "Clean  : %f", one line each; nothing for a null stream.
    void PrintTimes(FILE* stream) const;

    // The part of the path after its last slash or backslash.
    static std::string BaseName(const std::string& path);
    // Where the cache copy of a compressed archive lives: the "Decompress"
    // path followed by the base name (the base name alone without a path
    // manager).
    static std::string CachePath(const std::string& archivePath);

    // EIM_OpenFile, EIM_OpenFileUncompressed, EIM_CloseFile.
    static void RegisterLuaFunctions(lua_State* L);

private:
    // The bytes of the open archive: a read-only mapping of the file or its
    // cache copy, or the block a fresh inflate wrote into.
    class Bytes;

    // Reads and checks the whole entry table of a loaded archive; false with
    // a line (and `out` untouched) when anything does not fit.
    bool ReadTable(const Bytes& bytes, uint32_t headerSize, const std::string& path, const char* who,
                   std::vector<ArchiveEntry>& out);
    const ArchiveEntry* FindByName(const std::string& name);
    // Copies the pixels of an image record into a new bitmap, or null with
    // a line when the record does not fit the archive.
    BitmapWrapper* ReadImage(const ArchiveEntry& entry);
    // An image record's header, read and checked against the archive's
    // size: null when it fits, else what is wrong with it.
    struct ImageRecord;
    static const char* ReadImageRecord(const uint8_t* data, uint64_t size, uint64_t at, ImageRecord& out);
    // The phases of ReadImage: the line for a record that does not fit
    // (null); a bitmap made from the archive's bytes when it is first drawn
    // (null when this one must be made now); a bitmap made now and filled
    // row by row.
    BitmapWrapper* RefuseImage(const ArchiveEntry& entry, const char* why);
    BitmapWrapper* MakePendingImage(const ImageRecord& record);
    BitmapWrapper* CopyImage(const ArchiveEntry& entry, const ImageRecord& record);

    // Writes one cache copy whole (WriteFileWhole); false, with a "cannot
    // create" line that says why and nothing left behind, when it cannot.
    static bool WriteCacheCopy(const std::string& cachePath, const std::string& normalized, const Bytes& bytes);

    struct PendingCopy {
        std::string cachePath;   // as given, for messages
        std::string normalized;  // where it is written
        std::shared_ptr<Bytes> bytes;
    };

    std::shared_ptr<Bytes> archive_;
    bool deferCopies_ = false;
    std::vector<PendingCopy> pending_;
    std::chrono::steady_clock::time_point start_{};
    std::chrono::steady_clock::time_point stop_{};
    double times_[TimerCount] = {0, 0, 0, 0, 0};
    std::vector<ArchiveEntry> entries_;
};
