#include "ui/fltk/FltkBackend.h"

#include "ui/Backends.h"
#include "ui/Input.h"
#include "ui/fltk/ChooserNameField.h"
#include "ui/fltk/DialogUnits.h"
#include "ui/fltk/DialogWindow.h"
#include "ui/fltk/MessageBoxWindow.h"
#include "ui/fltk/Paint.h"
#include "ui/fltk/SaveBoxStart.h"
#include "ui/fltk/TextEdge.h"
#include "win32/ResourceTable.h"
#include "ui/script/ScriptBackend.h"
#include "win32/DriveMap.h"
#include "win32/Mbcs.h"
#include "win32/PlatformConfig.h"
#include "win32/WindowRegistry.h"

#include <FL/Fl.H>
#include <FL/Fl_File_Chooser.H>
#include <FL/Fl_Window.H>
#include <FL/Fl_Native_File_Chooser.H>
#include <FL/Fl_Pixmap.H>
#include <FL/Fl_RGB_Image.H>
#include <FL/Fl_Tooltip.H>
#include <FL/fl_ask.H>
#include <FL/x.H>

#include <sys/stat.h>
#include <time.h>

#include <cstdio>
#include <cstdlib>
#include <string>

using win::WindowRegistry;
using win::WindowState;

namespace ui {

void RegisterFltkBackend() { Backends::Register("fltk", &FltkBackend::Create); }

namespace {

// Repaints while the run keeps the thread: at most one per frame.
constexpr double FrameSeconds = 1.0 / 60;
// How often the save box may be offered again after a choice outside every drive.
constexpr int MaxSaveAttempts = 20;

FltkBackend* s_current = nullptr;

double Now()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

bool IsUserInput(int event)
{
    switch (event) {
    case FL_PUSH:
    case FL_RELEASE:
    case FL_DRAG:
    case FL_KEYBOARD:
    case FL_KEYUP:
    case FL_SHORTCUT:
    case FL_MOUSEWHEEL:
    case FL_CLOSE:
    case FL_PASTE:
    case FL_DND_ENTER:
    case FL_DND_DRAG:
    case FL_DND_LEAVE:
    case FL_DND_RELEASE: return true;
    default: return false;
    }
}

bool IsOurs(Fl_Window* w)
{
    return w && (dynamic_cast<DialogWindow*>(w) || dynamic_cast<MessageBoxWindow*>(w));
}

// Opens the display once per process; false when there is none.
bool OpenDisplay()
{
    if (fl_display) return true;
    Display* d = XOpenDisplay(nullptr);
    if (!d) return false;
    fl_open_display(d);
    return true;
}

std::string Utf8(const char* cp932) { return mbcs::Cp932ToUtf8(cp932); }

// The file chooser's own labels, in the program's language (kept for the
// process: the chooser holds the pointers).
void LabelChooser()
{
    static const std::string filename = Utf8("ファイル名:"), save = Utf8("保存"), show = Utf8("表示:"),
                             all = Utf8("すべてのファイル (*)"), newDir = Utf8("新しいフォルダー名:"),
                             newTip = Utf8("新しいフォルダーを作成します。"), hidden = Utf8("隠しファイルを表示"),
                             preview = Utf8("プレビュー"), cancel = Utf8("キャンセル"), fav = Utf8("お気に入り"),
                             custom = Utf8("フィルターを指定..."), exists = Utf8("このファイルは既に存在します。"),
                             addFav = Utf8("お気に入りに追加"), manageFav = Utf8("お気に入りの整理"),
                             filesystems = Utf8("ファイル システム");
    Fl_File_Chooser::filename_label = filename.c_str();
    Fl_File_Chooser::save_label = save.c_str();
    Fl_File_Chooser::show_label = show.c_str();
    Fl_File_Chooser::all_files_label = all.c_str();
    Fl_File_Chooser::new_directory_label = newDir.c_str();
    Fl_File_Chooser::new_directory_tooltip = newTip.c_str();
    Fl_File_Chooser::hidden_label = hidden.c_str();
    Fl_File_Chooser::preview_label = preview.c_str();
    Fl_File_Chooser::favorites_label = fav.c_str();
    Fl_File_Chooser::custom_filter_label = custom.c_str();
    Fl_File_Chooser::existing_file_label = exists.c_str();
    Fl_File_Chooser::add_favorites_label = addFav.c_str();
    Fl_File_Chooser::manage_favorites_label = manageFav.c_str();
    Fl_File_Chooser::filesystems_label = filesystems.c_str();
    fl_cancel = cancel.c_str();
}

// The toolkit's own widgets (the file chooser) draw with its Helvetica faces,
// plain and bold ("ファイル名:" and "表示:" are bold labels): every style of
// them becomes the Japanese Gothic, so that Japanese text shows. The first
// character of a face name is its style (' ' plain, 'B' bold, 'I' italic,
// 'P' both); a bold of a face without one is made by the font library.
void UseJapaneseToolkitFaces()
{
    static const Fl_Font faces[] = {FL_HELVETICA, FL_HELVETICA_BOLD, FL_HELVETICA_ITALIC, FL_HELVETICA_BOLD_ITALIC};
    static const std::string family = std::string(DialogUnits::XftNameFor("")).substr(1);
    static const std::string names[] = {" " + family, "B" + family, "I" + family, "P" + family};  // kept by the toolkit
    for (int i = 0; i < 4; ++i) Fl::set_font(faces[i], names[i].c_str());
}

// The chooser for a save (or open) box. Its accept button says what it does
// (the toolkit's own "OK" otherwise); the button takes its label when the
// chooser is made, so the toolkit's default is changed for that moment only
// and its other boxes keep "OK".
std::unique_ptr<Fl_Native_File_Chooser> MakeChooser(bool forOpening)
{
    static const std::string save = Utf8("保存"), open = Utf8("開く");
    const char* saved = fl_ok;
    fl_ok = forOpening ? open.c_str() : save.c_str();
    auto chooser = std::make_unique<Fl_Native_File_Chooser>(forOpening ? Fl_Native_File_Chooser::BROWSE_FILE
                                                                      : Fl_Native_File_Chooser::BROWSE_SAVE_FILE);
    fl_ok = saved;
    return chooser;
}

// The application's icon (the conventional id of the main icon), as the icon
// of every window the toolkit opens. Without one, or when its image cannot
// be read, the windows keep the toolkit's default.
void SetApplicationIcon()
{
    constexpr UINT MainIconId = 128;
    const char* const* xpm = ResourceTable::FindIcon(MainIconId);
    if (!xpm) return;
    Fl_Pixmap pixmap(xpm);
    if (pixmap.w() <= 0 || pixmap.h() <= 0) return;
    // Transparent pixels of the image stay transparent in the copy the
    // toolkit keeps.
    Fl_RGB_Image image(&pixmap);
    Fl_Window::default_icon(&image);
}

bool IsHostDir(const std::string& path)
{
    struct stat st{};
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The file the chooser is preset with for the box's file `name` (code page
// 932) in the host folder `hostDir`: none for a name with wildcards (a
// filter, not a file). The toolkit's chooser resolves a preset name against
// the process's current directory and shows that directory, whatever folder
// it was given, so a bare name would open the box elsewhere and, accepted
// unchanged, name a file there: the name goes in as a path in the box's
// folder (the desktop's chooser of this toolkit version takes its last part).
std::string PresetFile(const std::string& hostDir, const std::string& name)
{
    if (name.empty() || TextEdge::HasWildcards(name)) return {};
    std::string utf8 = mbcs::Cp932ToUtf8(name);
    if (!IsHostDir(hostDir)) return utf8;
    return hostDir + (hostDir.back() == '/' ? "" : "/") + utf8;
}

}  // namespace

std::unique_ptr<Backend> FltkBackend::Create() { return std::make_unique<FltkBackend>(); }

FltkBackend::~FltkBackend() { Stop(); }

void FltkBackend::CloseDisplay()
{
    if (fl_display) fl_close_display();
}

void FltkBackend::Start()
{
    m_started = true;
    s_current = this;
    m_idleLimit = std::atof(PlatformConfig::Lookup("FLTK_IDLE_LIMIT", "0").c_str());
    if (m_idleLimit < 0) m_idleLimit = 0;
    m_display = OpenDisplay();
    if (!m_display) {
        const char* name = XDisplayName(nullptr);
        std::fprintf(stderr,
                     "zelkor: the fltk backend cannot open the display \"%s\" (DISPLAY); no window can be shown, "
                     "so every window that waits for input is cancelled\n",
                     name ? name : "");
        return;
    }
    Fl::event_dispatch(&FltkBackend::Dispatch);
    Fl::background(212, 208, 200);
    // Windows that are not the framework's (the file chooser) have this class.
    Fl_Window::default_xclass("zelkor");
    m_font = DialogUnits::FontFor("");
    UseJapaneseToolkitFaces();
    m_fontSize = DialogUnits::PixelsOfPoints(9);
    Fl_Tooltip::font(m_font);
    Fl_Tooltip::size(m_fontSize);
    Fl_Tooltip::color(fl_rgb_color(255, 255, 225));
    Fl_Tooltip::delay(0.5f);
    FL_NORMAL_SIZE = m_fontSize;
    LabelChooser();
    SetApplicationIcon();
    // The desktop's own file chooser (GTK) only in a desktop session and
    // with no idle limit: its loop is not the toolkit's, so an unattended
    // run could not cancel it. Otherwise FLTK's own chooser.
    const char* desktop = std::getenv("XDG_CURRENT_DESKTOP");
    Fl::option(Fl::OPTION_FNFC_USES_GTK, desktop && *desktop && m_idleLimit == 0);
    m_lastInput = Now();
}

void FltkBackend::Stop()
{
    if (!m_started) return;
    m_started = false;
    for (auto& [hwnd, window] : m_windows) {
        window->hide();
        delete window;
    }
    m_windows.clear();
    m_raise.clear();
    m_input.clear();
    if (m_display) Fl::flush();
    if (s_current == this) s_current = nullptr;
}

DialogWindow* FltkBackend::WindowOf(HWND window) const
{
    auto it = m_windows.find(window);
    return it == m_windows.end() ? nullptr : it->second;
}

// --- Input -----------------------------------------------------------------

int FltkBackend::Dispatch(int event, Fl_Window* window)
{
    FltkBackend* self = s_current;
    if (self && IsUserInput(event)) {
        if (!self->AcceptsInput(window)) return 1;  // taken, and dropped
        self->m_lastInput = Now();
    }
    return Fl::handle_(event, window);
}

bool FltkBackend::AcceptsInput(Fl_Window* window) const
{
    if (m_input.empty() || !window) return false;
    const InputEntry& top = m_input.back();
    Fl_Window* topLevel = window->top_window();
    switch (top.takes) {
    case Takes::Window: return topLevel == top.window;
    case Takes::Foreign: return !IsOurs(topLevel);
    default: return false;
    }
}

bool FltkBackend::IdleExpired() const { return m_idleLimit > 0 && Now() - m_lastInput > m_idleLimit; }

void FltkBackend::NoInput(const std::string& what, const std::string& fallback)
{
    std::string why = m_display ? "it had no input for " + std::to_string(static_cast<int>(m_idleLimit)) +
                                      " seconds (ZELKOR_FLTK_IDLE_LIMIT)"
                                : "there is no display";
    std::fprintf(stderr, "zelkor: %s waits for input and %s; %s\n", mbcs::Cp932ToUtf8(what).c_str(), why.c_str(),
                 fallback.c_str());
}

// --- Windows ---------------------------------------------------------------

void FltkBackend::ApplyCursor(DialogWindow* window)
{
    if (window->shown()) window->cursor(m_wait ? FL_CURSOR_WAIT : FL_CURSOR_DEFAULT);
}

void FltkBackend::WindowShown(HWND hwnd, bool shown)
{
    if (!m_display) return;
    WindowState* w = WindowRegistry::Find(hwnd);
    if (!w) return;
    DialogWindow* window = WindowOf(hwnd);
    if (!shown) {
        if (window) window->hide();
        Fl::flush();
        return;
    }
    if (!window) {
        window = new DialogWindow(hwnd);
        m_windows[hwnd] = window;
        window->Place(WindowOf(w->parent));
        if (w->modal) window->set_modal();
    }
    window->Sync();
    window->show();
    ApplyCursor(window);
    Fl::flush();
}

void FltkBackend::WindowDestroyed(HWND hwnd)
{
    auto it = m_windows.find(hwnd);
    if (it == m_windows.end()) return;
    DialogWindow* window = it->second;
    m_windows.erase(it);
    m_raise.erase(hwnd);
    for (InputEntry& e : m_input)
        if (e.window == window) e = {Takes::Nothing, nullptr};
    window->hide();
    // The window may be the one whose event is being handled: deleted once
    // the toolkit is back in its loop.
    Fl::delete_widget(window);
}

void FltkBackend::ControlChanged(HWND hwnd, Change what)
{
    if (!m_display) return;
    if (DialogWindow* top = WindowOf(hwnd)) {
        if (what == Change::Text) {
            top->MarkCaption();
            m_unpainted = true;
        }
        return;
    }
    for (auto& [h, window] : m_windows) {
        if (ControlView* view = window->ViewOf(hwnd)) {
            window->MarkControl(view);
            if (what != Change::Progress) m_unpainted = true;
            if (what == Change::ToolTip) window->SyncToolTips();
            return;
        }
    }
}

void FltkBackend::SyncAll()
{
    for (auto& [hwnd, window] : m_windows) window->Sync();
    for (HWND h : m_raise)
        if (DialogWindow* window = WindowOf(h); window && window->shown() && window->visible()) window->show();
    m_raise.clear();
}

void FltkBackend::Repaint(HWND)
{
    if (!m_display) return;
    double now = Now();
    if (!m_unpainted && m_lastRepaint >= 0 && now - m_lastRepaint < FrameSeconds) return;
    m_unpainted = false;
    m_lastRepaint = now;
    ++m_repaints;
    SyncAll();
    m_input.push_back({Takes::Nothing, nullptr});
    Fl::check();
    m_input.pop_back();
}

void FltkBackend::Raise(HWND window)
{
    if (m_display) m_raise.insert(window);
}

void FltkBackend::WaitCursor(bool on)
{
    m_wait = on;
    if (!m_display) return;
    for (auto& [hwnd, window] : m_windows) ApplyCursor(window);
    Fl::flush();
}

void FltkBackend::CallerEvent(uint32_t, const std::string&, bool)
{
    // The caller's windows are another process's: nothing of ours to show.
}

// --- Modal loops ----------------------------------------------------------

void FltkBackend::RunModal(HWND dialog)
{
    Input::Pump();
    DialogWindow* window = WindowOf(dialog);
    if (!window && m_display && !Input::IsEnded(dialog) && IsWindowVisible(dialog)) {
        WindowShown(dialog, true);
        window = WindowOf(dialog);
    }
    if (!window) {
        if (Input::IsEnded(dialog)) return;
        WindowState* w = WindowRegistry::Find(dialog);
        NoInput("the dialog \"" + (w ? w->text : std::string()) + "\"", "sending the cancel command");
        Input::CancelCommand(dialog);
        if (!Input::IsEnded(dialog)) Input::ForceEnd(dialog);
        return;
    }
    window->SyncToolTips();
    m_input.push_back({Takes::Window, window});
    size_t depth = m_input.size();
    m_lastInput = Now();
    while (!Input::IsEnded(dialog)) {
        SyncAll();
        Fl::wait(0.1);
        if (!Input::IsEnded(dialog) && IdleExpired()) {
            WindowState* w = WindowRegistry::Find(dialog);
            NoInput("the dialog \"" + (w ? w->text : std::string()) + "\"", "sending the cancel command");
            m_input.back() = {Takes::Nothing, nullptr};
            Input::CancelCommand(dialog);
            if (!Input::IsEnded(dialog)) Input::ForceEnd(dialog);
        }
    }
    m_input.resize(depth - 1);
    SyncAll();
    Fl::flush();
}

int FltkBackend::MessageBox(const MessageBoxRequest& request)
{
    if (!m_display) {
        int answer = ScriptBackend::CancellingAnswer(request.type);
        NoInput("the message box \"" + request.caption + "\" (" + request.text + ")",
                "answering " + std::to_string(answer));
        return answer;
    }
    SyncAll();
    MessageBoxWindow box(request, m_font, m_fontSize);
    DialogWindow* owner = WindowOf(request.owner ? WindowRegistry::TopLevelOf(request.owner) : nullptr);
    if (owner && owner->shown() && owner->visible())
        box.position(owner->x() + (owner->w() - box.w()) / 2, owner->y() + (owner->h() - box.h()) / 2);
    else
        box.position((Fl::w() - box.w()) / 2, (Fl::h() - box.h()) / 2);
    box.set_modal();
    box.show();
    m_input.push_back({Takes::Window, &box});
    size_t depth = m_input.size();
    m_lastInput = Now();
    while (!box.Answer()) {
        Fl::wait(0.1);
        if (!box.Answer() && IdleExpired()) {
            int answer = ScriptBackend::CancellingAnswer(request.type);
            NoInput("the message box \"" + request.caption + "\"", "answering " + std::to_string(answer));
            box.Choose(answer);
        }
    }
    m_input.resize(depth - 1);
    box.hide();
    Fl::flush();
    return box.Answer();
}

void FltkBackend::WatchSaveBox(void* data)
{
    auto* self = static_cast<FltkBackend*>(data);
    if (!self->IdleExpired()) {
        Fl::repeat_timeout(0.25, &FltkBackend::WatchSaveBox, data);
        return;
    }
    // The chooser's close box is its cancel.
    for (Fl_Window* w = Fl::first_window(); w; w = Fl::next_window(w))
        if (!IsOurs(w) && w->shown()) {
            w->do_callback();
            break;
        }
    Fl::repeat_timeout(0.25, &FltkBackend::WatchSaveBox, data);
}

bool FltkBackend::ChooseFile(const SaveBoxRequest& request, std::string& hostPath, bool& timedOut)
{
    std::unique_ptr<Fl_Native_File_Chooser> made = MakeChooser(request.forOpening);
    Fl_Native_File_Chooser& chooser = *made;
    std::string title = mbcs::Cp932ToUtf8(!request.title.empty() ? request.title
                                          : request.forOpening    ? std::string("ファイルを開く")
                                                                  : std::string("名前を付けて保存"));
    chooser.title(title.c_str());
    std::string filter = TextEdge::FileFilter(request.filters);
    if (!filter.empty()) chooser.filter(filter.c_str());
    // The folder: the nearest existing one of the file name's own, else of
    // the initial folder; the name field shows the file name.
    const SaveBoxStart start = SaveBoxStart::For(request.initialDir, request.fileName);
    if (!start.hostDir.empty()) chooser.directory(start.hostDir.c_str());
    std::string preset = PresetFile(start.hostDir, start.name);
    if (!preset.empty()) chooser.preset_file(preset.c_str());
    ChooserNameField nameField;
    nameField.Arm();

    m_input.push_back({Takes::Foreign, nullptr});
    m_lastInput = Now();
    Fl::add_timeout(0.25, &FltkBackend::WatchSaveBox, this);
    int r = chooser.show();
    Fl::remove_timeout(&FltkBackend::WatchSaveBox, this);
    nameField.Disarm();
    timedOut = IdleExpired();
    m_input.pop_back();
    if (r == -1) std::fprintf(stderr, "zelkor: the save box failed: %s\n", chooser.errmsg());
    if (r != 0 || !chooser.filename() || !*chooser.filename()) return false;
    hostPath = chooser.filename();
    return true;
}

bool FltkBackend::SaveBox(const SaveBoxRequest& request, std::string& chosenPath)
{
    if (!m_display) {
        NoInput("the save box \"" + request.title + "\"", "cancelling it");
        return false;
    }
    SyncAll();
    for (int attempt = 0; attempt < MaxSaveAttempts; ++attempt) {
        std::string host;
        bool timedOut = false;
        if (!ChooseFile(request, host, timedOut)) {
            if (timedOut) NoInput("the save box \"" + request.title + "\"", "cancelled it");
            return false;
        }
        std::string windowsPath = DriveMap::ToWindowsPath(host);
        if (!windowsPath.empty()) {
            chosenPath = windowsPath;
            return true;
        }
        // A place outside every drive cannot be named by the program.
        MessageBoxRequest refusal;
        refusal.owner = request.owner;
        refusal.caption = request.title.empty() ? std::string("名前を付けて保存") : request.title;
        refusal.text = mbcs::Utf8ToCp932(host) + "\nこの場所はどのドライブにも割り当てられていないため選べません。";
        refusal.type = MB_OK | MB_ICONEXCLAMATION;
        MessageBox(refusal);
    }
    return false;
}

}  // namespace ui

// Under the leak checker (sanitizer builds): the font library's caches, made
// by the toolkit's first text drawing, live until the process ends by design.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\nleak:libXft.so\nleak:libX11.so\n";
}
