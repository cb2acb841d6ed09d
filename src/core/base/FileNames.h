#pragma once
// File names from scripts and data files, and files written whole. Scripts
// and data files may write folders with backslashes; the engine opens every
// name they give through these helpers, which turn them into slashes so the
// same names open on every platform.
#include <cstdio>
#include <functional>
#include <string>

// The name with every backslash replaced by a slash.
std::string NormalizePath(const std::string& name);

// fopen of the normalised name; null when the file cannot be opened.
FILE* OpenFile(const std::string& name, const char* mode);

// Reads a whole file (binary) into out. False, with out left empty, when the
// file cannot be opened or read.
bool ReadFileContents(const std::string& name, std::string& out);

// Writes a file whole or not at all (saves, cache copies): `write` fills a
// temporary file beside it ("<file>.<tag><suffix>", claimed while it is
// written, see ClaimedFile), whose bytes reach the disk before it is renamed
// over the (normalised) path, and the rename too. First, the temporaries
// that games which stopped mid-write left beside it are removed. False when
// anything fails, with the old file as it was, no temporary left and
// `error`, when given, the errno of what failed.
bool WriteFileWhole(const std::string& path, const std::string& suffix, const std::function<bool(FILE*)>& write,
                    int* error = nullptr);
