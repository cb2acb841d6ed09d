#pragma once
// The names of every script function the engine registers, family by
// family. A test builds the engine's state and checks that exactly these C
// functions are among its globals.
#include <string>
#include <vector>

const std::vector<std::string>& AllScriptFunctionNames();
