#include "ui/MoviePlayer.h"

#include "common/Settings.h"
#include "common/ScopedWin.h"
#include "lang/LanguagePack.h"
#include "ui/SceneFormat.h"

#include <commctrl.h>

#include <map>
#include <memory>
#include <new>
#include <vector>

namespace MoviePlayer {

const char* const ClassName = "NullwrightMovie";

namespace {

constexpr int FirstControlId = 20000;

using AutoGdi = AutoGdiObject;

COLORREF FromRgb(unsigned long rgb)
{
    return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

// Edit controls break lines only at CR LF.
std::string WithCrLf(const std::string& text)
{
    std::string result;
    result.reserve(text.size() + 16);
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r'))
            result += '\r';
        result += text[i];
    }
    return result;
}

std::string WindowText(HWND window)
{
    int length = GetWindowTextLengthA(window);
    if (length <= 0)
        return std::string();
    std::string text(static_cast<size_t>(length) + 1, '\0');
    int copied = GetWindowTextA(window, &text[0], length + 1);
    text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    return text;
}

// Group boxes draw only their frame and caption; the inside is filled in the group's colour.
LRESULT CALLBACK GroupBoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR)
{
    if (message == WM_ERASEBKGND) {
        RECT client;
        GetClientRect(window, &client);
        HBRUSH brush = reinterpret_cast<HBRUSH>(
            SendMessageA(GetParent(window), WM_CTLCOLORSTATIC, wParam, reinterpret_cast<LPARAM>(window)));
        if (brush)
            FillRect(reinterpret_cast<HDC>(wParam), &client, brush);
        return TRUE;
    }
    if (message == WM_NCDESTROY)
        RemoveWindowSubclass(window, GroupBoxProc, 1);
    return DefSubclassProc(window, message, wParam, lParam);
}

class Player {
public:
    explicit Player(HWND window) : window_(window) {}
    ~Player() { Unload(); }

    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

private:
    struct Live {
        const Scene::Element* element;
        HWND control = nullptr;
        RECT rect = {};
        std::vector<std::string> entries;  // lists
    };

    bool Load(const char* path);
    void Unload();
    void Layout();
    RECT StageToClient(const Scene::Element& element) const;
    void CreateControls();
    HFONT FontFor(const Scene::Element& element) const;
    std::string TextOf(const Scene::Element& element) const;
    bool InFrame(const Scene::Element& element) const;
    void ShowFrame(int frame);
    void Store(const std::string& name, const std::string& value);
    void Apply(const std::string& name);
    void SetMessageText(Live& live, const std::string& text);
    void RefillFromIndex(Live& live);
    void SelectExactly(Live& live, const std::string& value);
    void DropSelected(Live& live);
    void ApplyAssignment(const Scene::Element& element);
    void MeasureItem(MEASUREITEMSTRUCT& item);
    void DrawItem(const DRAWITEMSTRUCT& item);
    void OnControlCommand(int id, int code);
    void Fire(const std::string& command, const std::string& args);
    HBRUSH BrushFor(unsigned long rgb);
    LRESULT ColourStatic(HDC dc, HWND control);
    void Paint();
    void MakeFonts();

