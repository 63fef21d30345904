// What the file shredder does with a file that is more than the name it was given: a file with
// other names (hard links, which Wine makes with link()), and named streams, which Wine does not
// keep: those come from a stand-in that opens real files in their place.
#include "engine/FileShredder.h"
#include "tests/engine/EngineFixture.h"

#include "common/ScopedWin.h"

#include <doctest/doctest.h>

#include <map>

using test::EngineFixture;
using test::FileExists;
using test::MakeFile;

namespace {

// Lists the streams it is given and opens each as a real file of its own, recording the main
// stream's size when each stream was opened (it is held without sharing, so it cannot be read).
class StandInStreams : public FileStreams {
public:
    std::vector<NamedStream> streams;
    std::map<std::wstring, std::string> files;  // stream name -> the file standing in for it
    std::vector<long long> mainSizeWhenOpened;

    std::vector<NamedStream> List(const std::string&) override { return streams; }
    HANDLE Open(const std::string& path, const NamedStream& stream) override
    {
        WIN32_FILE_ATTRIBUTE_DATA status;
        mainSizeWhenOpened.push_back(GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &status)
                                         ? static_cast<long long>(status.nFileSizeLow)
                                         : -1);
        auto file = files.find(stream.name);
        if (file == files.end()) {
            SetLastError(ERROR_SHARING_VIOLATION);
            return INVALID_HANDLE_VALUE;
        }
        return CreateFileA(file->second.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    }
};

bool AllBytesAre(const std::string& bytes, char value)
{
    return bytes.find_first_not_of(value) == std::string::npos;
}

}  // namespace

TEST_CASE("a file with other names is not overwritten: this name goes, the data stays under the others")
{
    EngineFixture fixture;
    test::TempFolder elsewhere("other");
    const std::string path = MakeFile(fixture.folder / "data.bin", 70000);
    const std::string other = elsewhere / "other name.bin";
    REQUIRE(CreateHardLinkA(other.c_str(), path.c_str(), nullptr));
    REQUIRE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
    fixture.UseSilentJob(0, 1);

    CHECK(ShredFile(fixture.context, path, ItemOrigin::User) == Flow::GoOn);
    CHECK_FALSE(FileExists(path));
    CHECK(test::ReadFileBytes(other) == std::string(70000, 'M'));
    // The attributes belong to the file: its other name keeps them.
    CHECK((test::Attributes(other) & FILE_ATTRIBUTE_READONLY) != 0);
    CHECK(fixture.Log() == "The file\r\n" + path +
                               "\r\nhas other names on this drive (hard links). Only this name was removed: its "
                               "contents were not overwritten and remain under the other names.\r\n\r\n");
    SetFileAttributesA(other.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_CASE("named streams are overwritten with the run's method before the main stream")
{
    EngineFixture fixture;
    const std::string path = MakeFile(fixture.folder / "data.bin", 1000);
    test::TempFolder streamFiles("streams");
    StandInStreams streams;
    streams.streams = {{L":secret:$DATA", 150000}, {L":Zone.Identifier:$DATA", 26}};
    streams.files[L":secret:$DATA"] = MakeFile(streamFiles / "secret", 150000);
    streams.files[L":Zone.Identifier:$DATA"] = MakeFile(streamFiles / "zone", 26);

    SUBCASE("quick: zeroes over every byte of each stream")
    {
        fixture.UseMethod(0, 1);
        CHECK(ShredFile(fixture.context, path, ItemOrigin::User, streams) == Flow::GoOn);
        CHECK(test::ReadFileBytes(streamFiles / "secret") == std::string(150000, '\0'));
        CHECK(test::ReadFileBytes(streamFiles / "zone") == std::string(26, '\0'));
    }
    SUBCASE("thorough: the last pass's fresh random data, no byte of the old contents left in a row")
    {
        fixture.UseMethod(1, 1);
        CHECK(ShredFile(fixture.context, path, ItemOrigin::User, streams) == Flow::GoOn);
        const std::string secret = test::ReadFileBytes(streamFiles / "secret");
        CHECK(secret.size() == 150000);
        CHECK(secret.find("MMMMMMMM") == std::string::npos);
        CHECK_FALSE(AllBytesAre(secret, '\0'));
    }
    // Each stream was opened while the main stream was whole under its name; the progress bar ran
    // through the streams (150,000 bytes: 3 blocks; 26 bytes: 1) and then through the main stream.
    CHECK(streams.mainSizeWhenOpened == std::vector<long long>{1000, 1000});
    std::vector<std::string> ranges;
    for (const std::string& entry : fixture.channel.progressLog)
        if (entry.compare(0, 6, "range:") == 0)
            ranges.push_back(entry);
    CHECK(ranges == std::vector<std::string>{"range:3", "range:1", "range:1"});
    CHECK_FALSE(FileExists(path));
    CHECK(fixture.channel.questions.empty());
}

TEST_CASE("a stream that cannot be opened leaves the file whole, and says which stream")
{
    EngineFixture fixture;
    const std::string path = MakeFile(fixture.folder / "data.bin", 1000);
    StandInStreams streams;
    streams.streams = {{L":locked:$DATA", 10}};
    fixture.UseSilentJob(0, 1);
    CHECK(ShredFile(fixture.context, path, ItemOrigin::User, streams) == Flow::GoOn);
    CHECK(test::ReadFileBytes(path) == std::string(1000, 'M'));
    const std::string log = fixture.Log();
    CHECK(log.rfind("Writing to the file\r\n" + path + ":locked\r\nfailed", 0) == 0);
}

TEST_CASE("a file without named streams lists none on this system")
{
    EngineFixture fixture;
    const std::string path = MakeFile(fixture.folder / "data.bin", 10);
    CHECK(SystemStreams().List(path).empty());
}
