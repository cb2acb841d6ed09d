#pragma once
// A working or temporary file that a game claims while it uses it: the game
// holds the file open with an advisory lock (flock) on it, and the lock goes
// when the game lets the file go or ends, however it ends. Games sharing a
// folder, in one process namespace or several, tell a file in use from one
// left behind by that lock alone: a leftover is a file of such a name whose
// lock can be taken. No process ids are involved.
//
// Such files are named "<prefix><tag><suffix>", the tag six letters or
// digits chosen at random when the file is made.
#include <cstdio>
#include <string>

class ClaimedFile {
public:
    ClaimedFile() = default;
    // Removes the file if it is still claimed (Remove).
    ~ClaimedFile();
    ClaimedFile(const ClaimedFile&) = delete;
    ClaimedFile& operator=(const ClaimedFile&) = delete;

    // Makes a new empty file "<prefix><tag><suffix>" in the folder (the
    // current one when empty) and claims it; a file claimed before is
    // removed first. False, with Error() telling why, when none can be made.
    bool Create(const std::string& folder, const std::string& prefix, const std::string& suffix);
    // The file's path while it is claimed, else empty.
    const std::string& GetName() const { return m_name; }
    // The errno of the last failure.
    int Error() const { return m_error; }
    // A stdio stream on the file ("wb", "rb" ...) that shares the claim's
    // position; closing it keeps the claim. Null (Error() set) on failure.
    FILE* OpenStream(const char* mode);
    // Renames the file over `path` and lets it go: it is no working file
    // any more. False (Error() set), the file still claimed, on failure.
    bool RenameTo(const std::string& path);
    // Removes the file and lets it go.
    void Remove();

    // Whether a file name (no folder) has the form of a claimed file's.
    static bool IsClaimedName(const std::string& fileName, const std::string& prefix, const std::string& suffix);
    // Removes the files of that form in the folder (the current one when
    // empty) that no game claims, and returns how many went.
    static int RemoveUnclaimed(const std::string& folder, const std::string& prefix, const std::string& suffix);

private:
    static constexpr size_t kTagLength = 6;
    int m_fd = -1;
    int m_error = 0;
    std::string m_name;
};