    HWND window_;
    Scene::Description scene_;
    bool loaded_ = false;
    std::string packPath_;
    std::string scale_ = "ShowAll";
    int align_ = 0;
    unsigned long background_ = 0xFFFFFF;
    int frame_ = 0;
    std::map<std::string, std::string> variables_;
    std::vector<Live> live_;
    AutoGdi fonts_[4];  // normal, bold, heading, small
    std::map<unsigned long, std::unique_ptr<AutoGdi>> brushes_;
    bool applying_ = false;  // a variable is being pushed into the controls
};

int FontIndex(const std::string& name)
{
    if (name == "bold")
        return 1;
    if (name == "heading")
        return 2;
    if (name == "small")
        return 3;
    return 0;
}

bool Player::Load(const char* path)
{
    Unload();
    if (!path || !*path)
        return false;
    std::string text;
    if (!ReadSmallFile(path, Scene::MaxFileSize, text))
        return false;
    std::string error;
    if (!Scene::Parse(text, scene_, error))
        return false;  // a broken movie plays nothing; its window shows its own controls

    // Texts come from the language pack of the installation the movie belongs to: Skin's parent.
    std::string folder = path;
    std::string::size_type slash = folder.rfind('\\');
    folder = slash == std::string::npos ? std::string() : folder.substr(0, slash);
    slash = folder.rfind('\\');
    folder = slash == std::string::npos ? std::string(".") : folder.substr(0, slash);
    packPath_ = LanguagePack::PackPath(folder, Settings::ReadString("Language", "English"));

    loaded_ = true;
    frame_ = scene_.frames.empty() ? 0 : scene_.frames.front();
    MakeFonts();
    CreateControls();
    ShowFrame(frame_);
    return true;
}

void Player::Unload()
{
    for (Live& live : live_)
        if (live.control)
            DestroyWindow(live.control);  // a child that is already gone makes this fail harmlessly
    live_.clear();
    scene_ = Scene::Description();
    loaded_ = false;
    variables_.clear();
}

void Player::MakeFonts()
{
    LOGFONTA base = {};
    HFONT dialogFont = reinterpret_cast<HFONT>(SendMessageA(GetParent(window_), WM_GETFONT, 0, 0));
    if (!dialogFont || !GetObjectA(dialogFont, sizeof(base), &base))
        GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof(base), &base);
    int dpi = 96;
    {
        AutoWindowDC screen(nullptr);
        if (screen)
            dpi = GetDeviceCaps(screen.Get(), LOGPIXELSY);
    }
    int points = scene_.fontPoints ? scene_.fontPoints : 9;

    // The movie's face when the system has it, else the shell's dialog face.
    std::string face = base.lfFaceName;
    if (!scene_.fontFace.empty()) {
        for (const std::string& candidate : {scene_.fontFace, std::string("Tahoma")}) {
            LOGFONTA probe = {};
            lstrcpynA(probe.lfFaceName, candidate.c_str(), LF_FACESIZE);
            probe.lfHeight = -MulDiv(points, dpi, 72);
            AutoGdi font(CreateFontIndirectA(&probe));
            AutoWindowDC dc(window_);
            char actual[LF_FACESIZE] = {};
            if (dc && font) {
                AutoSelectObject selected(dc.Get(), font.Get());
                GetTextFaceA(dc.Get(), LF_FACESIZE, actual);
            }
            if (lstrcmpiA(actual, candidate.c_str()) == 0) {
                face = candidate;
                break;
            }
        }
    }
    struct Variant {
        int points;
        int weight;
    } variants[4] = {{points, FW_NORMAL}, {points, FW_BOLD}, {points + 3, FW_BOLD}, {points - 1, FW_NORMAL}};
    for (int i = 0; i < 4; ++i) {
        LOGFONTA font = {};
        lstrcpynA(font.lfFaceName, face.c_str(), LF_FACESIZE);
        font.lfHeight = -MulDiv(variants[i].points, dpi, 72);
        font.lfWeight = variants[i].weight;
        font.lfCharSet = DEFAULT_CHARSET;
        font.lfQuality = CLEARTYPE_QUALITY;
        fonts_[i].Reset(CreateFontIndirectA(&font));  // a missing font leaves the system font
    }
}

HFONT Player::FontFor(const Scene::Element& element) const
{
    return static_cast<HFONT>(fonts_[FontIndex(element.Get("font"))].Get());
}

