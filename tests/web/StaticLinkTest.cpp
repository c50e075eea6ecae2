#include "web/StaticLink.h"

#include "framework/AfxModule.h"
#include "tests/support/WinTestSupport.h"
#include "tests/web/StaticLinkTestIds.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

const std::string kRecord = "C:\\brmtest\\links.txt";

INT_PTR CALLBACK PlainDialogProc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG;
}

void Pump(DWORD ms)
{
    const ULONGLONG end = GetTickCount64() + ms;
    do {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(5);
    } while (GetTickCount64() < end);
}

// The targets the recording browser got (the last quoted part of each line), pumping
// this thread's messages meanwhile.
std::vector<std::string> Opened(std::size_t count, int waitMs = 10000)
{
    for (int i = 0; i < waitMs / 50 && test::RecordLines(kRecord, 0).size() < count; ++i)
        Pump(50);
    std::vector<std::string> lines = test::RecordLines(kRecord, 0);
    for (std::string& line : lines) {
        line.pop_back();
        line.erase(0, line.rfind('"') + 1);
    }
    return lines;
}

RECT InParent(HWND control)
{
    RECT rect;
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// The pixels of rect in the window's client area (all of it when rect is null), row by row.
std::vector<COLORREF> Pixels(HWND window, const RECT* rect = nullptr)
{
    RECT area;
    GetClientRect(window, &area);
    area = rect != nullptr ? *rect : area;
    std::vector<COLORREF> pixels;
    HDC dc = GetDC(window);
    for (LONG y = area.top; y < area.bottom; ++y)
        for (LONG x = area.left; x < area.right; ++x)
            pixels.push_back(GetPixel(dc, x, y));
    ReleaseDC(window, dc);
    return pixels;
}

// Smallest rectangle around the client pixels that differ from before; empty when none do.
RECT Changed(HWND window, const std::vector<COLORREF>& before)
{
    RECT area;
    GetClientRect(window, &area);
    const std::vector<COLORREF> after = Pixels(window);
    RECT box = {LONG_MAX, LONG_MAX, -1, -1};
    for (std::size_t i = 0; i < before.size() && i < after.size(); ++i)
        if (before[i] != after[i]) {
            const LONG x = static_cast<LONG>(i) % area.right, y = static_cast<LONG>(i) / area.right;
            box = {std::min(box.left, x), std::min(box.top, y), std::max(box.right, x + 1),
                   std::max(box.bottom, y + 1)};
        }
    return box.right < 0 ? RECT{} : box;
}

int BluePixels(HWND control)
{
    const RECT rect = InParent(control);
    int blue = 0;
    for (COLORREF c : Pixels(GetParent(control), &rect))
        blue += GetBValue(c) > 160 && GetRValue(c) < 100 && GetGValue(c) < 100;
    return blue;
}

class StaticLinkTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        AfxWinInit(GetModuleHandleA(nullptr));
        CreateDirectoryA("C:\\brmtest", nullptr);
        test::UseRecordingBrowser(kRecord);
        m_dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_LINKS),
                                      nullptr, PlainDialogProc, 0);
        ASSERT_NE(m_dialog, nullptr);
        m_parent.SubclassWindow(m_dialog);
        for (int id = IDC_ASSIGNED; id <= IDC_NOPREFIX; ++id)
            m_links[id - IDC_ASSIGNED].SubclassDlgItem(static_cast<UINT>(id), &m_parent);
        Link(IDC_ASSIGNED).m_link = "http://www.voranda.com/assigned";
        Link(IDC_FROM_STRING).m_link = "nosuchscheme://refused";
        Link(IDC_NOPREFIX).m_link = "http://www.voranda.com/noprefix";
        SetWindowPos(m_dialog, HWND_TOP, 100, 100, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
        SetForegroundWindow(m_dialog);
        UpdateWindow(m_dialog);
        Pump(300);
    }
    void TearDown() override
    {
        DestroyWindow(m_dialog);
        DeleteFileA(kRecord.c_str());
    }
    CStaticLink& Link(int id) { return m_links[id - IDC_ASSIGNED]; }
    HWND Item(int id) { return GetDlgItem(m_dialog, id); }
    void ClickOn(int id)
    {
        RECT rect;
        GetWindowRect(Item(id), &rect);
        SetCursorPos(rect.left + 3, (rect.top + rect.bottom) / 2);
        Pump(100);
        INPUT press[2] = {};
        press[0].type = press[1].type = INPUT_MOUSE;
        press[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
        press[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
        SendInput(2, press, sizeof(INPUT));
        Pump(100);
    }

    HWND m_dialog = nullptr;
    CWnd m_parent;
    CStaticLink m_links[IDC_NOPREFIX - IDC_ASSIGNED + 1];
};

} // namespace

