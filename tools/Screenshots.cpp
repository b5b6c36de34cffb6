// Takes the README's pictures from the real program: it starts bALDRIX through
// the end-to-end driver, brings it into each state with real input and saves
// the part of the screen that shows it as a BMP file. scripts/screenshots runs
// it on a virtual display and turns the files into PNG.
//
//     screenshots.exe <folder>
#include "tests/support/AppDriver.h"
#include "tests/support/Pixels.h"

#include <algorithm>
#include <cstdio>
#include <string>

namespace {

// Room around each picture, so that the frame's edge shows against the desktop.
constexpr int kMargin = 8;

// The main window's size; the settings file centres it on the screen, where
// the dialogs (centred on the screen too) then stand over it as they would
// for a user.
constexpr int kWindowWidth = 560;
constexpr int kWindowHeight = 370;

const char* const kChat[] = {
    "Hello! This is bALDRIX 0.1.",
    "Enter sends a line, Esc clears the input field.",
    "F2 saves the transcript as a log file.",
};
const char kTyping[] = "Typing the next line";

std::string g_folder;
int g_failures = 0;

void Fail(const char* what) {
    std::fprintf(stderr, "screenshots: %s\n", what);
    ++g_failures;
}

// Lets the program finish painting what the last input changed.
void Quiet(RunningApp& app) {
    app.Settle();
    Sleep(400);
    app.Settle();
}

RECT Grown(RECT r, int by) {
    return RECT{r.left - by, r.top - by, r.right + by, r.bottom + by};
}

RECT Union(const RECT& a, const RECT& b) {
    return RECT{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                std::max(a.bottom, b.bottom)};
}

RECT OnScreen(RECT r) {
    r.left = std::max<LONG>(r.left, 0);
    r.top = std::max<LONG>(r.top, 0);
    r.right = std::min<LONG>(r.right, GetSystemMetrics(SM_CXSCREEN));
    r.bottom = std::min<LONG>(r.bottom, GetSystemMetrics(SM_CYSCREEN));
    return r;
}

// Saves a part of the screen as a BMP file.
bool SaveRegion(RECT region, const char* name) {
    region = OnScreen(region);
    const Image shot = CaptureScreen(region);
    const std::string bytes = shot.BmpFile();
    const std::string path = g_folder + "\\" + name + ".bmp";
    const bool saved = shot.Width() > 0 && WriteFileBytes(path, bytes) &&
                       ReadFileBytes(path).size() == bytes.size();
    if (!saved) {
        std::string what = std::string("could not save ") + name;
        Fail(what.c_str());
    } else {
        std::printf("screenshots: %s (%d x %d)\n", name, shot.Width(), shot.Height());
    }
    return saved;
}

void MainWindowShot(RunningApp& app) {
    for (const char* line : kChat) {
        app.SendTyped(line);
    }
    app.Type(kTyping);
    if (app.InputText() != kTyping) {
        Fail("the input field did not take the typed text");
    }
    Quiet(app);
    SaveRegion(Grown(ScreenRect(app.Main()), kMargin), "main-window");
}

// A menu opened from the keyboard, with the main window behind it.
void MenuShot(RunningApp& app, const char* name, void (*open)(RunningApp&)) {
    open(app);
    const HWND popup = app.WaitForMenu();
    if (popup == nullptr) {
        std::string what = std::string("no menu for ") + name;
        Fail(what.c_str());
    } else {
        Quiet(app);
        SaveRegion(Grown(Union(ScreenRect(app.Main()), ScreenRect(popup)), kMargin), name);
    }
    // Esc closes the pop-up, the next leaves the menu bar.
    for (int i = 0; i < 4 && InMenuMode(app.Main()); ++i) {
        app.Press(VK_ESCAPE);
    }
    app.Activate();
}

// The menu "Command": Alt, Right to "Command", Down into it. (Its place in the
// menu bar cannot be asked from another process under Wine, so no click.)
void OpenCommandMenu(RunningApp& app) {
    app.PressEach({VK_MENU, VK_RIGHT, VK_DOWN});
}

// The transcript's menu: Tab into the transcript, Shift+F10.
void OpenTranscriptMenu(RunningApp& app) {
    app.Press(VK_TAB);
    app.Press(VK_F10, false, true);
}

void DialogShot(RunningApp& app, const char* name, void (*open)(RunningApp&), WORD closeKey) {
    open(app);
    const HWND dialog = app.WaitForDialog();
    if (dialog == nullptr) {
        std::string what = std::string("no dialog for ") + name;
        Fail(what.c_str());
        return;
    }
    Quiet(app);
    SaveRegion(Grown(Union(ScreenRect(app.Main()), ScreenRect(dialog)), kMargin), name);
    app.Press(closeKey);
    if (!WaitFor([&] { return app.ShownDialog() == nullptr; }, 5000)) {
        std::string what = std::string("the dialog stayed open: ") + name;
        Fail(what.c_str());
    }
    app.Activate();
}

// Help > About bALDRIX from the keyboard: Alt, Right twice, Down, Enter.
void OpenAboutByMenu(RunningApp& app) {
    app.PressEach({VK_MENU, VK_RIGHT, VK_RIGHT, VK_DOWN, VK_RETURN});
}

void OpenOptionsByKey(RunningApp& app) {
    app.Press(VK_F9);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: screenshots <folder>\n");
        return 2;
    }
    g_folder = argv[1];

    RunningApp app;
    const int left = (GetSystemMetrics(SM_CXSCREEN) - kWindowWidth) / 2;
    const int top = (GetSystemMetrics(SM_CYSCREEN) - kWindowHeight) / 2;
    char ini[256];
    wsprintfA(ini,
              "[Window]\r\nTop=%d\r\nLeft=%d\r\nRight=%d\r\nBottom=%d\r\n"
              "[Options]\r\nNickname=Ada\r\n",
              top, left, left + kWindowWidth, top + kWindowHeight);
    app.WriteIni(ini);
    if (!app.Start()) {
        std::fprintf(stderr, "screenshots: bALDRIX did not start\n");
        return 1;
    }
    Quiet(app);

    MainWindowShot(app);
    MenuShot(app, "command-menu", OpenCommandMenu);
    MenuShot(app, "transcript-menu", OpenTranscriptMenu);
    DialogShot(app, "about-box", OpenAboutByMenu, VK_RETURN);
    DialogShot(app, "options-dialog", OpenOptionsByKey, VK_ESCAPE);

    if (app.Close() != 0) {
        Fail("bALDRIX did not close with exit code 0");
    }
    return g_failures == 0 ? 0 : 1;
}
