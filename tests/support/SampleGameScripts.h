#pragma once
// A script host that has run the sample game's start-up as far as its
// pictures: the image archive functions registered, the game folder in the
// source tree as the scripts' base, then "Paths.lua" and the loading
// routine run, so that the pictures of the archives in the working folder
// are filed in the data library. What that start-up printed is kept (fonts
// and sounds are not there, so it complains about them).
//
//   testsupport::SampleGameScripts::CopyFromGame({"Data/StandardTextures.sif"});
//   testsupport::SampleGameScripts lua;
#include <initializer_list>
#include <string>

#include "support/LuaTestState.h"

namespace testsupport {

class SampleGameScripts : public LuaTestState {
public:
    // The sample game's folder in the source tree, ending in a slash.
    static std::string GameFolder();
    // Copies those files of the sample game (paths below its folder) to the
    // same paths below the working folder.
    static void CopyFromGame(std::initializer_list<const char*> paths);

    SampleGameScripts();

    const std::string& StartUpOutput() const { return m_printed; }

private:
    std::string m_printed;
};

}  // namespace testsupport
