#include "lang/LanguagePack.h"
#include "tests/support/TestSupport.h"

#include <doctest/doctest.h>

#include <vector>

namespace {

std::string English(int key)
{
    return LanguagePack::LookupText(test::DistFolder(), "English", key);
}

int Count(const std::string& text, const std::string& marker)
{
    int count = 0;
    for (auto at = text.find(marker); at != std::string::npos; at = text.find(marker, at + 1))
        ++count;
    return count;
}

}  // namespace

TEST_CASE("the English pack has a text for every key the program reads")
{
    REQUIRE_FALSE(test::DistFolder().empty());
    const int keys[] = {
        9006, 9007, 9008, 9009, 9010, 9011, 9012, 9013, 9014, 9015, 9016, 9018, 9019, 9020, 9021, 9022,
        9025, 9026, 9027, 9028, 9029, 9030, 9032, 9033, 9034, 9035, 9036, 9037, 9038, 9039, 9040, 9041,
        9042, 9043, 9044, 9045, 9046, 9047, 9048, 9049, 9050, 9051, 9052, 9053, 9054, 9055, 9056, 9057,
        9059, 9060, 9062, 9070, 9071, 9072, 9073, 9210, 9211, 9212, 9213, 9214, 9215, 9080, 9081, 9082, 9083, 9084, 9085, 9086, 9087, 9063, 9064, 9065, 9066, 9067, 9068, 9069, 9208, 9606, 9609, 9700, 9701, 9702,
        9703, 9704, 9705, 9706, 9900, 9901, 9902, 9903, 9904, 9905, 9906, 9907, 9908, 9909, 9910, 9913,
        9914, 9915, 9916, 9917, 9918, 9919, 11000, 11001, 11002, 12000,
        9240, 9241, 9242, 9243, 9244, 9245,
        // Scheduling.
        9270, 9271, 9272, 9273, 9274, 9275, 9276, 9277, 9278,
        // What an interrupted wipe left, and the free-record phase.
        9300, 9301, 9920, 9921,
        // The main window's movie and messages.
        9100, 9101, 9102, 9103, 9104, 9105, 9106, 9107, 9108, 9109, 9110, 9111, 9112, 9113, 9114, 9115,
        9116, 9117, 9118, 9119, 9120, 9121, 9122, 9123, 9124, 9125, 9126, 9127, 9128, 9129, 9130, 9131,
        9132, 9133, 9134, 9135, 9136, 9137, 9138, 9139, 9140, 9141, 9142, 9143, 9144, 9145, 9146, 9150,
        9151, 9152, 9153, 9154, 9155,
    };
    for (int key : keys) {
        CAPTURE(key);
        CHECK(English(key) != "Error");
        CHECK_FALSE(English(key).empty());
    }
    CHECK(English(9606) == "Vantor Shredder");
}

TEST_CASE("English texts carry the markers their callers replace")
{
    struct Case {
        int key;
        const char* marker;
        int count;
    } cases[] = {
        {9034, "%s", 1}, {9035, "%u", 1}, {9036, "%s", 1}, {9037, "%s", 1}, {9038, "%s", 1},
        {9039, "%s", 1}, {9040, "%s", 1}, {9041, "%s", 1}, {9042, "%s", 1}, {9043, "%s", 1},
        {9044, "%s", 1}, {9044, "%u", 1}, {9045, "%c", 1}, {9046, "%c", 1}, {9047, "%s", 1},
        {9050, "%c", 2}, {9051, "%u", 1}, {9052, "%s", 1}, {9053, "%s", 1}, {9054, "%s", 1}, {9070, "%s", 1}, {9071, "%s", 1}, {9072, "%s", 1}, {9073, "%s", 1},
        {9210, "%s", 1}, {9211, "%s", 1}, {9212, "%s", 1}, {9213, "%s", 1}, {9214, "%s", 1}, {9215, "%s", 1},
        {9914, "%s", 1}, {9914, "%u", 1}, {9914, "%t", 1}, {9918, "%u", 1}, {9918, "%t", 1},
        {9919, "%s", 1}, {9919, "%u", 1}, {9919, "%t", 1},
        {9240, "%u", 1}, {9241, "%s", 1}, {9241, "%u", 1}, {9242, "%s", 1}, {9244, "%s", 1}, {9245, "%s", 1},
        {9272, "%u", 1}, {9273, "%s", 1}, {9275, "%u", 1}, {9275, "%t", 1}, {9276, "%s", 1}, {9277, "%s", 1},
        {9278, "%s", 1}, {9300, "%s", 1}, {9301, "%s", 1}, {9921, "%u", 1},
        {9140, "%s", 1}, {9141, "%s", 1}, {9142, "%s", 1}, {9143, "%s", 1}, {9145, "%s", 1}, {9146, "%s", 1},
    };
    for (const Case& c : cases) {
        CAPTURE(c.key);
        CAPTURE(c.marker);
        CHECK(Count(English(c.key), c.marker) == c.count);
    }
    // Texts whose callers do not turn "#" into a line break must not hold one.
    std::vector<int> shownAsWritten = {9011, 9016, 9018, 9019, 9025, 9028, 9029, 9030, 9039, 9044,
                                       9055, 9056, 9900, 9913, 9917, 9144, 12000};
    for (int key = 9100; key <= 9139; ++key)
        shownAsWritten.push_back(key);  // the main movie's texts
    for (int key = 9150; key <= 9155; ++key)
        shownAsWritten.push_back(key);
    for (int key : shownAsWritten) {
        CAPTURE(key);
        CHECK(English(key).find('#') == std::string::npos);
    }
}

TEST_CASE("a text followed directly by a value keeps its trailing blank")
{
    CHECK(English(9913) == "Recycle Bin on drive ");
}
