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