TEST_F(StaticLinkTest, ClicksAndSpaceOpenThroughTheChainAndKeepTheFallback)
{
    ClickOn(IDC_ASSIGNED);   // the owner's target
    EXPECT_EQ(Opened(1).size(), 1u);
    ClickOn(IDC_FROM_STRING);   // refused, so the string of its id
    EXPECT_EQ(Opened(2).size(), 2u);
    SetForegroundWindow(m_dialog);
    SetFocus(Item(IDC_FROM_TEXT));
    Pump(100);
    INPUT keys[4] = {};
    for (INPUT& key : keys)
        key.type = INPUT_KEYBOARD;
    keys[0].ki.wVk = keys[1].ki.wVk = 'X';
    keys[2].ki.wVk = keys[3].ki.wVk = VK_SPACE;
    keys[1].ki.dwFlags = keys[3].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(4, keys, sizeof(INPUT));   // x is dropped, space opens the text
    EXPECT_EQ(Opened(3), (std::vector<std::string>{"http://www.voranda.com/assigned",
                                                   "http://www.voranda.com/from-string",
                                                   "http://www.voranda.com/from-text"}));
    EXPECT_EQ(Link(IDC_FROM_STRING).m_link, "http://www.voranda.com/from-string");
    EXPECT_EQ(Link(IDC_FROM_TEXT).m_link, "http://www.voranda.com/from-text");

    // A flagged static looks plain but still opens.
    ClickOn(IDC_NOPREFIX);
    EXPECT_EQ(Opened(4).back(), "http://www.voranda.com/noprefix");

    // Nothing to open: FALSE, and m_link holds the (empty) text.
    Link(IDC_NOWHERE).m_link = "nosuchscheme://refused";
    EXPECT_FALSE(Link(IDC_NOWHERE).OpenLink());
    EXPECT_EQ(Link(IDC_NOWHERE).m_link, "");
    EXPECT_EQ(Opened(5, 1000).size(), 4u);
}

TEST_F(StaticLinkTest, HoverShowsOneSharedHandAndTheLookIsBlueUnderlined)
{
    RECT rect;
    GetWindowRect(Item(IDC_ASSIGNED), &rect);
    SetCursorPos(rect.left + 5, rect.top + 5);
    Pump(200);
    const HCURSOR link = CStaticLink::LinkCursor();
    ASSERT_NE(link, nullptr);
    EXPECT_NE(link, LoadCursorA(nullptr, MAKEINTRESOURCEA(32649)));   // a private copy
    EXPECT_EQ(GetCursor(), link);
    GetWindowRect(Item(IDC_NOPREFIX), &rect);
    SetCursorPos(rect.left + 5, rect.top + 5);
    Pump(200);
    EXPECT_EQ(GetCursor(), link);
    EXPECT_EQ(CStaticLink::LinkCursor(), link);

    // The colour request leaves the underlined copy of the control's font
    // selected; later font changes do not renew it.
    HDC dc = GetDC(m_dialog);
    SendMessageA(m_dialog, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                 reinterpret_cast<LPARAM>(Item(IDC_ASSIGNED)));
    LOGFONTA used = {}, base = {};
    GetObjectA(GetCurrentObject(dc, OBJ_FONT), sizeof used, &used);
    GetObjectA(reinterpret_cast<HGDIOBJ>(SendMessageA(Item(IDC_ASSIGNED), WM_GETFONT, 0, 0)),
               sizeof base, &base);
    EXPECT_EQ(used.lfUnderline, 1);
    EXPECT_STREQ(used.lfFaceName, base.lfFaceName);
    EXPECT_EQ(used.lfHeight, base.lfHeight);
    EXPECT_EQ(GetTextColor(dc), RGB(0, 0, 255));
    const HFONT first = Link(IDC_ASSIGNED).m_font;
    SendMessageA(Item(IDC_ASSIGNED), WM_SETFONT,
                 reinterpret_cast<WPARAM>(GetStockObject(SYSTEM_FONT)), FALSE);
    SendMessageA(m_dialog, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                 reinterpret_cast<LPARAM>(Item(IDC_ASSIGNED)));
    EXPECT_EQ(static_cast<HFONT>(Link(IDC_ASSIGNED).m_font), first);
    ReleaseDC(m_dialog, dc);

    EXPECT_GT(BluePixels(Item(IDC_ASSIGNED)), 20);
    EXPECT_GT(BluePixels(Item(IDC_FROM_TEXT)), 20);
    EXPECT_EQ(BluePixels(Item(IDC_NOPREFIX)), 0);
}

