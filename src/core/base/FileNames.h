#pragma once
// The one place where the engine opens files by name. Scripts and data
// files may write folders with backslashes; they are turned into slashes
// here so the same names open on every platform.
#include <cstdio>
#include <string>

// The name with every backslash replaced by a slash.
std::string NormalizePath(const std::string& name);

// fopen of the normalised name; null when the file cannot be opened.
FILE* OpenFile(const std::string& name, const char* mode);

// Reads a whole file (binary) into out. False, with out left empty, when the
// file cannot be opened or read.
bool ReadFileContents(const std::string& name, std::string& out);

// Each running game writes its files under names of its own, with its
// process id in them ("<prefix><pid>.<...><suffix>", the id up to the next
// dot). A game that stopped mid-write leaves one; this removes those in the
// folder whose process no longer runs (this process's own too when
// `ownToo`), and returns how many went. A process of another user counts as
// running.
int RemoveFilesOfEndedProcesses(const std::string& folder, const std::string& prefix, const std::string& suffix,
                                bool ownToo = false);
// "<path>.<this process's id><suffix>": a temporary name beside the file
// that no other running game writes. The ones that games which ended while
// writing the file left beside it are removed first.
std::string OwnTemporaryName(const std::string& path, const std::string& suffix);
