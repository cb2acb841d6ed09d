#include "core/base/FileBuffer.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>

#include "support/StderrCapture.h"
#include "support/TempDir.h"

TEST(FileBuffer, MissingFoldersAndPipesStayUnloaded) {
    testsupport::TempDir dir;
    dir.WriteFile("one.bin", "Z");
    FileBuffer file;
    ASSERT_TRUE(file.Load("one.bin"));
    EXPECT_FALSE(file.Load("nothing.bin"));  // a failed load drops what was loaded
    EXPECT_FALSE(file.IsLoaded());
    EXPECT_EQ(file.GetSize(), 0u);
    EXPECT_FALSE(file.Load(static_cast<const char*>(nullptr)));
    uint8_t byte = 0;
    EXPECT_FALSE(file.Read(&byte, 1, 1));

    // A folder and a named pipe are refused at once, with a line; the pipe
    // must not block waiting for a writer.
    ASSERT_EQ(mkfifo("pipe\x1b[2J", 0600), 0);
    testsupport::StderrCapture capture;
    EXPECT_FALSE(file.Load(dir.Path().c_str()));
    EXPECT_FALSE(file.Load("pipe\x1b[2J"));
    EXPECT_EQ(capture.Take(), "FileBuffer: cannot load " + dir.Path() + " (not a regular file)\n" +
                                  "FileBuffer: cannot load pipe\\x1b[2J (not a regular file)\n");
    EXPECT_FALSE(file.IsLoaded());
}

TEST(FileBuffer, ReadsSequentiallyAndNeverPastTheData) {
    testsupport::TempDir dir;
    dir.WriteFile("sub/data.bin", std::string("ABCDEFG\0H", 9));
    dir.WriteFile("empty.bin", "");
    FileBuffer file;
    ASSERT_TRUE(file.Load("sub\\data.bin"));  // backslashes name folders too
    ASSERT_EQ(file.GetSize(), 9u);
    EXPECT_EQ(file.GetData()[8], 'H');

    char out[8] = {};
    ASSERT_TRUE(file.Read(out, 2, 2));
    EXPECT_EQ(std::string(out, 4), "ABCD");
    EXPECT_EQ(file.GetRemaining(), 5u);

    // More than remains: nothing copied, position unchanged.
    std::memset(out, '-', sizeof out);
    EXPECT_FALSE(file.Read(out, 3, 2));
    EXPECT_EQ(out[0], '-');
    // A size * count that wraps in 32 bits is refused too.
    EXPECT_FALSE(file.Read(out, 0x10000u, 0x10000u));
    EXPECT_FALSE(file.Read(nullptr, 1, 1));
    EXPECT_EQ(file.GetPosition(), 4u);

    ASSERT_TRUE(file.Read(out, 1, 5));
    EXPECT_EQ(std::string(out, 5), std::string("EFG\0H", 5));
    EXPECT_FALSE(file.Read(out, 1, 1));
    file.SetPosition(100);  // past the end: nothing left to read
    EXPECT_FALSE(file.Read(out, 1, 1));

    ASSERT_TRUE(file.Load("empty.bin"));  // replaces the earlier content
    EXPECT_EQ(file.GetSize(), 0u);
    EXPECT_EQ(file.GetPosition(), 0u);
    EXPECT_TRUE(file.Read(out, 1, 0));
    EXPECT_FALSE(file.Read(out, 1, 1));
}
