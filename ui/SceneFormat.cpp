#include "ui/SceneFormat.h"

#include <algorithm>
#include <cstring>
#include <set>

namespace Scene {

namespace {

enum FieldType { Text, Variable, Assignment, Number, Colour, Choice, Flag };

struct FieldRule {
    const char* name;
    FieldType type;
    const char* choices;  // for Choice: blank-separated words
};

struct KindRule {
    Kind kind;
    const char* name;
    std::vector<FieldRule> fields;
    // Each group lists alternatives; at least one of every group must be present.
    std::vector<std::vector<const char*>> required;
};

const FieldRule TextField = {"text", Text, nullptr};
const FieldRule KeyField = {"key", Number, nullptr};
const FieldRule FontField = {"font", Choice, "normal bold heading small"};
const FieldRule ColourField = {"color", Colour, nullptr};
const FieldRule BackgroundField = {"background", Colour, nullptr};
const FieldRule SetField = {"set", Assignment, nullptr};

const std::vector<KindRule>& Rules()
{
    static const std::vector<KindRule> rules = {
        {Kind::Panel, "panel", {ColourField, {"outline", Flag, nullptr}}, {{"color"}}},
        {Kind::Label, "label",
         {TextField, KeyField, {"var", Variable, nullptr}, {"caption", Flag, nullptr}, FontField, ColourField,
          BackgroundField, {"align", Choice, "left center right"}, {"ellipsis", Choice, "path end"}},
         {{"text", "key", "var", "caption"}}},
        {Kind::Message, "message", {{"var", Variable, nullptr}, FontField, ColourField, BackgroundField}, {{"var"}}},
        {Kind::Icon, "icon", {{"name", Choice, "warning question information error"}, BackgroundField}, {{"name"}}},
        {Kind::Button, "button",
         {TextField, KeyField, {"command", Text, nullptr}, {"arg", Text, nullptr}, {"argvar", Variable, nullptr},
          {"goto", Number, nullptr}, {"id", Number, nullptr}, {"default", Flag, nullptr}, {"once", Flag, nullptr},
          SetField},
         {{"text", "key"}, {"command", "goto", "id"}}},
        {Kind::Drag, "drag", {}, {}},
        {Kind::List, "list",
         {{"value", Variable, nullptr}, {"add", Variable, nullptr}, {"clear", Variable, nullptr},
          {"items", Variable, nullptr}, {"count", Variable, nullptr}, {"done", Variable, nullptr},
          {"selected", Variable, nullptr}, {"counter", Variable, nullptr}, {"drop", Variable, nullptr},
          {"ellipsis", Choice, "path end"}},
         {{"add", "items"}}},
        {Kind::Combo, "combo",
         {{"items", Variable, nullptr}, {"count", Variable, nullptr}, {"choices", Text, nullptr},
          {"selected", Variable, nullptr}, {"command", Text, nullptr}, SetField},
         {{"items", "choices"}}},
        {Kind::Edit, "edit", {{"var", Variable, nullptr}, {"limit", Number, nullptr}}, {{"var"}}},
        {Kind::Radio, "radio",
         {{"var", Variable, nullptr}, {"value", Text, nullptr}, TextField, KeyField, {"group", Flag, nullptr},
          {"command", Text, nullptr}, {"arg", Text, nullptr}, {"argvar", Variable, nullptr}, BackgroundField},
         {{"var"}, {"value"}, {"text", "key"}}},
        {Kind::Group, "group", {TextField, KeyField, BackgroundField}, {{"text", "key"}}},
    };
    return rules;
}

const KindRule* FindRule(const std::string& name)
{
    for (const KindRule& rule : Rules())
        if (name == rule.name)
            return &rule;
    return nullptr;
}

const FieldRule* FindField(const KindRule& rule, const std::string& name)
{
    for (const FieldRule& field : rule.fields)
        if (name == field.name)
            return &field;
    return nullptr;
}

// A decimal number without sign, at most `maximum`.
bool ParseNumber(const std::string& text, int maximum, int& value)
{
    if (text.empty() || text.size() > 6)
        return false;
    int result = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        result = result * 10 + (c - '0');
    }
    if (result > maximum)
        return false;
    value = result;
    return true;
}

bool IsVariable(const std::string& name)
{
    return name.size() > 6 && name.compare(0, 6, "_root.") == 0;
}

bool IsChoice(const char* choices, const std::string& word)
{
    std::string list = std::string(" ") + choices + " ";
    return !word.empty() && list.find(" " + word + " ") != std::string::npos;
}

std::string At(int line, const std::string& what)
{
    return "line " + std::to_string(line) + ": " + what;
}

bool ParseElement(const KindRule& rule, const std::vector<std::string>& words, int line, Element& element,
                  std::string& error)
{
    element.kind = rule.kind;
    element.line = line;
    if (words.size() < 5) {
        error = At(line, std::string(rule.name) + " needs x, y, width and height");
        return false;
    }
    int* geometry[] = {&element.x, &element.y, &element.width, &element.height};
    for (int i = 0; i < 4; ++i) {
        if (!ParseNumber(words[1 + i], MaxCoordinate, *geometry[i])) {
            error = At(line, "bad number \"" + words[1 + i] + "\"");
            return false;
        }
    }
    if (element.width == 0 || element.height == 0) {
        error = At(line, std::string(rule.name) + " is too small to draw");
        return false;
    }
    for (size_t i = 5; i < words.size(); ++i) {
        const std::string& word = words[i];
        std::string::size_type equals = word.find('=');
        std::string name = equals == std::string::npos ? word : word.substr(0, equals);
        const FieldRule* field = FindField(rule, name);
        if (!field) {
            error = At(line, std::string(rule.name) + " has no field \"" + name + "\"");
            return false;
        }
        if (element.Has(name)) {
            error = At(line, "field \"" + name + "\" given twice");
            return false;
        }
        if (field->type == Flag) {
            if (equals != std::string::npos) {
                error = At(line, "\"" + name + "\" takes no value");
                return false;
            }
            element.fields[name] = "1";
            continue;
        }
        if (equals == std::string::npos) {
            error = At(line, "\"" + name + "\" needs a value");
            return false;
        }
        std::string value = word.substr(equals + 1);
        int number = 0;
        unsigned long rgb = 0;
        bool valid = true;
        switch (field->type) {
        case Text: break;
        case Variable: valid = IsVariable(value); break;
        case Assignment: {
            std::string::size_type assign = value.find('=');
            valid = assign != std::string::npos && IsVariable(value.substr(0, assign));
            break;
        }
        case Number: valid = ParseNumber(value, 999999, number); break;
        case Colour: valid = ParseColour(value, rgb); break;
        case Choice: valid = IsChoice(field->choices, value); break;
        case Flag: break;
        }
        if (!valid) {
            error = At(line, "bad value \"" + value + "\" for \"" + name + "\"");
            return false;
        }
        element.fields[name] = value;
    }
    for (const auto& group : rule.required) {
        bool present = std::any_of(group.begin(), group.end(), [&](const char* name) { return element.Has(name); });
        if (!present) {
            error = At(line, std::string(rule.name) + " needs the field \"" + group.front() + "\"");
            return false;
        }
    }
    // Fields that only make sense together.
    const std::pair<const char*, const char*> pairs[] = {
        {"add", "value"}, {"value", "add"}, {"items", "count"}, {"done", "items"}, {"drop", "selected"}};
    if (rule.kind == Kind::List || rule.kind == Kind::Combo) {
        for (const auto& pair : pairs) {
            if (element.Has(pair.first) && !element.Has(pair.second)) {
                error = At(line, std::string("\"") + pair.first + "\" needs \"" + pair.second + "\"");
                return false;
            }
        }
    }
    if (rule.kind == Kind::Combo) {
        if (element.Has("items") && element.Has("choices")) {
            error = At(line, "a combo takes \"items\" or \"choices\", not both");
            return false;
        }
        std::vector<std::string> choices;
        if (element.Has("choices") && (!SplitWords(element.Get("choices"), choices) || choices.empty())) {
            error = At(line, "\"choices\" needs at least one entry");
            return false;
        }
    }
    if (element.Has("goto")) {
        int frame = 0;
        if (!ParseNumber(element.Get("goto"), MaxFrame, frame)) {
            error = At(line, "no such frame \"" + element.Get("goto") + "\"");
            return false;
        }
    }
    return true;
}

}  // namespace

