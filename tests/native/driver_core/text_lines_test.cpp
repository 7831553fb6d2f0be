// Reading the driver's text files line by line.
#include "text/TextLines.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "ScratchFolder.h"

namespace nivra {
namespace {

struct LinesCase {
    const char* name;
    std::string bytes;
    std::vector<std::string> lines;
};

std::vector<std::string> ReadAll(TextLineReader& reader) {
    std::vector<std::string> lines;
    std::string line;
    while (reader.ReadLine(line)) lines.push_back(line);
    return lines;
}

// A Ctrl-Z ends the text as in the C runtime's text mode; the offset counts the bytes before it.
TEST(TextLineReader, ReturnsWholeLinesWithoutTheirLineEndsUpToACtrlZ) {
    test::ScratchFolder folder;
    const std::string longLine(100000, 'x');  // longer than one buffer load
    const LinesCase cases[] = {
        {"lf", "a\nb\n", {"a", "b"}},
        {"crlf", "a\r\nb\r\n", {"a", "b"}},
        {"no final line end", "a\r\nb", {"a", "b"}},
        {"empty lines", "a\n\n\r\nb\n", {"a", "", "", "b"}},
        {"lone cr stays", "a\rb\n", {"a\rb"}},
        {"empty file", "", {}},
        {"only a line end", "\r\n", {""}},
        {"long line", "h\n" + longLine + "\r\nz\n", {"h", longLine, "z"}},
        {"ctrl-z at the end, as old editors leave it", "a\r\nb\r\n\x1a", {"a", "b"}},
        {"ctrl-z inside a line",
         "a\r\nb\x1a"
         "c\r\nd\r\n",
         {"a", "b"}},
        {"ctrl-z alone",
         "\x1a"
         "a\r\n",
         {}},
        {"ctrl-z beyond the first buffer load",
         longLine + "\n" +
             "y\x1a"
             "z\n",
         {longLine, "y"}},
        // The loads grow from 4 KiB: the CR of a CR LF ends the first load, then the second.
        {"cr lf split by the first load", std::string(4095, 'a') + "\r\nb\n", {std::string(4095, 'a'), "b"}},
        {"cr lf split by the second load", std::string(12287, 'a') + "\r\nb\n", {std::string(12287, 'a'), "b"}},
    };
    for (const LinesCase& c : cases) {
        const std::string path = folder.File("lines.txt");
        test::ScratchFolder::Write(path, c.bytes);
        TextLineReader reader;
        ASSERT_TRUE(reader.Open(path)) << c.name;
        EXPECT_EQ(ReadAll(reader), c.lines) << c.name;
        const std::size_t text = std::min(c.bytes.find('\x1a'), c.bytes.size());
        EXPECT_EQ(reader.Offset(), static_cast<std::int64_t>(text)) << c.name;
    }
}

TEST(TextLineReader, OffsetCountsTheBytesOfTheLinesReadSoFar) {
    test::ScratchFolder folder;
    const std::string path = folder.File("offsets.csv");
    test::ScratchFolder::Write(path, "Long,Lat\r\n8.1,50.2\r\n" + std::string(70000, '9') + "\n");
    TextLineReader reader;
    ASSERT_TRUE(reader.Open(path));
    std::string line;
    ASSERT_TRUE(reader.ReadLine(line));
    EXPECT_EQ(reader.Offset(), 10);
    ASSERT_TRUE(reader.ReadLine(line));
    EXPECT_EQ(reader.Offset(), 20);
    ASSERT_TRUE(reader.ReadLine(line));
    EXPECT_EQ(reader.Offset(), 70021);
    EXPECT_FALSE(reader.ReadLine(line));
    EXPECT_EQ(line, "");
}

TEST(TextLineReader, AMissingFileCannotBeOpened) {
    test::ScratchFolder folder;
    TextLineReader reader;
    EXPECT_FALSE(reader.Open(folder.File("absent.txt")));
    EXPECT_FALSE(reader.IsOpen());
    std::string line = "stale";
    EXPECT_FALSE(reader.ReadLine(line));
    EXPECT_EQ(line, "");
}

}  // namespace
}  // namespace nivra