RECT Player::StageToClient(const Scene::Element& element) const
{
    // Stage units are the dialog units of the window the movie plays in.
    HWND dialog = GetParent(window_);
    RECT stage = {0, 0, scene_.width, scene_.height};
    RECT rect = {element.x, element.y, element.x + element.width, element.y + element.height};
    if (dialog) {
        MapDialogRect(dialog, &stage);  // a failure leaves units as pixels
        MapDialogRect(dialog, &rect);
    }
    RECT client = {};
    GetClientRect(window_, &client);
    double sx = 1.0, sy = 1.0;
    if (scale_ != "NoScale" && stage.right > 0 && stage.bottom > 0) {
        sx = static_cast<double>(client.right) / stage.right;
        sy = static_cast<double>(client.bottom) / stage.bottom;
        if (scale_ == "ShowAll")
            sx = sy = sx < sy ? sx : sy;
        else if (scale_ == "NoBorder")
            sx = sy = sx > sy ? sx : sy;
    }
    int stageWidth = static_cast<int>(stage.right * sx);
    int stageHeight = static_cast<int>(stage.bottom * sy);
    int dx = (align_ & 1) ? 0 : (align_ & 2) ? client.right - stageWidth : (client.right - stageWidth) / 2;
    int dy = (align_ & 4) ? 0 : (align_ & 8) ? client.bottom - stageHeight : (client.bottom - stageHeight) / 2;
    RECT result = {dx + static_cast<int>(rect.left * sx), dy + static_cast<int>(rect.top * sy),
                   dx + static_cast<int>(rect.right * sx), dy + static_cast<int>(rect.bottom * sy)};
    return result;
}

std::string Player::TextOf(const Scene::Element& element) const
{
    // Radio buttons are bound by var= too, but their text is their own.
    bool showsVariable = element.kind == Scene::Kind::Label || element.kind == Scene::Kind::Message ||
                         element.kind == Scene::Kind::Edit;
    if (element.Has("caption"))
        return WindowText(GetParent(window_));
    if (showsVariable && element.Has("var")) {
        auto found = variables_.find(element.Get("var"));
        return found == variables_.end() ? std::string() : found->second;
    }
    if (element.Has("key"))
        return LanguagePack::ReadText(packPath_, std::atoi(element.Get("key").c_str()), element.Get("text").c_str(),
                                      LanguagePack::ItemBufferSize);
    return element.Get("text");
}

void Player::CreateControls()
{
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(window_, GWLP_HINSTANCE));
    live_.reserve(scene_.elements.size());
    int index = 0;
    for (const Scene::Element& element : scene_.elements) {
        Live live;
        live.element = &element;
        live.rect = StageToClient(element);
        const char* className = nullptr;
        DWORD style = WS_CHILD;
        DWORD exStyle = 0;
        std::string text = TextOf(element);
        switch (element.kind) {
        case Scene::Kind::Panel:
        case Scene::Kind::Drag:
            break;  // painted and hit-tested by the player itself
        case Scene::Kind::Label: {
            className = "STATIC";
            std::string align = element.Get("align", "left");
            style |= align == "center" ? SS_CENTER : align == "right" ? SS_RIGHT : SS_LEFT;
            if (element.Has("var"))
                style |= SS_NOPREFIX;
            if (element.Has("ellipsis"))
                style |= element.Get("ellipsis") == "path" ? SS_PATHELLIPSIS : SS_ENDELLIPSIS;
            break;
        }
        case Scene::Kind::Message:
            className = "EDIT";
            style |= ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL;
            text = WithCrLf(text);
            break;
        case Scene::Kind::Icon:
            className = "STATIC";
            style |= SS_ICON | SS_CENTERIMAGE;
            text.clear();
            break;
        case Scene::Kind::Button:
            className = "BUTTON";
            // Each button ends the radio group before it, so arrow keys stay inside a group.
            style |= WS_TABSTOP | WS_GROUP | (element.Has("default") ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
            break;
        case Scene::Kind::List:
            className = "LISTBOX";
            style |= WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT;
            // Drawn by the player to cut long paths in the middle; the strings stay readable.
            if (element.Has("ellipsis"))
                style |= LBS_OWNERDRAWFIXED | LBS_HASSTRINGS;
            exStyle |= WS_EX_CLIENTEDGE;
            text.clear();
            break;
        case Scene::Kind::Combo:
            className = "COMBOBOX";
            style |= WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST;
            text.clear();
            break;
        case Scene::Kind::Edit:
            className = "EDIT";
            style |= WS_TABSTOP | ES_AUTOHSCROLL;
            exStyle |= WS_EX_CLIENTEDGE;
            break;
        case Scene::Kind::Radio:
            className = "BUTTON";
            style |= WS_TABSTOP | BS_AUTORADIOBUTTON | (element.Has("group") ? WS_GROUP : 0);
            break;
        case Scene::Kind::Group:
            className = "BUTTON";
            style |= BS_GROUPBOX;
            break;
        }
        if (className) {
            int height = live.rect.bottom - live.rect.top;
            if (element.kind == Scene::Kind::Combo)
                height *= 8;  // the drop-down list's room
            live.control = CreateWindowExA(exStyle, className, text.c_str(), style, live.rect.left, live.rect.top,
                                           live.rect.right - live.rect.left, height, window_,
                                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(FirstControlId + index)),
                                           instance, nullptr);
            if (live.control) {
                SendMessageA(live.control, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(element)), FALSE);
                if (element.kind == Scene::Kind::Icon) {
                    static const std::map<std::string, LPCSTR> icons = {
                        {"warning", IDI_WARNING}, {"question", IDI_QUESTION},
                        {"information", IDI_INFORMATION}, {"error", IDI_ERROR}};
                    HICON icon = LoadIconA(nullptr, icons.at(element.Get("name")));
                    SendMessageA(live.control, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
                }
                if (element.kind == Scene::Kind::Group)
                    SetWindowSubclass(live.control, GroupBoxProc, 1, 0);  // without it the inside stays grey
                if (element.kind == Scene::Kind::Edit && element.Has("limit"))
                    SendMessageA(live.control, EM_LIMITTEXT, std::atoi(element.Get("limit").c_str()), 0);
                if (element.kind == Scene::Kind::Combo && element.Has("choices")) {
                    Scene::SplitWords(element.Get("choices"), live.entries);  // checked when parsed
                    for (const std::string& entry : live.entries)
                        SendMessageA(live.control, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
                }
            }
        }
        live_.push_back(live);
        ++index;
    }
}