int FontPoints(const Element& element, int moviePoints)
{
    int points = moviePoints > 0 ? moviePoints : DefaultFontPoints;
    std::string font = element.Get("font", "normal");
    if (font == "heading")
        return points + 3;
    if (font == "small")
        return points - 1;
    return points;
}

const char* KindName(Kind kind)
{
    for (const KindRule& rule : Rules())
        if (rule.kind == kind)
            return rule.name;
    return "?";
}

std::vector<std::string> SplitLines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        lines.push_back(text.substr(start, end - start));
        if (!lines.back().empty() && lines.back().back() == '\r')
            lines.back().pop_back();
        start = end + 1;
    }
    return lines;
}

bool SplitWords(const std::string& line, std::vector<std::string>& words)
{
    words.clear();
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
            ++i;
        if (i >= line.size())
            break;
        std::string word;
        bool quoted = false;
        while (i < line.size() && (quoted || (line[i] != ' ' && line[i] != '\t'))) {
            char c = line[i++];
            if (c == '"') {
                quoted = !quoted;
            } else if (quoted && c == '\\' && i < line.size() && (line[i] == '"' || line[i] == '\\')) {
                word += line[i++];
            } else {
                word += c;
            }
        }
        if (quoted)
            return false;
        words.push_back(word);
    }
    return true;
}

