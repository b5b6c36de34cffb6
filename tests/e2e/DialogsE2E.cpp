// The real program under real input: its toolbar buttons clicked with the
// mouse, and the About box and the Options dialog opened and closed every way
// a user would.
#include "tests/support/AppDriver.h"
#include "tests/support/Pixels.h"

#include "resources/resource.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

// Centre of a toolbar button in screen coordinates.
bool ToolbarButtonCentre(const RunningApp& app, int command, POINT* where) {
    const RECT r = ToolbarItemRect(app.Toolbar(), ToolbarButtonIndex(app.Toolbar(), command));
    if (IsRectEmpty(&r)) {
        return false;
    }
    *where = Centre(r);
    return true;
}

void ClickToolbarButton(RunningApp& app, int command) {
    POINT centre{};
    ASSERT_TRUE(ToolbarButtonCentre(app, command, &centre)) << "button " << command;
    app.ClickAt(centre);
}

// After a dialog has gone the main window is usable again: enabled, in front,
// the focus in the input field, and typing lands there.
void ExpectMainWindowBackInCharge(RunningApp& app) {
    EXPECT_TRUE(WaitFor([&] { return app.ShownDialog() == nullptr; }, 5000)) << "the dialog closed";
    EXPECT_TRUE(IsWindowEnabled(app.Main()));
    EXPECT_TRUE(WaitFor([&] { return GetForegroundWindow() == app.Main(); }, 3000));
    EXPECT_TRUE(WaitFor([&] { return app.Focus() == app.Input(); }, 3000));
    const std::string before = app.InputText();
    app.Type("ok");
    EXPECT_EQ(app.InputText(), before + "ok");
}

// With BALDRIX_SHOTS set to a folder, the screen is saved there as a BMP file.
void SaveScreen(const char* name) {
    const char* folder = std::getenv("BALDRIX_SHOTS");
    if (folder != nullptr) {
        const RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        WriteFileBytes(std::string(folder) + "\\" + name + ".bmp", CaptureScreen(screen).BmpFile());
    }
}

enum class Opener { ToolbarButton, Menu, F9 };

HWND OpenAbout(RunningApp& app, Opener how) {
    if (how == Opener::ToolbarButton) {
        ClickToolbarButton(app, IDM_ABOUT);
    } else {
        // Alt, Right twice to "Help", Down into it, Enter on "About bALDRIX".
        app.PressEach({VK_MENU, VK_RIGHT, VK_RIGHT, VK_DOWN, VK_RETURN});
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
        app.PressEach({VK_MENU, VK_RIGHT, VK_DOWN, VK_UP, VK_RETURN});
    }
    return app.WaitForDialog();
}

using ToolbarButtons = StartedApp;
using AboutBox = StartedApp;
using OptionsDialog = StartedApp;
using Dialogs = StartedApp;

TEST_F(ToolbarButtons, SaveLogOpensTheSameSaveDialogAsF2) {
    app.Press(VK_F2);
    HWND byKey = app.WaitForDialog();
    ASSERT_NE(byKey, nullptr);
    const std::string keyTitle = WindowText(byKey);
    app.Press(VK_ESCAPE);
    ExpectMainWindowBackInCharge(app);

    ClickToolbarButton(app, IDM_SAVELOG);
    HWND byClick = app.WaitForDialog();
    ASSERT_NE(byClick, nullptr) << "the Save log file button opens a dialog";
    EXPECT_EQ(WindowText(byClick), keyTitle);
    EXPECT_FALSE(IsWindowEnabled(app.Main())) << "the save dialog is modal";
    app.Press(VK_ESCAPE);
    ExpectMainWindowBackInCharge(app);
}

TEST_F(ToolbarButtons, ConnectDisconnectAndSendFileBreakNothing) {
    app.Type("draft");
    for (const int command : {IDM_CONNECT, IDM_DISCONNECT, IDM_SENDFILE}) {
        SCOPED_TRACE(command);
        ClickToolbarButton(app, command);
        Sleep(300);
        EXPECT_EQ(app.ShownDialog(), nullptr);
        EXPECT_TRUE(app.Running());
        EXPECT_EQ(GetForegroundWindow(), app.Main());
        EXPECT_EQ(app.Focus(), app.Input()) << "a click on the toolbar keeps the focus";
        EXPECT_EQ(WindowText(app.Main()), "bALDRIX - [Status: OFFLINE]");
    }
    EXPECT_EQ(app.InputText(), "draft");
    app.Press(VK_RETURN);
    EXPECT_EQ(app.ChatText(), "<User> draft\r\n");
}

