// The real program under real input: its toolbar buttons clicked with the
// mouse, and the About box and the Options dialog opened and closed every way
// a user would.
#include "tests/support/AppDriver.h"

#include "resources/resource.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

// Centre of a toolbar button in screen coordinates. The toolbar lives in the
// other process, so the rectangle is fetched through memory lent by it.
bool ToolbarButtonCentre(const RunningApp& app, int command, POINT* where) {
    const HWND toolbar = app.Toolbar();
    DWORD_PTR index = 0;
    if (!SendMessageTimeoutA(toolbar, TB_COMMANDTOINDEX, command, 0, SMTO_ABORTIFHUNG, 3000,
                             &index) ||
        static_cast<int>(index) < 0) {
        return false;
    }
    void* remote = VirtualAllocEx(app.Process(), nullptr, sizeof(RECT), MEM_COMMIT | MEM_RESERVE,
                                  PAGE_READWRITE);
    if (remote == nullptr) {
        return false;
    }
    DWORD_PTR ok = 0;
    RECT r{};
    SendMessageTimeoutA(toolbar, TB_GETITEMRECT, index, reinterpret_cast<LPARAM>(remote),
                        SMTO_ABORTIFHUNG, 3000, &ok);
    const bool read = ok && ReadProcessMemory(app.Process(), remote, &r, sizeof r, nullptr);
    VirtualFreeEx(app.Process(), remote, 0, MEM_RELEASE);
    if (!read) {
        return false;
    }
    POINT centre{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    ClientToScreen(toolbar, &centre);
    *where = centre;
    return true;
}

// A left click at a screen point. Every event carries the point itself, and
// the press is handled before the release is sent: under Wine, clicks made
// otherwise sometimes landed where the pointer had been before, or were lost
// on a caption's close box.
void Click(RunningApp& app, POINT screen) {
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = (screen.x * 65536 + width / 2) / width;
    in.mi.dy = (screen.y * 65536 + height / 2) / height;
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SetCursorPos(screen.x, screen.y);
    SendInput(1, &in, sizeof in);
    app.Settle();
    in.mi.dwFlags = MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &in, sizeof in);
    app.Settle();
    in.mi.dwFlags = MOUSEEVENTF_LEFTUP | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &in, sizeof in);
    app.Settle();
}

void ClickToolbarButton(RunningApp& app, int command) {
    POINT centre{};
    ASSERT_TRUE(ToolbarButtonCentre(app, command, &centre)) << "button " << command;
    Click(app, centre);
}