bool SplitAssignment(const std::string& field, std::string& name, std::string& value)
{
    std::string::size_type assign = field.find('=');
    if (assign == std::string::npos || !IsVariable(field.substr(0, assign)))
        return false;
    name = field.substr(0, assign);
    value = field.substr(assign + 1);
    return true;
}

bool ParseColour(const std::string& text, unsigned long& rgb)
{
    if (text.size() != 6)
        return false;
    unsigned long value = 0;
    for (char c : text) {
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            return false;
        value = value * 16 + static_cast<unsigned long>(digit);
    }
    rgb = value;
    return true;
}

bool Parse(const std::string& text, Description& scene, std::string& error)
{
    scene = Description();
    Description result;
    if (text.size() > MaxFileSize) {
        error = "the file is larger than " + std::to_string(MaxFileSize) + " bytes";
        return false;
    }
    if (text.find('\0') != std::string::npos) {
        error = "the file holds a zero byte";
        return false;
    }
    std::vector<int> currentFrames;
    std::set<int> allFrames;
    bool haveHeader = false;
    int lineNumber = 0;
    std::vector<std::string> words;
    for (const std::string& line : SplitLines(text)) {
        ++lineNumber;
        if (line.size() > MaxLineLength) {
            error = At(lineNumber, "longer than " + std::to_string(MaxLineLength) + " characters");
            return false;
        }
        if (!SplitWords(line, words)) {
            error = At(lineNumber, "a quote is not closed");
            return false;
        }
        if (words.empty() || words[0][0] == '#')
            continue;
        const std::string& keyword = words[0];
        if (!haveHeader) {
            int version = 0;
            if (keyword != "movie" || words.size() != 4 || !ParseNumber(words[1], 99, version) || version != 1 ||
                !ParseNumber(words[2], MaxCoordinate, result.width) ||
                !ParseNumber(words[3], MaxCoordinate, result.height) || result.width == 0 || result.height == 0) {
                error = At(lineNumber, "the file must begin with \"movie 1 WIDTH HEIGHT\"");
                return false;
            }
            haveHeader = true;
            continue;
        }
        if (keyword == "movie") {
            error = At(lineNumber, "a second \"movie\" line");
            return false;
        }
        if (keyword == "font") {
            if (words.size() != 3 || words[1].empty() || words[1].size() >= 32 ||
                !ParseNumber(words[2], 72, result.fontPoints) || result.fontPoints < 6) {
                error = At(lineNumber, "\"font\" needs a face name and a size from 6 to 72 points");
                return false;
            }
            result.fontFace = words[1];
            continue;
        }
        if (keyword == "frame") {
            currentFrames.clear();
            if (words.size() == 2 && words[1] == "*")
                continue;
            if (words.size() < 2) {
                error = At(lineNumber, "\"frame\" needs frame numbers or *");
                return false;
            }
            for (size_t i = 1; i < words.size(); ++i) {
                int frame = 0;
                if (!ParseNumber(words[i], MaxFrame, frame)) {
                    error = At(lineNumber, "bad frame number \"" + words[i] + "\"");
                    return false;
                }
                currentFrames.push_back(frame);
                allFrames.insert(frame);
            }
            continue;
        }
        const KindRule* rule = FindRule(keyword);
        if (!rule) {
            error = At(lineNumber, "unknown element \"" + keyword + "\"");
            return false;
        }
        if (result.elements.size() >= MaxElements) {
            error = At(lineNumber, "more than " + std::to_string(MaxElements) + " elements");
            return false;
        }
        Element element;
        if (!ParseElement(*rule, words, lineNumber, element, error))
            return false;
        if (element.x + element.width > result.width || element.y + element.height > result.height) {
            error = At(lineNumber, "the element reaches beyond the stage");
            return false;
        }
        element.frames = currentFrames;
        result.elements.push_back(std::move(element));
    }
    if (!haveHeader) {
        error = "the file is empty";
        return false;
    }
    // Checked once the movie's font is known: its line may follow the elements.
    for (const Element& element : result.elements) {
        if (element.kind != Kind::Label || !element.Has("ellipsis"))
            continue;
        int least = EllipsisUnitsPerPoint * FontPoints(element, result.fontPoints);
        if (element.width < least) {
            error = At(element.line, "a label with an ellipsis must be at least " + std::to_string(least) + " wide");
            return false;
        }
    }
    result.frames.assign(allFrames.begin(), allFrames.end());
    scene = std::move(result);
    return true;
}

}  // namespace Scene
