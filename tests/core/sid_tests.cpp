#include "common/SidText.h"

#include <doctest/doctest.h>

#include <vector>

namespace {

// A SID built by hand in a buffer of the right size.
struct BuiltSid {
    std::vector<BYTE> bytes;
    PSID Get() { return bytes.data(); }

    BuiltSid(const BYTE authority[6], std::vector<DWORD> subs)
    {
        // Laid out by hand: the system's InitializeSid refuses fifteen sub-authorities on some
        // versions, though a SID may hold them.
        bytes.assign(8 + 4 * subs.size(), 0xA5);
        bytes[0] = SID_REVISION;
        bytes[1] = static_cast<BYTE>(subs.size());
        memcpy(&bytes[2], authority, 6);
        for (size_t i = 0; i < subs.size(); ++i)
            memcpy(&bytes[8 + 4 * i], &subs[i], 4);
    }
};

std::string Format(BuiltSid& sid, DWORD room = MAX_PATH)
{
    std::string text;
    DWORD needed = 0, error = 0;
    bool ok = FormatSidText(sid.Get(), text, room, &needed, &error);
    return ok ? text : "failed " + std::to_string(error) + " " + std::to_string(needed);
}

const BYTE NtAuthority[6] = {0, 0, 0, 0, 0, 5};

}  // namespace

TEST_CASE("identifiers from none to fifteen sub-authorities")
{
    BuiltSid none(NtAuthority, {});
    CHECK(Format(none) == "S-1-5");

    BuiltSid user(NtAuthority, {21, 1004336348, 1177238915, 682003330, 1001});
    CHECK(Format(user) == "S-1-5-21-1004336348-1177238915-682003330-1001");

    std::vector<DWORD> fifteen;
    std::string expected = "S-1-5";
    for (DWORD i = 0; i < 15; ++i) {
        DWORD value = 0xFFFFFFFFu - i;
        fifteen.push_back(value);
        expected += "-" + std::to_string(value);
    }
    BuiltSid full(NtAuthority, fifteen);
    CHECK(Format(full) == expected);
}

TEST_CASE("authorities: 32-bit decimal, or hexadecimal when the high bytes are used")
{
    const BYTE big32[6] = {0, 0, 0x12, 0x34, 0x56, 0x78};
    BuiltSid decimal(big32, {1});
    CHECK(Format(decimal) == "S-1-305419896-1");

    const BYTE wide[6] = {0x01, 0x02, 0xab, 0xcd, 0xef, 0x00};
    BuiltSid hex(wide, {7, 8});
    CHECK(Format(hex) == "S-1-0x0102abcdef00-7-8");

    const BYTE second[6] = {0, 0x10, 0, 0, 0, 1};
    BuiltSid secondByte(second, {});
    CHECK(Format(secondByte) == "S-1-0x001000000001");
}

TEST_CASE("the revision is always written as 1")
{
    BuiltSid sid(NtAuthority, {18});
    sid.bytes[0] = 1;  // the only valid revision; the text never reads it
    CHECK(Format(sid) == "S-1-5-18");
}

TEST_CASE("too little room fails with the size needed; an invalid identifier fails")
{
    BuiltSid user(NtAuthority, {21, 1, 2, 3, 1001});
    CHECK(Format(user, 87) == "failed 122 88");
    CHECK(Format(user, 88) == "S-1-5-21-1-2-3-1001");

    BuiltSid broken(NtAuthority, {1});
    broken.bytes[0] = 9;  // unknown revision
    CHECK(Format(broken) == "failed " + std::to_string(ERROR_INVALID_SID) + " 0");
}

TEST_CASE("the user's own identifier reads and has the expected shape")
{
    std::string text;
    REQUIRE(ReadUserSidText(text) == SidOk);
    CHECK(text.rfind("S-1-", 0) == 0);
    CHECK(text.find_first_not_of("S-0123456789x abcdef") == std::string::npos);
}