POINT Centre(const RECT& r) {
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// The middle of a window's close box, found by asking the window itself.
bool FindCloseBox(HWND hwnd, POINT* where) {
    RECT r;
    GetWindowRect(hwnd, &r);
    RECT box{r.right, r.bottom, r.left, r.top};
    for (int y = r.top; y < r.top + 40; ++y) {
        for (int x = r.right - 1; x > r.right - 80; --x) {
            DWORD_PTR hit = 0;
            SendMessageTimeoutA(hwnd, WM_NCHITTEST, 0, MAKELPARAM(x, y), SMTO_ABORTIFHUNG, 2000,
                                &hit);
            if (hit == HTCLOSE) {
                box = RECT{std::min(box.left, static_cast<LONG>(x)),
                           std::min(box.top, static_cast<LONG>(y)),
                           std::max(box.right, static_cast<LONG>(x)),
                           std::max(box.bottom, static_cast<LONG>(y))};
            }
        }
    }
    if (box.left > box.right) {
        return false;
    }
    *where = POINT{(box.left + box.right) / 2, (box.top + box.bottom) / 2};
    return true;
}

HWND FocusOf(const RunningApp& app) {
    GUITHREADINFO gui{};
    gui.cbSize = sizeof gui;
    GetGUIThreadInfo(GetWindowThreadProcessId(app.Main(), nullptr), &gui);
    return gui.hwndFocus;
}

bool AnyDialogOf(const RunningApp& app) {
    return FindProcessWindow(app.ProcessId(), "#32770") != nullptr;
}

// After a dialog has gone the main window is usable again: enabled, in front,
// the focus in the input field, and typing lands there.
void ExpectMainWindowBackInCharge(RunningApp& app) {
    EXPECT_TRUE(WaitFor([&] { return !AnyDialogOf(app); }, 5000)) << "the dialog closed";
    EXPECT_TRUE(IsWindowEnabled(app.Main()));
    EXPECT_TRUE(WaitFor([&] { return GetForegroundWindow() == app.Main(); }, 3000));
    EXPECT_TRUE(WaitFor([&] { return FocusOf(app) == app.Input(); }, 3000));
    const std::string before = app.InputText();
    app.Type("ok");
    EXPECT_EQ(app.InputText(), before + "ok");
}

// With BALDRIX_SHOTS set to a folder, the screen is saved there as a BMP file.
void SaveScreen(const char* name) {
    const char* folder = std::getenv("BALDRIX_SHOTS");
    if (folder == nullptr) {
        return;
    }
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    const HDC screen = GetDC(nullptr);
    const HBITMAP shot = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    const HDC dc = CreateCompatibleDC(screen);
    const HGDIOBJ old = SelectObject(dc, shot);
    BitBlt(dc, 0, 0, width, height, screen, 0, 0, SRCCOPY);
    GdiFlush();
    const DWORD size = static_cast<DWORD>(((width * 3 + 3) & ~3) * height);
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info.bmiHeader;
    file.bfSize = file.bfOffBits + size;
    std::string bytes(reinterpret_cast<const char*>(&file), sizeof file);
    bytes.append(reinterpret_cast<const char*>(&info.bmiHeader), sizeof info.bmiHeader);
    bytes.append(static_cast<const char*>(bits), size);
    WriteFileBytes(std::string(folder) + "\\" + name + ".bmp", bytes);
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(shot);
    ReleaseDC(nullptr, screen);
}

enum class Opener { ToolbarButton, Menu, F9 };

HWND OpenAbout(RunningApp& app, Opener how) {
    if (how == Opener::ToolbarButton) {
        ClickToolbarButton(app, IDM_ABOUT);
    } else {
        // Alt, Right twice to "Help", Down into it, Enter on "About bALDRIX".
        app.Press(VK_MENU);
        app.Press(VK_RIGHT);
        app.Press(VK_RIGHT);
        app.Press(VK_DOWN);
        app.Press(VK_RETURN);
    }
    return app.WaitForDialog();
}

HWND OpenOptions(RunningApp& app, Opener how) {
    if (how == Opener::ToolbarButton) {
        ClickToolbarButton(app, IDM_OPTIONS);
    } else if (how == Opener::F9) {
        app.Press(VK_F9);
    } else {
        // Alt, Right to "Command", Down into it, Up wraps to its last item, "Options...".
        app.Press(VK_MENU);
        app.Press(VK_RIGHT);
        app.Press(VK_DOWN);
        app.Press(VK_UP);
        app.Press(VK_RETURN);
    }
    return app.WaitForDialog();
}

HWND ChildWithStyle(HWND dialog, const char* className, LONG typeMask, LONG type) {
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        char name[64] = "";
        GetClassNameA(child, name, sizeof name);
        if (lstrcmpiA(name, className) == 0 &&
            (GetWindowLongA(child, GWL_STYLE) & typeMask) == type) {
            return child;
        }
    }
    return nullptr;
}

TEST(ToolbarButtons, SaveLogOpensTheSameSaveDialogAsF2) {
    RunningApp app;
    ASSERT_TRUE(app.Start());
    app.Press(VK_F2);
    HWND byKey = app.WaitForDialog();
    ASSERT_NE(byKey, nullptr);
    const std::string keyTitle = app.Text(byKey);
    app.Press(VK_ESCAPE);
    ExpectMainWindowBackInCharge(app);

    ClickToolbarButton(app, IDM_SAVELOG);
    HWND byClick = app.WaitForDialog();
    ASSERT_NE(byClick, nullptr) << "the Save log file button opens a dialog";
    EXPECT_EQ(app.Text(byClick), keyTitle);
    EXPECT_FALSE(IsWindowEnabled(app.Main())) << "the save dialog is modal";
    app.Press(VK_ESCAPE);
    ExpectMainWindowBackInCharge(app);
    EXPECT_EQ(app.Close(), 0u);
}

TEST(ToolbarButtons, ConnectDisconnectAndSendFileBreakNothing) {
    RunningApp app;
    ASSERT_TRUE(app.Start());
    app.Type("draft");
    for (const int command : {IDM_CONNECT, IDM_DISCONNECT, IDM_SENDFILE}) {
        SCOPED_TRACE(command);
        ClickToolbarButton(app, command);
        Sleep(300);
        EXPECT_FALSE(AnyDialogOf(app));
        EXPECT_TRUE(app.Running());
        EXPECT_EQ(GetForegroundWindow(), app.Main());
        EXPECT_EQ(FocusOf(app), app.Input()) << "a click on the toolbar keeps the focus";
        EXPECT_EQ(app.Text(app.Main()), "bALDRIX - [Status: OFFLINE]");
    }
    EXPECT_EQ(app.InputText(), "draft");
    app.Press(VK_RETURN);
    EXPECT_EQ(app.ChatText(), "<User> draft\r\n");
    EXPECT_EQ(app.Close(), 0u);
}

