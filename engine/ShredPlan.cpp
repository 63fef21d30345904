#include "engine/ShredPlan.h"

#include "common/SystemError.h"
#include "lang/MessageText.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

NameSpans LocateNameSpans(const char* path, size_t length)
{
    // The last component starts after the last separator; '/' and a drive's ':' count too, so a
    // rename never moves the file out of its folder.
    size_t start = length;
    while (start > 0 && path[start - 1] != '\\' && path[start - 1] != '/' && path[start - 1] != ':')
        --start;
    size_t dot = length;
    for (size_t i = length; i > start; --i) {
        if (path[i - 1] == '.') {
            dot = i - 1;
            break;
        }
    }
    NameSpans spans;
    spans.baseStart = start;
    spans.baseLength = dot - start;
    if (dot < length) {
        spans.extensionStart = dot + 1;
        spans.extensionLength = length - dot - 1;
    } else {
        spans.extensionStart = length;
    }
    return spans;
}

char RandomLetter(PatternGenerator& generator)
{
    for (;;) {
        char letter = static_cast<char>(generator.Next() & 0xFF);
        if ((letter >= 'a' && letter <= 'z') || (letter >= 'A' && letter <= 'Z'))
            return letter;
    }
}

void ReplaceNameSpans(char* name, size_t length, PatternGenerator& generator)
{
    NameSpans spans = LocateNameSpans(name, length);
    for (size_t i = 0; i < spans.baseLength; ++i)
        name[spans.baseStart + i] = RandomLetter(generator);
    for (size_t i = 0; i < spans.extensionLength; ++i)
        name[spans.extensionStart + i] = RandomLetter(generator);
}

namespace {

// The generator's rule: state = state * Multiplier + Increment; a value is bits 16 to 30.
constexpr unsigned Multiplier = 214013u;
constexpr unsigned Increment = 2531011u;
constexpr size_t Lanes = 16;

// The rule applied `steps` times, as one multiplier and one increment.
constexpr unsigned LeapMultiplier(size_t steps)
{
    unsigned result = 1;
    for (size_t i = 0; i < steps; ++i)
        result *= Multiplier;
    return result;
}
constexpr unsigned LeapIncrement(size_t steps)
{
    unsigned result = 0;
    for (size_t i = 0; i < steps; ++i)
        result = result * Multiplier + Increment;
    return result;
}
// The multiplier is odd, so it has an inverse modulo 2^32 (Newton's iteration).
constexpr unsigned InverseMultiplier()
{
    unsigned x = Multiplier;
    for (int i = 0; i < 5; ++i)
        x *= 2u - Multiplier * x;
    return x;
}
static_assert(Multiplier * InverseMultiplier() == 1u, "the multiplier's inverse");

}  // namespace

void FillRandomBytes(unsigned char* buffer, size_t count, PatternGenerator& generator)
{
    // Byte k is the low byte of the k-th generated value, exactly as one Next() per byte; the
    // values are computed in 16 interleaved lanes, each leaping 16 steps, which the compiler
    // turns into vector code instead of one long chain of dependent multiplications.
    unsigned state = generator.State();
    size_t i = 0;
    if (count >= Lanes) {
        constexpr unsigned leapMultiplier = LeapMultiplier(Lanes);
        constexpr unsigned leapIncrement = LeapIncrement(Lanes);
        unsigned lanes[Lanes];
        for (size_t j = 0; j < Lanes; ++j) {
            state = state * Multiplier + Increment;
            lanes[j] = state;
        }
        for (; i + Lanes <= count; i += Lanes) {
            for (size_t j = 0; j < Lanes; ++j) {
                buffer[i + j] = static_cast<unsigned char>(lanes[j] >> 16);
                lanes[j] = lanes[j] * leapMultiplier + leapIncrement;
            }
        }
        // lanes[0] is one step past the last byte written.
        state = (lanes[0] - Increment) * InverseMultiplier();
    }
    for (; i < count; ++i) {
        state = state * Multiplier + Increment;
        buffer[i] = static_cast<unsigned char>(state >> 16);
    }
    generator.Seed(state);
}

void ComplementBytes(unsigned char* buffer, size_t count)
{
    for (size_t i = 0; i < count; ++i)
        buffer[i] = static_cast<unsigned char>(~buffer[i]);
}

std::string WipeFileLine(const std::string& pattern, const std::string& name, unsigned number, unsigned count)
{
    MessageText::Values values;
    values.s = &name;
    values.u = &number;
    values.t = &count;
    return MessageText::Compose(pattern, values);
}

std::string WriteFailureText(const std::string& pattern, const std::string& path, unsigned long code)
{
    return MessageText::WithPath(pattern, path) + SystemErrorText(code);
}

std::string WipeFolderPath(const std::string& root) { return root + "SHREDTMP.$$$"; }

std::string WipeFilePath(const std::string& folder, unsigned number)
{
    char name[32];
    std::snprintf(name, sizeof(name), "SHRED%03u.TMP", number);
    return folder + "\\" + name;
}

bool IsWipeFillName(const char* name)
{
    // SHRED, at least one digit and nothing else, .TMP: WipeFilePath's names, whatever the count.
    size_t length = std::strlen(name);
    if (length < 10 || _strnicmp(name, "SHRED", 5) != 0 || lstrcmpiA(name + length - 4, ".TMP") != 0)
        return false;
    for (size_t i = 5; i < length - 4; ++i) {
        if (name[i] < '0' || name[i] > '9')
            return false;
    }
    return true;
}

bool IsRecordName(const char* name)
{
    for (size_t i = 0; i < RecordNameLength; ++i) {
        if (name[i] < 'A' || name[i] > 'Z')
            return false;
    }
    return name[RecordNameLength] == '\0';
}

std::string RandomRecordName(PatternGenerator& generator)
{
    std::string name;
    while (name.size() < RecordNameLength) {
        char letter = RandomLetter(generator);
        name += static_cast<char>(letter >= 'a' ? letter - 'a' + 'A' : letter);
    }
    return name;
}