TEST_F(StaticLinkTest, FocusFrameLiesAroundTheTextOrTheControlAndComesOffAgain)
{
    for (int id : {IDC_ASSIGNED, IDC_FROM_STRING}) {
        SetFocus(nullptr);
        Pump(100);
        const std::vector<COLORREF> before = Pixels(m_dialog);
        Link(id).ToggleFocusFrame();
        const RECT frame = Changed(m_dialog, before);
        Link(id).ToggleFocusFrame();
        EXPECT_EQ(Changed(m_dialog, before).right, 0) << id;

        const RECT control = InParent(Item(id));
        EXPECT_EQ(frame.left, control.left - 1) << id;
        EXPECT_EQ(frame.top, control.top - 1) << id;
        if (id == IDC_ASSIGNED)   // the text only: narrower than the control
            EXPECT_LT(frame.right, control.right - 50);
        else
            EXPECT_EQ(frame.right, control.right + 1);
    }
    // Gaining and losing the focus toggles it twice: no frame is left.
    const std::vector<COLORREF> before = Pixels(m_dialog);
    SetFocus(Item(IDC_ASSIGNED));
    EXPECT_NE(Changed(m_dialog, before).right, 0);
    SetFocus(Item(IDC_FROM_TEXT));
    SetFocus(nullptr);
    EXPECT_EQ(Changed(m_dialog, before).right, 0);
}

TEST_F(StaticLinkTest, AThousandLinksLeaveNoFontOrCursorBehind)
{
    struct CCountedLink : CStaticLink {
        ~CCountedLink() override { ++*m_deleted; }
        int* m_deleted = nullptr;
    };
    // Wine has no per-process GDI or USER object count, so each link's font
    // handle is checked instead: a freed one no longer names an object.
    std::vector<HFONT> fonts;
    std::set<HCURSOR> cursors;
    int deleted = 0;
    for (int i = 0; i < 1000; ++i) {
        HWND item = CreateWindowExA(0, "STATIC", "link", WS_CHILD | WS_VISIBLE | SS_LEFT, 0, 0, 50,
                                    12, m_dialog, reinterpret_cast<HMENU>(500), nullptr, nullptr);
        SendMessageA(item, WM_SETFONT, SendMessageA(m_dialog, WM_GETFONT, 0, 0), FALSE);
        auto* link = new CCountedLink;
        link->m_deleted = &deleted;
        link->m_bDeleteOnDestroy = i % 2;   // half delete themselves, half are owned
        std::unique_ptr<CCountedLink> owned(i % 2 ? nullptr : link);
        link->SubclassWindow(item);
        HDC dc = GetDC(m_dialog);
        SendMessageA(m_dialog, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                     reinterpret_cast<LPARAM>(item));
        ReleaseDC(m_dialog, dc);
        SendMessageA(item, WM_SETCURSOR, reinterpret_cast<WPARAM>(item), HTCLIENT);
        fonts.push_back(link->m_font);
        cursors.insert(CStaticLink::LinkCursor());
        DestroyWindow(item);
    }
    EXPECT_EQ(deleted, 1000);
    int alive = 0;
    for (HFONT font : fonts)
        alive += font == nullptr || GetObjectType(font) != 0;
    EXPECT_EQ(alive, 0);
    EXPECT_EQ(GetCursor(), CStaticLink::LinkCursor());
    EXPECT_EQ(cursors.size(), 1u);
}
