#include "ui/Skin.h"

#include "ui/MoviePlayer.h"
#include "ui/SceneFormat.h"
#include "ui/resource.h"

#include <new>

namespace SkinFile {

namespace {

constexpr size_t MaxElements = 16;

bool Number(const std::string& text, int& value)
{
    if (text.empty() || text.size() > 3)
        return false;
    value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + (c - '0');
    }
    return true;
}

}  // namespace

bool Parse(const std::string& text, std::vector<Element>& elements, std::string& error)
{
    elements.clear();
    std::vector<Element> result;
    if (text.size() > MaxFileSize) {
        error = "the file is larger than " + std::to_string(MaxFileSize) + " bytes";
        return false;
    }
    bool haveHeader = false;
    int lineNumber = 0;
    std::vector<std::string> words;
    for (const std::string& line : Scene::SplitLines(text)) {
        ++lineNumber;
        std::string at = "line " + std::to_string(lineNumber) + ": ";
        if (!Scene::SplitWords(line, words)) {
            error = at + "a quote is not closed";
            return false;
        }
        if (words.empty() || words[0][0] == '#')
            continue;
        if (!haveHeader) {
            if (words.size() != 2 || words[0] != "skin" || words[1] != "1") {
                error = at + "the file must begin with \"skin 1\"";
                return false;
            }
            haveHeader = true;
            continue;
        }
        if (words[0] != "element" || words.size() < 3) {
            error = at + "expected \"element NAME rectangle\" or \"element NAME rounded RADIUS\"";
            return false;
        }
        Element element;
        element.name = words[1];
        if (words[2] == "rectangle" && words.size() == 3) {
            element.radius = 0;
        } else if (words[2] == "rounded" && words.size() == 4 && Number(words[3], element.radius) &&
                   element.radius >= 1 && element.radius <= MaxRadius) {
        } else {
            error = at + "bad shape for \"" + element.name + "\"";
            return false;
        }
        for (const Element& other : result) {
            if (other.name == element.name) {
                error = at + "\"" + element.name + "\" given twice";
                return false;
            }
        }
        if (result.size() >= MaxElements) {
            error = at + "more than " + std::to_string(MaxElements) + " elements";
            return false;
        }
        result.push_back(element);
    }
    if (!haveHeader) {
        error = "the file is empty";
        return false;
    }
    elements = std::move(result);
    return true;
}

}  // namespace SkinFile

bool CSkin::Load(const std::string& path)
{
    elements_.clear();
    std::string text;
    if (!MoviePlayer::ReadSmallFile(path.c_str(), SkinFile::MaxFileSize, text))
        return false;
    std::string error;
    return SkinFile::Parse(text, elements_, error);
}

bool CSkin::Apply(HWND window, const std::string& name) const
{
    const SkinFile::Element* element = nullptr;
    for (const SkinFile::Element& candidate : elements_)
        if (candidate.name == name)
            element = &candidate;
    if (!element || !window)
        return false;
    // The client area in the window's own coordinates: the caption and frame fall outside.
    RECT frame, client;
    if (!GetWindowRect(window, &frame) || !GetClientRect(window, &client))
        return false;
    POINT origin = {0, 0};
    if (!ClientToScreen(window, &origin))
        return false;
    int left = origin.x - frame.left, top = origin.y - frame.top;
    RECT corner = {0, 0, element->radius, element->radius};
    MapDialogRect(window, &corner);  // a window that is no dialog keeps the radius in pixels
    HRGN region = element->radius == 0
                      ? CreateRectRgn(left, top, left + client.right, top + client.bottom)
                      : CreateRoundRectRgn(left, top, left + client.right + 1, top + client.bottom + 1,
                                           2 * corner.right, 2 * corner.bottom);
    if (!region)
        return false;
    if (!SetWindowRgn(window, region, TRUE)) {
        DeleteObject(region);  // still ours after a failure
        return false;
    }
    return true;  // the system owns the region now
}

// The splash window: a movie dialog that plays the splash file, disabled so that it takes no
// input, and that destroys itself when its time is up.
class CSplash::Popup : public CMovieDialog {
public:
    explicit Popup(const std::string& path) : CMovieDialog(IDD_SPLASH), path_(path) {}

protected:
    void OnInitDialog() override
    {
        MovieHost& movie = ActiveMovie();
        movie.SetMovie(path_);
        movie.SetScale("NoScale");
        movie.SetAlignMode(1);
        movie.SetBackgroundColor(0x2B579A);
    }
    // A splash without its picture shows nothing at all.
    void ShowFallback() override {}
    bool FiltersMovieInput() const override { return false; }
    bool OnMessage(UINT message, WPARAM wParam, LPARAM, INT_PTR& result) override
    {
        if (message != WM_TIMER || wParam != TimerId)
            return false;
        KillTimer(GetSafeHwnd(), TimerId);  // fails only for a timer already gone
        DestroyWindow();
        result = TRUE;
        return true;
    }

public:
    static constexpr UINT_PTR TimerId = 1;
    bool Playing() const { return MoviePlays(); }

private:
    std::string path_;
};

CSplash::CSplash() = default;
CSplash::~CSplash() = default;

bool CSplash::Show(HWND owner, unsigned milliseconds)
{
    popup_.reset(new (std::nothrow) Popup(path_));
    if (!popup_ || !popup_->Create(owner)) {
        popup_.reset();
        return false;
    }
    HWND window = popup_->GetSafeHwnd();
    if (!popup_->Playing()) {
        popup_.reset();  // nothing to show
        return false;
    }
    RECT own = {}, over = {};
    GetWindowRect(window, &own);
    if (owner && GetWindowRect(owner, &over)) {
        int width = own.right - own.left, height = own.bottom - own.top;
        SetWindowPos(window, HWND_TOP, over.left + (over.right - over.left - width) / 2,
                     over.top + (over.bottom - over.top - height) / 2, 0, 0,
                     SWP_NOSIZE | SWP_NOACTIVATE);  // a failure leaves it centred on the screen
    }
    if (!SetTimer(window, Popup::TimerId, milliseconds, nullptr)) {
        popup_.reset();  // it would never go
        return false;
    }
    ShowWindow(window, SW_SHOWNOACTIVATE);
    return true;
}

HWND CSplash::Window() const
{
    return popup_ ? popup_->GetSafeHwnd() : nullptr;
}