TEST(AboutBox, OpensFromTheMenuAndTheToolbarCentredWithIconAndText) {
    RunningApp app;
    ASSERT_TRUE(app.Start());
    SaveScreen("main-window");
    for (const Opener how : {Opener::Menu, Opener::ToolbarButton}) {
        SCOPED_TRACE(how == Opener::Menu ? "Help > About bALDRIX" : "toolbar button");
        HWND about = OpenAbout(app, how);
        ASSERT_NE(about, nullptr);
        SaveScreen("about-box");
        EXPECT_EQ(app.Text(about), "About bALDRIX");
        EXPECT_EQ(GetWindow(about, GW_OWNER), app.Main());
        EXPECT_FALSE(IsWindowEnabled(app.Main()));
        const LONG style = GetWindowLongA(about, GWL_STYLE);
        EXPECT_EQ(style & WS_SYSMENU, 0) << "no system menu, so no close box";

        // Centred in the work area of the screen.
        MONITORINFO monitor{};
        monitor.cbSize = sizeof monitor;
        GetMonitorInfoA(MonitorFromWindow(about, MONITOR_DEFAULTTONEAREST), &monitor);
        RECT r;
        GetWindowRect(about, &r);
        const POINT mid = Centre(r);
        const POINT workMid = Centre(monitor.rcWork);
        EXPECT_LE(std::abs(mid.x - workMid.x), 1);
        EXPECT_LE(std::abs(mid.y - workMid.y), 1);

        // The text: four centred lines in a bordered box.
        const HWND text = ChildWithStyle(about, "Static", SS_TYPEMASK, SS_CENTER);
        ASSERT_NE(text, nullptr);
        // The dialog manager may turn the border into a sunken 3D edge.
        EXPECT_TRUE((GetWindowLongA(text, GWL_STYLE) & WS_BORDER) ||
                    (GetWindowLongA(text, GWL_EXSTYLE) & WS_EX_CLIENTEDGE));
        const std::string lines = app.Text(text);
        EXPECT_EQ(lines.rfind("bALDRIX v0.1\nReal-Time Chat Client-Server\n", 0), 0u) << lines;
        EXPECT_EQ(std::count(lines.begin(), lines.end(), '\n'), 3) << lines;

        // The icon at the top left, before the text.
        const HWND icon = ChildWithStyle(about, "Static", SS_TYPEMASK, SS_ICON);
        ASSERT_NE(icon, nullptr);
        DWORD_PTR hicon = 0;
        SendMessageTimeoutA(icon, STM_GETICON, 0, 0, SMTO_ABORTIFHUNG, 3000, &hicon);
        EXPECT_NE(hicon, 0u) << "the icon control shows an icon";
        RECT iconRect;
        RECT textRect;
        RECT client;
        GetWindowRect(icon, &iconRect);
        GetWindowRect(text, &textRect);
        GetClientRect(about, &client);
        MapWindowPoints(about, HWND_DESKTOP, reinterpret_cast<POINT*>(&client), 2);
        EXPECT_LT(iconRect.right, textRect.left);
        EXPECT_LT(iconRect.left - client.left, 20);
        EXPECT_LT(iconRect.top - client.top, 20);

        const HWND ok = GetDlgItem(about, IDOK);
        ASSERT_NE(ok, nullptr);
        EXPECT_EQ(app.Text(ok), "OK");
        Click(app, Centre([&] {
                  RECT b;
                  GetWindowRect(ok, &b);
                  return b;
              }()));
        ExpectMainWindowBackInCharge(app);
    }
    EXPECT_EQ(app.Close(), 0u);
}

