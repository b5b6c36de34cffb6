// The two dialog templates as the program carries them, and the answers of the
// dialog procedures, in the test's own process.
#include <gtest/gtest.h>
#include <windows.h>

#include "commands/Dialogs.h"
#include "resources/resource.h"

#include <string>
#include <vector>

namespace {

// Reads a DLGTEMPLATE (the classic form, not the extended one) word by word.
class TemplateReader {
public:
    explicit TemplateReader(int id) {
        const HMODULE module = GetModuleHandleA(nullptr);
        const HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(5));
        if (found != nullptr) {
            at_ = static_cast<const BYTE*>(LockResource(LoadResource(module, found)));
            end_ = at_ + SizeofResource(module, found);
        }
    }
    bool Loaded() const { return at_ != nullptr; }
    bool Overrun() const { return at_ > end_; }
    DWORD Dword() {
        DWORD v = 0;
        CopyMemory(&v, Take(sizeof v), sizeof v);
        return v;
    }
    WORD Word() {
        WORD v = 0;
        CopyMemory(&v, Take(sizeof v), sizeof v);
        return v;
    }
    short Short() { return static_cast<short>(Word()); }
    // A place in dialog units: x, y, width and height.
    std::vector<short> Place() {
        std::vector<short> place(4);
        for (short& v : place) {
            v = Short();
        }
        return place;
    }
    // A string, or "#n" for an ordinal.
    std::string StringOrOrdinal() {
        WORD first = Word();
        if (first == 0xFFFF) {
            return "#" + std::to_string(Word());
        }
        std::string s;
        while (first != 0 && !Overrun()) {
            s += static_cast<char>(first);
            first = Word();
        }
        return s;
    }
    void AlignToDword(const BYTE* start) {
        while ((at_ - start) % 4 != 0) {
            ++at_;
        }
    }
    const BYTE* Position() const { return at_; }

private:
    const BYTE* Take(size_t n) {
        static const BYTE zeros[8] = {};
        if (at_ == nullptr || at_ + n > end_) {
            at_ = end_ + 1;
            return zeros;
        }
        const BYTE* p = at_;
        at_ += n;
        return p;
    }
    const BYTE* at_ = nullptr;
    const BYTE* end_ = nullptr;
};

struct Control {
    DWORD style;
    std::vector<short> place;
    WORD id;
    std::string className;
    std::string text;
};

struct Dialog {
    DWORD style;
    DWORD exStyle;
    std::vector<short> place;
    std::string menu;
    std::string className;
    std::string caption;
    WORD pointSize;
    std::string font;
    std::vector<Control> controls;
};

Dialog ReadDialog(int id) {
    Dialog d{};
    TemplateReader r(id);
    EXPECT_TRUE(r.Loaded()) << "dialog " << id;
    if (!r.Loaded()) {
        return d;
    }
    const BYTE* start = r.Position();
    d.style = r.Dword();
    d.exStyle = r.Dword();
    const WORD count = r.Word();
    d.place = r.Place();
    d.menu = r.StringOrOrdinal();
    d.className = r.StringOrOrdinal();
    d.caption = r.StringOrOrdinal();
    if (d.style & DS_SETFONT) {
        d.pointSize = r.Word();
        d.font = r.StringOrOrdinal();
    }
    for (WORD i = 0; i < count && !r.Overrun(); ++i) {
        r.AlignToDword(start);
        Control c{};
        c.style = r.Dword();
        r.Dword(); // extended style
        c.place = r.Place();
        c.id = r.Word();
        c.className = r.StringOrOrdinal();
        c.text = r.StringOrOrdinal();
        const WORD extra = r.Word();
        for (WORD skip = 0; skip < extra; ++skip) {
            r.StringOrOrdinal(); // never present here; keeps the reader honest
        }
        d.controls.push_back(c);
    }
    EXPECT_FALSE(r.Overrun()) << "dialog " << id << " template is cut short";
    return d;
}

// A control class is named in a template either by its name or by its atom.
bool IsClass(const std::string& named, const char* name, int atom) {
    return lstrcmpiA(named.c_str(), name) == 0 || named == "#" + std::to_string(atom);
}

// A template as designed: the dialog, then its controls in order. Both
// dialogs have no extended style, menu or class of their own, and 8-point Arial.
struct DesignedControl {
    DWORD style;
    WORD id;
    const char* className;
    int atom;
    std::vector<short> place; // x, y, cx, cy
    const char* text;         // nullptr: checked by the test itself
};
struct DesignedDialog {
    int id;
    DWORD style;
    std::vector<short> place;
    const char* caption;
    std::vector<DesignedControl> controls;
};

const DesignedDialog kAbout{IDD_ABOUT,
                            0x90C008C4u,
                            {126, 71, 165, 65},
                            "About bALDRIX",
                            {{0x50010001u, IDOK, "BUTTON", 0x80, {67, 47, 30, 12}, "OK"},
                             {0x50800001u, 0xFFFF, "STATIC", 0x82, {34, 6, 125, 34}, nullptr},
                             {0x50000003u, 0xFFFF, "STATIC", 0x82, {6, 6, 21, 18}, "#256"}}};
