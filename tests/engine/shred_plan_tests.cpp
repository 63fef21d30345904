#include "common/SystemError.h"
#include "engine/ShredPlan.h"
#include "lang/MessageText.h"

#include <doctest/doctest.h>

#include <windows.h>

#include <cctype>
#include <cstring>
#include <vector>

TEST_CASE("block counts: one more than the whole blocks, in 64 bits")
{
    struct Case {
        unsigned long long size;
        unsigned long long chunks;
    };
    const Case cases[] = {
        {0, 1},
        {1, 1},
        {65535, 1},
        {65536, 2},
        {65537, 2},
        {150000, 3},
        {0x7FFFFFFFull, 32768},
        {0x80000000ull, 32769},           // 2 GiB: past a signed 32-bit size
        {5ull << 30, 81921},              // 5 GiB: past an unsigned 32-bit size
    };
    for (const Case& c : cases) {
        CAPTURE(c.size);
        CHECK(ChunkCount(c.size) == c.chunks);
    }
    // Wipe files: 100 MiB plans one, exactly 1 GiB plans two.
    CHECK(PlannedWipeFiles(100ull << 20) == 1);
    CHECK(PlannedWipeFiles(1ull << 30) == 2);
}

TEST_CASE("name spans of the last path component")
{
    struct Case {
        const char* path;
        const char* base;
        const char* extension;
    };
    const Case cases[] = {
        {"C:\\dir\\report.final.txt", "report.final", "txt"},
        {"C:\\dir\\README", "README", ""},
        {"C:\\dir\\.profile", "", "profile"},
        {"C:\\dir\\name.", "name", ""},
        {"C:\\dir.d\\plain", "plain", ""},    // a dot in a folder name is not the component's
        {"file.txt", "file", "txt"},          // no folder at all
        {"C:\\a\\b\\c.d", "c", "d"},
        {"C:/dir/notes.md", "notes", "md"},   // forward slashes separate as well
        {"C:secret.doc", "secret", "doc"},    // relative to the drive's current folder
        {"C:\\dir\\..x", ".", "x"},
    };
    for (const Case& c : cases) {
        CAPTURE(c.path);
        size_t length = std::strlen(c.path);
        NameSpans spans = LocateNameSpans(c.path, length);
        CHECK(std::string(c.path + spans.baseStart, spans.baseLength) == c.base);
        CHECK(std::string(c.path + spans.extensionStart, spans.extensionLength) == c.extension);
        CHECK(spans.extensionStart + spans.extensionLength <= length);
    }
}

TEST_CASE("renaming keeps the folder, the last dot and the length, and uses letters only")
{
    const char* paths[] = {"C:\\dir\\report.final.txt", "C:\\dir\\README", "C:\\dir\\.profile",
                           "C:\\dir.d\\x", "C:/dir/notes.md"};
    PatternGenerator generator;
    generator.Seed(12345);
    for (const char* path : paths) {
        CAPTURE(path);
        std::string name = path;
        ReplaceNameSpans(&name[0], name.size(), generator);
        CAPTURE(name);
        NameSpans spans = LocateNameSpans(path, std::strlen(path));
        REQUIRE(name.size() == std::strlen(path));
        CHECK(name.compare(0, spans.baseStart, path, spans.baseStart) == 0);
        for (size_t i = 0; i < spans.baseLength; ++i)
            CHECK(std::isalpha(static_cast<unsigned char>(name[spans.baseStart + i])));
        for (size_t i = 0; i < spans.extensionLength; ++i)
            CHECK(std::isalpha(static_cast<unsigned char>(name[spans.extensionStart + i])));
        if (spans.extensionStart > spans.baseStart + spans.baseLength)
            CHECK(name[spans.baseStart + spans.baseLength] == '.');
    }
}

TEST_CASE("the generator follows the C library rule and letters come from its low bytes")
{
    // rand() after srand(1): 41, 18467, 6334, 26500, 19169, 15724, ...
    PatternGenerator generator;
    generator.Seed(1);
    unsigned char bytes[6];
    FillRandomBytes(bytes, sizeof(bytes), generator);
    const unsigned char expected[6] = {41 & 0xFF, 18467 & 0xFF, 6334 & 0xFF, 26500 & 0xFF, 19169 & 0xFF, 15724 & 0xFF};
    for (int i = 0; i < 6; ++i) {
        CAPTURE(i);
        CHECK(bytes[i] == expected[i]);
    }
    // The first five low bytes are not letters; 15724 = 0x3D6C gives 'l'.
    generator.Seed(1);
    CHECK(RandomLetter(generator) == 'l');
}

TEST_CASE("the block fill equals one generator call per byte and leaves the generator where they would")
{
    for (size_t count : {size_t(0), size_t(1), size_t(15), size_t(16), size_t(17), size_t(33), size_t(65535), size_t(65536)}) {
        CAPTURE(count);
        PatternGenerator fast, reference;
        fast.Seed(987654321);
        reference.Seed(987654321);
        std::vector<unsigned char> block(count + 1, 0xA5);
        FillRandomBytes(block.data(), count, fast);
        size_t mismatches = 0;
        for (size_t i = 0; i < count; ++i)
            mismatches += block[i] != static_cast<unsigned char>(reference.Next());
        CHECK(mismatches == 0);
        CHECK(block[count] == 0xA5);  // nothing past the count
        CHECK(fast.Next() == reference.Next());
    }
}

TEST_CASE("progress and message texts")
{
    CHECK(WipeFileLine("%s (file %u of %t)", "C:\\SHREDTMP.$$$\\SHRED000.TMP", 1, 3) ==
          "C:\\SHREDTMP.$$$\\SHRED000.TMP (file 1 of 3)");
    // A name holding a marker is inserted as it is.
    CHECK(WipeFileLine("%s %u/%t", "100%used%t", 2, 9) == "100%used%t 2/9");

    CHECK(WipeFolderPath("M:\\") == "M:\\SHREDTMP.$$$");
    CHECK(WipeFilePath("M:\\SHREDTMP.$$$", 0) == "M:\\SHREDTMP.$$$\\SHRED000.TMP");
    CHECK(WipeFilePath("M:\\SHREDTMP.$$$", 42) == "M:\\SHREDTMP.$$$\\SHRED042.TMP");
    CHECK(WipeFilePath("M:\\SHREDTMP.$$$", 1234) == "M:\\SHREDTMP.$$$\\SHRED1234.TMP");

    std::string diskFull = SystemErrorText(ERROR_DISK_FULL);
    CAPTURE(diskFull);
    CHECK_FALSE(diskFull.empty());
    CHECK(diskFull.back() != '\n');
    CHECK(diskFull.back() != '\r');
    CHECK(WriteFailureText("Writing to#%s#failed.#", "C:\\a.txt", ERROR_DISK_FULL) ==
          "Writing to\nC:\\a.txt\nfailed.\n" + diskFull);
    CHECK(SystemErrorText(0x2FFFFFFF) == "Error 2FFFFFFF");
}