TEST(AboutBox, EnterEscAndAltF4CloseIt) {
    RunningApp app;
    ASSERT_TRUE(app.Start());
    const struct {
        const char* name;
        WORD vk;
        bool alt;
    } closers[] = {{"Enter", VK_RETURN, false}, {"Esc", VK_ESCAPE, false}, {"Alt+F4", VK_F4, true}};
    for (const auto& closer : closers) {
        SCOPED_TRACE(closer.name);
        HWND about = OpenAbout(app, Opener::ToolbarButton);
        ASSERT_NE(about, nullptr);
        app.Press(closer.vk, false, false, closer.alt);
        EXPECT_TRUE(WaitFor([&] { return !IsWindow(about); }, 5000));
        ExpectMainWindowBackInCharge(app);
    }
    EXPECT_TRUE(app.Running()) << "closing the box does not close the program";
    EXPECT_EQ(app.ChatText(), "") << "Enter in the box sent no chat line";
    EXPECT_EQ(app.Close(), 0u);
}

TEST(OptionsDialog, OpensFromF9TheMenuAndTheToolbar) {
    RunningApp app;
    ASSERT_TRUE(app.Start());
    for (const Opener how : {Opener::F9, Opener::Menu, Opener::ToolbarButton}) {
        SCOPED_TRACE(static_cast<int>(how));
        HWND options = OpenOptions(app, how);
        ASSERT_NE(options, nullptr);
        SaveScreen("options-dialog");
        EXPECT_EQ(app.Text(options), "Options");
        EXPECT_EQ(GetWindow(options, GW_OWNER), app.Main());
        EXPECT_TRUE(GetWindowLongA(options, GWL_STYLE) & WS_SYSMENU);
        EXPECT_NE(GetDlgItem(options, IDOK), nullptr);
        app.Press(VK_ESCAPE);
        ExpectMainWindowBackInCharge(app);
    }
    EXPECT_EQ(app.Close(), 0u);
}

TEST(OptionsDialog, CloseBoxOkEnterAndEscCloseIt) {
    RunningApp app;
    ASSERT_TRUE(app.Start());
    for (const char* closer : {"close box", "OK", "Enter", "Esc"}) {
        SCOPED_TRACE(closer);
        HWND options = OpenOptions(app, Opener::F9);
        ASSERT_NE(options, nullptr);
        const std::string how = closer;
        if (how == "close box") {
            POINT box{};
            ASSERT_TRUE(FindCloseBox(options, &box));
            Click(app, box);
        } else if (how == "OK") {
            RECT b;
            GetWindowRect(GetDlgItem(options, IDOK), &b);
            Click(app, Centre(b));
        } else {
            app.Press(how == "Enter" ? VK_RETURN : VK_ESCAPE);
        }
        EXPECT_TRUE(WaitFor([&] { return !IsWindow(options); }, 5000));
        ExpectMainWindowBackInCharge(app);
    }
    EXPECT_EQ(app.ChatText(), "");
    EXPECT_EQ(app.Close(), 0u);
}

TEST(Dialogs, WhileOneIsOpenTheMainWindowTakesNoInput) {
    RunningApp app;
    ASSERT_TRUE(app.Start());
    app.SendTyped("before");
    app.Type("draft");
    for (const bool about : {true, false}) {
        SCOPED_TRACE(about ? "About box" : "Options dialog");
        const std::string draft = app.InputText();
        HWND dialog =
            about ? OpenAbout(app, Opener::ToolbarButton) : OpenOptions(app, Opener::ToolbarButton);
        ASSERT_NE(dialog, nullptr);
        EXPECT_FALSE(IsWindowEnabled(app.Main()));

        // Clicks on the input field and on a toolbar button, typing, the program's keys.
        RECT input;
        GetWindowRect(app.Input(), &input);
        Click(app, Centre(input));
        ClickToolbarButton(app, IDM_SAVELOG);
        app.Type("zz");
        app.Press(VK_F5);
        app.Press(VK_F2);
        Sleep(300);
        EXPECT_EQ(GetForegroundWindow(), dialog) << "the dialog keeps the foreground";
        EXPECT_EQ(app.InputText(), draft);
        EXPECT_EQ(app.ChatText(), "<User> before\r\n");
        EXPECT_EQ(app.WaitForDialog(dialog, 300), nullptr) << "no second dialog opened";

        app.Press(VK_ESCAPE);
        EXPECT_TRUE(WaitFor([&] { return !IsWindow(dialog); }, 5000));
        ExpectMainWindowBackInCharge(app);
    }
    EXPECT_EQ(app.InputText(), "draftokok");
    app.Press(VK_RETURN);
    EXPECT_EQ(app.ChatText(), "<User> before\r\n<User> draftokok\r\n");
    EXPECT_EQ(app.Close(), 0u);
}

} // namespace