const DesignedDialog kOptions{IDD_OPTIONS,
                              0x90C808C4u,
                              {95, 58, 225, 160},
                              "Options",
                              {{0x50010001u, IDOK, "BUTTON", 0x80, {189, 142, 30, 12}, "OK"}}};

// Reads the dialog's template and holds it against the design; answers what was read.
Dialog ExpectAsDesigned(const DesignedDialog& want) {
    SCOPED_TRACE(want.caption);
    const Dialog d = ReadDialog(want.id);
    EXPECT_EQ(d.style, want.style);
    EXPECT_EQ(d.exStyle, 0u);
    EXPECT_EQ(d.place, want.place);
    EXPECT_EQ(d.menu, "");
    EXPECT_EQ(d.className, "");
    EXPECT_EQ(d.caption, want.caption);
    EXPECT_EQ(d.pointSize, 8);
    EXPECT_EQ(d.font, "Arial");
    EXPECT_EQ(d.controls.size(), want.controls.size());
    for (size_t i = 0; i < d.controls.size() && i < want.controls.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "control " << i);
        const Control& c = d.controls[i];
        const DesignedControl& w = want.controls[i];
        EXPECT_EQ(c.style, w.style);
        EXPECT_EQ(c.id, w.id);
        EXPECT_TRUE(IsClass(c.className, w.className, w.atom)) << c.className;
        EXPECT_EQ(c.place, w.place);
        if (w.text != nullptr) {
            EXPECT_EQ(c.text, w.text);
        }
    }
    return d;
}

TEST(DialogTemplates, AreLaidOutAsDesigned) {
    ExpectAsDesigned(kOptions);
    const Dialog d = ExpectAsDesigned(kAbout);
    ASSERT_EQ(d.controls.size(), 3u);
    // The text: four lines, the program's name and kind first; the icon is
    // the program's own, by number.
    const std::string& text = d.controls[1].text;
    EXPECT_EQ(text.rfind("bALDRIX v0.1\nReal-Time Chat Client-Server\n", 0), 0u);
    size_t lines = 1;
    for (const char c : text) {
        lines += c == '\n';
        EXPECT_NE(c, '\r') << "lines are separated by line feeds alone";
    }
    EXPECT_EQ(lines, 4u) << text;
}

// A modeless copy of a dialog for asking its procedure directly; EndDialog on
// it hides it.
HWND OpenModeless(int id, DLGPROC proc) {
    return CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), nullptr, proc, 0);
}

TEST(DialogProcedures, AboutEndsOnAnyCommandAndOnCloseAndLeavesTheRest) {
    for (const UINT ending : {UINT{WM_CLOSE}, UINT{WM_COMMAND}}) {
        const HWND about = OpenModeless(IDD_ABOUT, AboutDlgProc);
        ASSERT_NE(about, nullptr);
        EXPECT_EQ(AboutDlgProc(about, WM_INITDIALOG, 0, 0), FALSE);
        EXPECT_EQ(AboutDlgProc(about, WM_CTLCOLORSTATIC, 0, 0), FALSE);
        EXPECT_EQ(AboutDlgProc(about, WM_TIMER, 0, 0), FALSE);
        EXPECT_TRUE(IsWindowVisible(about));
        // Any identifier, any notification, any source.
        const WPARAM command = MAKEWPARAM(4242, BN_SETFOCUS);
        EXPECT_EQ(AboutDlgProc(about, ending, ending == WM_COMMAND ? command : 0, 0), TRUE);
        EXPECT_FALSE(IsWindowVisible(about)) << "ended by message " << ending;
        DestroyWindow(about);
    }
}

TEST(DialogProcedures, OptionsEndsOnOkCancelAndCloseOnly) {
    struct Case {
        UINT message;
        WPARAM wParam;
        bool ends;
    };
    const Case cases[] = {
        {WM_CLOSE, 0, true},
        {WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), true},
        {WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), true},
        {WM_COMMAND, MAKEWPARAM(IDOK + 100, BN_CLICKED), false},
        {WM_COMMAND, MAKEWPARAM(0, 0), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.message << " " << LOWORD(c.wParam));
        const HWND options = OpenModeless(IDD_OPTIONS, OptionsDlgProc);
        ASSERT_NE(options, nullptr);
        EXPECT_EQ(OptionsDlgProc(options, WM_INITDIALOG, 0, 0), TRUE);
        EXPECT_EQ(OptionsDlgProc(options, WM_CTLCOLORSTATIC, 0, 0), TRUE);
        EXPECT_EQ(OptionsDlgProc(options, WM_TIMER, 0, 0), FALSE);
        EXPECT_EQ(OptionsDlgProc(options, c.message, c.wParam, 0), TRUE);
        EXPECT_EQ(!IsWindowVisible(options), c.ends);
        DestroyWindow(options);
    }
}

} // namespace
