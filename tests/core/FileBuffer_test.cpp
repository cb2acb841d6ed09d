#include "core/FileBuffer.h"

#include <gtest/gtest.h>

#include <cstring>

#include "support/TempDir.h"

TEST(FileBuffer, MissingFileStaysUnloaded) {
    testsupport::TempDir dir;
    FileBuffer file;
    EXPECT_FALSE(file.Load("nothing.bin"));
    EXPECT_FALSE(file.IsLoaded());
    EXPECT_EQ(file.GetSize(), 0u);
    EXPECT_FALSE(file.Load(static_cast<const char*>(nullptr)));
    // A directory opens with fopen on Linux but has no readable content.
    EXPECT_FALSE(file.Load(dir.Path().c_str()));
    EXPECT_FALSE(file.IsLoaded());
    uint8_t byte = 0;
    EXPECT_FALSE(file.Read(&byte, 1, 1));
}

TEST(FileBuffer, LoadsWholeFileAndReadsSequentially) {
    testsupport::TempDir dir;
    dir.WriteFile("sub/data.bin", std::string("ABCDEFG\0H", 9));
    FileBuffer file;
    ASSERT_TRUE(file.Load("sub\\data.bin"));  // backslashes name folders too
    EXPECT_TRUE(file.IsLoaded());
    ASSERT_EQ(file.GetSize(), 9u);
    EXPECT_EQ(file.GetData()[8], 'H');

    char out[8] = {};
    ASSERT_TRUE(file.Read(out, 2, 2));
    EXPECT_EQ(std::string(out, 4), "ABCD");
    EXPECT_EQ(file.GetPosition(), 4u);
    EXPECT_EQ(file.GetRemaining(), 5u);

    // More than remains: nothing copied, position unchanged.
    std::memset(out, '-', sizeof out);
    EXPECT_FALSE(file.Read(out, 3, 2));
    EXPECT_EQ(out[0], '-');
    EXPECT_EQ(file.GetPosition(), 4u);
    // A size * count that wraps in 32 bits is refused too.
    EXPECT_FALSE(file.Read(out, 0x10000u, 0x10000u));
    EXPECT_FALSE(file.Read(nullptr, 1, 1));
    EXPECT_EQ(file.GetPosition(), 4u);

    ASSERT_TRUE(file.Read(out, 1, 5));
    EXPECT_EQ(std::string(out, 5), std::string("EFG\0H", 5));
    EXPECT_EQ(file.GetRemaining(), 0u);
    EXPECT_FALSE(file.Read(out, 1, 1));

    file.SetPosition(100);  // past the end: nothing left to read
    EXPECT_FALSE(file.Read(out, 1, 1));
}

TEST(FileBuffer, EmptyFileLoadsWithNothingToRead) {
    testsupport::TempDir dir;
    dir.WriteFile("empty.bin", "");
    dir.WriteFile("one.bin", "Z");
    FileBuffer file;
    ASSERT_TRUE(file.Load("one.bin"));
    ASSERT_TRUE(file.Load("empty.bin"));  // replaces the earlier content
    EXPECT_EQ(file.GetSize(), 0u);
    EXPECT_EQ(file.GetPosition(), 0u);
    uint8_t byte = 7;
    EXPECT_TRUE(file.Read(&byte, 1, 0));
    EXPECT_FALSE(file.Read(&byte, 1, 1));
    EXPECT_EQ(byte, 7);
    // A failed load afterwards drops what was loaded.
    ASSERT_TRUE(file.Load("one.bin"));
    EXPECT_FALSE(file.Load("gone.bin"));
    EXPECT_FALSE(file.IsLoaded());
    EXPECT_EQ(file.GetSize(), 0u);
}