bool Player::InFrame(const Scene::Element& element) const
{
    if (element.frames.empty())
        return true;
    for (int frame : element.frames)
        if (frame == frame_)
            return true;
    return false;
}

void Player::ShowFrame(int frame)
{
    frame_ = frame;
    for (Live& live : live_)
        if (live.control)
            ShowWindow(live.control, InFrame(*live.element) ? SW_SHOWNA : SW_HIDE);
    InvalidateRect(window_, nullptr, TRUE);
}

void Player::Layout()
{
    for (Live& live : live_) {
        live.rect = StageToClient(*live.element);
        if (live.control && live.element->kind != Scene::Kind::Combo)
            MoveWindow(live.control, live.rect.left, live.rect.top, live.rect.right - live.rect.left,
                       live.rect.bottom - live.rect.top, FALSE);
    }
    InvalidateRect(window_, nullptr, TRUE);
}

void Player::SetMessageText(Live& live, const std::string& text)
{
    SetWindowTextA(live.control, WithCrLf(text).c_str());
    // The scroll bar shows only when the text is longer than the box.
    int lineHeight = 16;
    {
        AutoWindowDC dc(live.control);
        if (dc) {
            AutoSelectObject selected(dc.Get(), FontFor(*live.element));
            TEXTMETRICA metrics;
            if (GetTextMetricsA(dc.Get(), &metrics))
                lineHeight = metrics.tmHeight;
        }
    }
    ShowScrollBar(live.control, SB_VERT, FALSE);
    LRESULT lines = SendMessageA(live.control, EM_GETLINECOUNT, 0, 0);
    RECT format = live.rect;
    SendMessageA(live.control, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
    int visible = (format.bottom - format.top) / (lineHeight > 0 ? lineHeight : 16);
    bool scroll = lines > visible;
    ShowScrollBar(live.control, SB_VERT, scroll);
    LONG_PTR style = GetWindowLongPtrA(live.control, GWL_STYLE);
    SetWindowLongPtrA(live.control, GWL_STYLE, scroll ? (style | WS_TABSTOP) : (style & ~WS_TABSTOP));
}

void Player::RefillFromIndex(Live& live)
{
    const Scene::Element& element = *live.element;
    auto count = variables_.find(element.Get("count"));
    long n = count == variables_.end() ? 0 : std::strtol(count->second.c_str(), nullptr, 10);
    if (n < 0)
        n = 0;
    if (n > 100000)
        n = 100000;  // a count beyond any list the program sends
    std::string base = element.Get("items");
    live.entries.clear();
    for (long i = 0; i < n; ++i) {
        auto item = variables_.find(base + std::to_string(i));
        if (item != variables_.end())
            live.entries.push_back(item->second);
    }
    bool combo = element.kind == Scene::Kind::Combo;
    SendMessageA(live.control, combo ? CB_RESETCONTENT : LB_RESETCONTENT, 0, 0);
    for (const std::string& entry : live.entries)
        SendMessageA(live.control, combo ? CB_ADDSTRING : LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
    if (combo && !live.entries.empty()) {
        SendMessageA(live.control, CB_SETCURSEL, 0, 0);
        if (element.Has("selected"))
            variables_[element.Get("selected")] = live.entries.front();
    }
}

// The combo's entry equal to `value` (letter case and all), or none when there is no such entry.
void Player::SelectExactly(Live& live, const std::string& value)
{
    int index = -1;
    for (size_t i = 0; i < live.entries.size(); ++i) {
        if (live.entries[i] == value) {
            index = static_cast<int>(i);
            break;
        }
    }
    SendMessageA(live.control, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void Player::DropSelected(Live& live)
{
    const Scene::Element& element = *live.element;
    LRESULT selected = SendMessageA(live.control, LB_GETCURSEL, 0, 0);
    if (selected >= 0 && static_cast<size_t>(selected) < live.entries.size()) {
        live.entries.erase(live.entries.begin() + selected);
        SendMessageA(live.control, LB_DELETESTRING, static_cast<WPARAM>(selected), 0);
    }
    variables_[element.Get("selected")].clear();
    if (element.Has("counter"))
        variables_[element.Get("counter")] = std::to_string(live.entries.size());
}

void Player::ApplyAssignment(const Scene::Element& element)
{
    std::string name, value;
    if (element.Has("set") && Scene::SplitAssignment(element.Get("set"), name, value))
        Store(name, value);
}

void Player::MeasureItem(MEASUREITEMSTRUCT& item)
{
    size_t index = static_cast<size_t>(item.CtlID) - FirstControlId;
    HFONT font = index < scene_.elements.size() ? FontFor(scene_.elements[index]) : nullptr;
    int height = 16;
    AutoWindowDC dc(window_);
    if (dc) {
        AutoSelectObject selected(dc.Get(), font ? font : GetStockObject(DEFAULT_GUI_FONT));
        TEXTMETRICA metrics;
        if (GetTextMetricsA(dc.Get(), &metrics))
            height = metrics.tmHeight + metrics.tmHeight / 3;  // a little air between the lines
    }
    item.itemHeight = static_cast<UINT>(height);
}

void Player::DrawItem(const DRAWITEMSTRUCT& item)
{
    if (item.CtlType != ODT_LISTBOX)
        return;
    HDC dc = item.hDC;
    RECT rect = item.rcItem;
    bool selected = (item.itemState & ODS_SELECTED) != 0;
    FillRect(dc, &rect, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    if (item.itemID != static_cast<UINT>(-1)) {
        LRESULT length = SendMessageA(item.hwndItem, LB_GETTEXTLEN, item.itemID, 0);
        std::string text(length > 0 ? static_cast<size_t>(length) + 1 : 1, '\0');
        if (length > 0 && SendMessageA(item.hwndItem, LB_GETTEXT, item.itemID, reinterpret_cast<LPARAM>(&text[0])) > 0)
            text.resize(static_cast<size_t>(length));
        else
            text.clear();
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
        RECT textRect = rect;
        textRect.left += 4;
        textRect.right -= 4;
        size_t index = static_cast<size_t>(item.CtlID) - FirstControlId;
        bool path = index < scene_.elements.size() && scene_.elements[index].Get("ellipsis") == "path";
        DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &textRect,
                  DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | (path ? DT_PATH_ELLIPSIS : DT_END_ELLIPSIS));
    }
    if (item.itemState & ODS_FOCUS)
        DrawFocusRect(dc, &rect);
}

void Player::Store(const std::string& name, const std::string& value)
{
    variables_[name] = value;
    Apply(name);
}

// Pushes a changed variable into every element bound to it; signals are consumed here.
void Player::Apply(const std::string& name)
{
    applying_ = true;
    const std::string value = variables_[name];
    for (Live& live : live_) {
        const Scene::Element& element = *live.element;
        if (!live.control)
            continue;
        switch (element.kind) {
        case Scene::Kind::Label:
        case Scene::Kind::Edit:
            if (element.Get("var") == name)
                SetWindowTextA(live.control, value.c_str());
            break;
        case Scene::Kind::Message:
            if (element.Get("var") == name)
                SetMessageText(live, value);
            break;
        case Scene::Kind::Radio:
            if (element.Get("var") == name)
                SendMessageA(live.control, BM_SETCHECK, value == element.Get("value") ? BST_CHECKED : BST_UNCHECKED,
                             0);
            break;
        case Scene::Kind::Combo: {
            std::string base = element.Get("items");
            bool isItem = !base.empty() && name.size() > base.size() && name.compare(0, base.size(), base) == 0 &&
                          name.find_first_not_of("0123456789", base.size()) == std::string::npos;
            if (element.Has("items") && (name == element.Get("count") || isItem))
                RefillFromIndex(live);
            if (name == element.Get("selected"))
                SelectExactly(live, value);
            break;
        }
        case Scene::Kind::List:
            if (name == element.Get("add") && value == "1") {
                const std::string entry = variables_[element.Get("value")];
                live.entries.push_back(entry);
                SendMessageA(live.control, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
                variables_[name] = "0";
                if (element.Has("counter"))
                    variables_[element.Get("counter")] = std::to_string(live.entries.size());
            } else if (name == element.Get("clear") && value == "1") {
                live.entries.clear();
                SendMessageA(live.control, LB_RESETCONTENT, 0, 0);
                variables_[name] = "0";
                if (element.Has("selected"))
                    variables_[element.Get("selected")].clear();
            } else if (element.Has("items") && name == element.Get("done") && value == "1") {
                RefillFromIndex(live);
                variables_[name] = "0";
            } else if (name == element.Get("drop") && value == "1") {
                DropSelected(live);
                variables_[name] = "0";
            }
            break;
        default:
            break;
        }
    }
    applying_ = false;
}

void Player::Fire(const std::string& command, const std::string& args)
{
    FSCommandNotify notify = {};
    notify.header.hwndFrom = window_;
    notify.header.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(window_));
    notify.header.code = NotifyFSCommand;
    notify.command = command.c_str();
    notify.args = args.c_str();
    // The parent may end its dialog in the handler; nothing of ours is touched afterwards.
    SendMessageA(GetParent(window_), WM_NOTIFY, notify.header.idFrom, reinterpret_cast<LPARAM>(&notify));
}

void Player::OnControlCommand(int id, int code)
{
    size_t index = static_cast<size_t>(id - FirstControlId);
    if (id < FirstControlId || index >= live_.size() || applying_)
        return;
    Live& live = live_[index];
    const Scene::Element& element = *live.element;
    switch (element.kind) {
    case Scene::Kind::Button: {
        // A disabled button may still be sent a click; a button pressed once stays pressed.
        if (code != BN_CLICKED || !IsWindowEnabled(live.control))
            return;
        std::string command = element.Get("command");
        std::string args = element.Has("argvar") ? variables_[element.Get("argvar")] : element.Get("arg");
        if (element.Has("once"))
            EnableWindow(live.control, FALSE);  // the result says only whether it was enabled
        ApplyAssignment(element);
        if (element.Has("goto"))
            ShowFrame(std::atoi(element.Get("goto").c_str()));
        if (element.Has("id")) {
            // The window's own command, as its plain button under the movie would send it.
            int id = std::atoi(element.Get("id").c_str());
            PostMessageA(GetParent(window_), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);  // the window outlives the post
        }
        if (!command.empty())
            Fire(command, args);
        return;
    }
    case Scene::Kind::Radio: {
        if (code != BN_CLICKED)
            return;
        Store(element.Get("var"), element.Get("value"));
        std::string command = element.Get("command");
        if (!command.empty())
            Fire(command, element.Has("argvar") ? variables_[element.Get("argvar")] : element.Get("arg"));
        return;
    }
    case Scene::Kind::Edit:
        if (code == EN_CHANGE)
            variables_[element.Get("var")] = WindowText(live.control);
        return;
    case Scene::Kind::List:
        if (code == LBN_SELCHANGE && element.Has("selected")) {
            LRESULT selected = SendMessageA(live.control, LB_GETCURSEL, 0, 0);
            variables_[element.Get("selected")] =
                selected >= 0 && static_cast<size_t>(selected) < live.entries.size() ? live.entries[selected] : "";
        }
        return;
    case Scene::Kind::Combo: {
        if (code != CBN_SELCHANGE)
            return;
        LRESULT selected = SendMessageA(live.control, CB_GETCURSEL, 0, 0);
        std::string entry =
            selected >= 0 && static_cast<size_t>(selected) < live.entries.size() ? live.entries[selected] : "";
        if (element.Has("selected"))
            Store(element.Get("selected"), entry);
        ApplyAssignment(element);
        if (element.Has("command"))
            Fire(element.Get("command"), entry);
        return;
    }
    default:
        return;
    }
}

HBRUSH Player::BrushFor(unsigned long rgb)
{
    auto& brush = brushes_[rgb];
    if (!brush)
        brush.reset(new (std::nothrow) AutoGdi(CreateSolidBrush(FromRgb(rgb))));
    return brush ? static_cast<HBRUSH>(brush->Get()) : static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
}

LRESULT Player::ColourStatic(HDC dc, HWND control)
{
    unsigned long back = background_;
    for (const Live& live : live_) {
        if (live.control != control)
            continue;
        unsigned long rgb = 0;
        if (Scene::ParseColour(live.element->Get("background"), rgb))
            back = rgb;
        if (Scene::ParseColour(live.element->Get("color"), rgb))
            SetTextColor(dc, FromRgb(rgb));
        break;
    }
    SetBkColor(dc, FromRgb(back));
    return reinterpret_cast<LRESULT>(BrushFor(back));
}

void Player::Paint()
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window_, &paint);
    if (!dc)
        return;
    RECT client;
    GetClientRect(window_, &client);
    FillRect(dc, &client, BrushFor(background_));
    // Filled panels first, outlines over them.
    for (bool outlines : {false, true}) {
        for (const Live& live : live_) {
            unsigned long rgb = 0;
            if (live.element->kind != Scene::Kind::Panel || !InFrame(*live.element) ||
                live.element->Has("outline") != outlines || !Scene::ParseColour(live.element->Get("color"), rgb))
                continue;
            if (outlines)
                FrameRect(dc, &live.rect, BrushFor(rgb));
            else
                FillRect(dc, &live.rect, BrushFor(rgb));
        }
    }
    EndPaint(window_, &paint);
}

LRESULT Player::Handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case SetMovie:
        return Load(reinterpret_cast<const char*>(lParam)) ? TRUE : FALSE;
    case SetScale:
        scale_ = lParam ? reinterpret_cast<const char*>(lParam) : "ShowAll";
        Layout();
        return TRUE;
    case SetAlignMode:
        align_ = static_cast<int>(wParam);
        Layout();
        return TRUE;
    case SetBackgroundColor:
        background_ = static_cast<unsigned long>(wParam) & 0xFFFFFF;
        InvalidateRect(window_, nullptr, TRUE);
        return TRUE;
    case GotoFrame:
        if (loaded_)
            ShowFrame(static_cast<int>(wParam));
        return TRUE;
    case SetVariable:
        if (wParam)
            Store(reinterpret_cast<const char*>(wParam), lParam ? reinterpret_cast<const char*>(lParam) : "");
        return TRUE;
    case GetVariable: {
        auto* out = reinterpret_cast<std::string*>(lParam);
        if (!wParam || !out)
            return FALSE;
        auto found = variables_.find(reinterpret_cast<const char*>(wParam));
        *out = found == variables_.end() ? std::string() : found->second;
        return TRUE;
    }
    case CaptionChanged:
        for (const Live& live : live_)
            if (live.control && live.element->Has("caption"))
                SetWindowTextA(live.control, WindowText(GetParent(window_)).c_str());
        return TRUE;
    case GetReadyState:
        return loaded_ ? ReadyStateComplete : ReadyStateNone;
    case GetDefaultButton:
        for (const Live& live : live_)
            if (live.control && live.element->kind == Scene::Kind::Button && live.element->Has("default") &&
                InFrame(*live.element))
                return reinterpret_cast<LRESULT>(live.control);
        return 0;
    case WM_COMMAND:
        OnControlCommand(LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_MEASUREITEM:
        if (lParam)
            MeasureItem(*reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
        return TRUE;
    case WM_DRAWITEM:
        if (lParam)
            DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        return ColourStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_ERASEBKGND:
        return TRUE;  // WM_PAINT fills everything
    case WM_PAINT:
        Paint();
        return 0;
    case WM_SIZE:
        if (loaded_)
            Layout();
        return 0;
    case WM_LBUTTONDOWN: {
        POINT point = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        for (const Live& live : live_) {
            if (live.element->kind == Scene::Kind::Drag && InFrame(*live.element) && PtInRect(&live.rect, point)) {
                Fire("IDC_FS_Drag", "");
                return 0;
            }
        }
        return 0;
    }
    // A multi-line text field in a dialog treats its parent as the dialog: Escape closes it,
    // Enter asks for the default button. The dialog is the player's parent.
    case WM_CLOSE:
        SendMessageA(GetParent(window_), WM_CLOSE, 0, 0);
        return 0;
    case DM_GETDEFID:
    case WM_NEXTDLGCTL:
        return SendMessageA(GetParent(window_), message, wParam, lParam);
    case WM_GETDLGCODE:
        return DLGC_STATIC;  // the player itself takes no keys; its controls do
    default:
        return DefWindowProcA(window_, message, wParam, lParam);
    }
}

LRESULT CALLBACK PlayerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        Player* player = new (std::nothrow) Player(window);
        if (!player)
            return FALSE;
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(player));
        return DefWindowProcA(window, message, wParam, lParam);
    }
    auto* player = reinterpret_cast<Player*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        delete player;
        return DefWindowProcA(window, message, wParam, lParam);
    }
    if (!player)
        return DefWindowProcA(window, message, wParam, lParam);
    // No exception leaves a window procedure: the system's code between it and us knows none.
    try {
        return player->Handle(message, wParam, lParam);
    } catch (...) {
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

}  // namespace

bool ReadSmallFile(const char* path, size_t maxSize, std::string& text)
{
    text.clear();
    AutoHandle file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file)
        return false;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file.Get(), &size) || size.QuadPart > static_cast<LONGLONG>(maxSize))
        return false;
    std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!bytes.empty() && (!ReadFile(file.Get(), &bytes[0], static_cast<DWORD>(bytes.size()), &read, nullptr) ||
                           read != bytes.size()))
        return false;
    text = std::move(bytes);
    return true;
}

bool Register()
{
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    HINSTANCE instance = GetModuleHandleA(nullptr);
    if (GetClassInfoExA(instance, ClassName, &windowClass))
        return true;
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = PlayerProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.lpszClassName = ClassName;
    return RegisterClassExA(&windowClass) != 0;
}

}  // namespace MoviePlayer