TEST_F(AboutBox, OpensFromTheMenuAndTheToolbarCentredWithIconAndText) {
    SaveScreen("main-window");
    for (const Opener how : {Opener::Menu, Opener::ToolbarButton}) {
        SCOPED_TRACE(how == Opener::Menu ? "Help > About bALDRIX" : "toolbar button");
        HWND about = OpenAbout(app, how);
        ASSERT_NE(about, nullptr);
        SaveScreen("about-box");
        EXPECT_EQ(WindowText(about), "About bALDRIX");
        EXPECT_EQ(GetWindow(about, GW_OWNER), app.Main());
        EXPECT_FALSE(IsWindowEnabled(app.Main()));
        const LONG style = GetWindowLongA(about, GWL_STYLE);
        EXPECT_EQ(style & WS_SYSMENU, 0) << "no system menu, so no close box";

        // Centred in the work area of the screen.
        MONITORINFO monitor{};
        monitor.cbSize = sizeof monitor;
        GetMonitorInfoA(MonitorFromWindow(about, MONITOR_DEFAULTTONEAREST), &monitor);
        const POINT mid = Centre(ScreenRect(about));
        const POINT workMid = Centre(monitor.rcWork);
        EXPECT_LE(std::abs(mid.x - workMid.x), 1);
        EXPECT_LE(std::abs(mid.y - workMid.y), 1);

        // The text: four centred lines in a bordered box.
        const HWND text = ChildWithStyle(about, "Static", SS_TYPEMASK, SS_CENTER);
        ASSERT_NE(text, nullptr);
        // The dialog manager may turn the border into a sunken 3D edge.
        EXPECT_TRUE((GetWindowLongA(text, GWL_STYLE) & WS_BORDER) ||
                    (GetWindowLongA(text, GWL_EXSTYLE) & WS_EX_CLIENTEDGE));
        const std::string lines = WindowText(text);
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
        EXPECT_EQ(WindowText(ok), "OK");
        app.ClickAt(Centre(ScreenRect(ok)));
        ExpectMainWindowBackInCharge(app);
    }
}

TEST_F(AboutBox, EnterEscAndAltF4CloseIt) {
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
}

TEST_F(OptionsDialog, OpensFromF9TheMenuAndTheToolbar) {
    for (const Opener how : {Opener::F9, Opener::Menu, Opener::ToolbarButton}) {
        SCOPED_TRACE(static_cast<int>(how));
        HWND options = OpenOptions(app, how);
        ASSERT_NE(options, nullptr);
        SaveScreen("options-dialog");
        EXPECT_EQ(WindowText(options), "Options");
        EXPECT_EQ(GetWindow(options, GW_OWNER), app.Main());
        EXPECT_TRUE(GetWindowLongA(options, GWL_STYLE) & WS_SYSMENU);
        EXPECT_NE(GetDlgItem(options, IDOK), nullptr);
        app.Press(VK_ESCAPE);
        ExpectMainWindowBackInCharge(app);
    }
}

TEST_F(OptionsDialog, CloseBoxOkEnterAndEscCloseIt) {
    for (const char* closer : {"close box", "OK", "Enter", "Esc"}) {
        SCOPED_TRACE(closer);
        HWND options = OpenOptions(app, Opener::F9);
        ASSERT_NE(options, nullptr);
        const std::string how = closer;
        if (how == "close box") {
            POINT box{};
            ASSERT_TRUE(FindCloseBox(options, &box));
            app.ClickAt(box);
        } else if (how == "OK") {
            app.ClickAt(Centre(ScreenRect(GetDlgItem(options, IDOK))));
        } else {
            app.Press(how == "Enter" ? VK_RETURN : VK_ESCAPE);
        }
        EXPECT_TRUE(WaitFor([&] { return !IsWindow(options); }, 5000));
        ExpectMainWindowBackInCharge(app);
    }
    EXPECT_EQ(app.ChatText(), "");
}

TEST_F(Dialogs, WhileOneIsOpenTheMainWindowTakesNoInput) {
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
        app.ClickAt(Centre(ScreenRect(app.Input())));
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
}

} // namespace
