// The scene files the movie player plays: a small line-based description of the elements a movie
// shows, the movie variables they are bound to and the commands they send. The format is
// described for movie authors in data/Skin/FORMAT.txt. Parsing is a plain function over text.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace Scene {

// Limits that keep a damaged or hostile file from costing more than a glance.
constexpr size_t MaxFileSize = 64 * 1024;
constexpr size_t MaxLineLength = 1024;
constexpr size_t MaxElements = 256;
constexpr int MaxCoordinate = 4000;
constexpr int MaxFrame = 99;
// The font of a movie without a "font" line.
constexpr int DefaultFontPoints = 9;
// A label that shortens its text with an ellipsis needs room for the ellipsis and a letter or
// two: this many units for every point of its font (the system's text drawing fails in less).
constexpr int EllipsisUnitsPerPoint = 2;

enum class Kind {
    Panel,    // a filled rectangle
    Label,    // a text: literal, from the language pack or bound to a variable
    Message,  // a bound text that wraps and scrolls when long
    Icon,     // a system icon
    Button,   // a push button that sends a command
    Drag,     // an area that sends "IDC_FS_Drag" when pressed
    List,     // a list box filled by signals or by indexed variables
    Combo,    // a drop-down list filled by indexed variables
    Edit,     // a one-line text field bound to a variable
    Radio,    // one choice of a radio group bound to a variable
    Group,    // a group box
};

struct Element {
    Kind kind = Kind::Label;
    int x = 0, y = 0, width = 0, height = 0;  // dialog units of the window the movie plays in
    std::vector<int> frames;                  // the frames it shows in; empty: every frame
    std::map<std::string, std::string> fields;
    int line = 0;                             // where it was written, for messages

    bool Has(const std::string& name) const { return fields.count(name) != 0; }
    std::string Get(const std::string& name, const std::string& fallback = std::string()) const
    {
        auto found = fields.find(name);
        return found == fields.end() ? fallback : found->second;
    }
};

struct Description {
    int width = 0, height = 0;  // the stage, in dialog units
    std::string fontFace;       // empty: the window's own font
    int fontPoints = 0;
    std::vector<Element> elements;
    std::vector<int> frames;    // every frame number named, ascending
};

// Parses `text`. On failure returns false and says why (with the line number) in `error`;
// `scene` is then left empty. Elements too small to draw are refused: an element 0 units wide
// or high, and a label with an ellipsis narrower than EllipsisUnitsPerPoint units a point.
bool Parse(const std::string& text, Description& scene, std::string& error);

// The lines of a text, without their ends (LF or CR LF).
std::vector<std::string> SplitLines(const std::string& text);

// Splits one line into words: blanks separate, "..." quotes (with \" and \\ inside).
// False on an unterminated quote.
bool SplitWords(const std::string& line, std::vector<std::string>& words);

// The variable and value of a set= field ("_root.name=value"); false when it is none.
bool SplitAssignment(const std::string& field, std::string& name, std::string& value);

// "RRGGBB" in hexadecimal, as movies write colours; false for anything else.
bool ParseColour(const std::string& text, unsigned long& rgb);

const char* KindName(Kind kind);

// The size in points of an element's font ("font=" of a label, button and the like) in a movie
// whose font has `moviePoints` (0: the default).
int FontPoints(const Element& element, int moviePoints);

}  // namespace Scene
