// The value prompt's entry box and the popup menus of the X11 editor,
// driven with the real pointer and keyboard.
#include "X11TestSupport.h"

#include "framework/gui/PopupMenuX11.h"

namespace {

// The prompt's box: the editor window's only child.
Window PromptBox(X11Host& host, X11Rig& rig)
{
    std::vector<Window> children = host.Children(rig.EditorWindow());
    return children.size() == 1 ? children[0] : 0;
}

// Right-clicks a control and waits until the box has the keyboard focus.
Window OpenPrompt(X11Host& host, X11Rig& rig, int x, int y)
{
    // Apart from any earlier press, so that it is no double-click.
    host.Pause(450);
    host.Click(x, y, 3);
    Window box = 0;
    bool focused = WaitFor([&]() {
        box = PromptBox(host, rig);
        Window focus = 0;
        int revert = 0;
        XGetInputFocus(host.GetDisplay(), &focus, &revert);
        return box && focus == box;
    });
    return focused ? box : 0;
}

Window OpenMenu(X11Host& host, int x, int y, unsigned button)
{
    host.Pause(450);
    host.Click(x, y, button);
    Window menu = 0;
    WaitFor([&]() {
        std::vector<Window> popups = host.PopupWindows();
        menu = popups.size() == 1 ? popups[0] : 0;
        return menu != 0;
    });
    return menu;
}

bool Dark(uint32_t rgb) { return ((rgb >> 16) & 0xFF) < 0x90 && ((rgb >> 8) & 0xFF) < 0x90 && (rgb & 0xFF) < 0x90; }

}  // namespace

TEST(X11Prompt, TypedTextIsCommittedWithEnter)
{
    X11Host host;
    OPEN_X11_HOST_OR_SKIP(host, 400, 300);
    X11Rig rig;
    ASSERT_TRUE(rig.Open(host.TopLevel()));
    Window box = OpenPrompt(host, rig, 50, 50);
    ASSERT_NE(box, 0u);
    // 36 x 16 pixels centred on the control.
    int x = 0, y = 0, width = 0, height = 0;
    ASSERT_TRUE(host.Geometry(box, &x, &y, &width, &height));
    EXPECT_EQ(x, 50 - 18);
    EXPECT_EQ(y, 50 - 8);
    EXPECT_EQ(width, 36);
    EXPECT_EQ(height, 16);
    // The box shows the selected value: some of it is the selection colour.
    bool selectionShown = false;
    for (int px = 2; px < 34 && !selectionShown; ++px) selectionShown = Near(host.Pixel(box, px, 8), 0x3399FFu);
    EXPECT_TRUE(selectionShown);

    // Typing replaces the selected text; Left and BackSpace edit inside it.
    host.TypeText("0.46");
    host.Type(XK_Left);
    host.Type(XK_BackSpace);
    host.TypeText("3");
    host.Type(XK_Return);
    EXPECT_TRUE(WaitFor([&]() { return PromptBox(host, rig) == 0; }));
    EXPECT_TRUE(WaitFor([&]() { return std::fabs(rig.Plug().Plain(ProbeParam_Gain) - 0.36) < 1e-9; }))
        << rig.Plug().Plain(ProbeParam_Gain);
    EXPECT_NEAR(rig.Value(rig.Gain()), 0.36, 1e-9);

    // Home, Right and Delete.
    ASSERT_NE(OpenPrompt(host, rig, 50, 50), 0u);
    host.TypeText("0.12");
    host.Type(XK_Home);
    host.Type(XK_Right);
    host.Type(XK_Right);
    host.Type(XK_Delete);
    host.Type(XK_End);
    host.TypeText("5");
    host.Type(XK_KP_Enter);
    EXPECT_TRUE(WaitFor([&]() { return std::fabs(rig.Plug().Plain(ProbeParam_Gain) - 0.25) < 1e-9; }))
        << rig.Plug().Plain(ProbeParam_Gain);

    // A parameter shown negated reads typed text negated.
    ASSERT_NE(OpenPrompt(host, rig, 210, 50), 0u);
    host.TypeText("-3");
    host.Type(XK_Return);
    EXPECT_TRUE(WaitFor([&]() { return std::fabs(rig.Plug().Plain(ProbeParam_Depth) - 3.0) < 1e-9; }))
        << rig.Plug().Plain(ProbeParam_Depth);
    // The keys go back to the editor once the box is gone.
    EXPECT_TRUE(WaitFor([&]() { return PromptBox(host, rig) == 0; }));
    rig.ClearEvents();
    host.MoveTo(50, 50);
    host.Type(XK_b);
    EXPECT_TRUE(WaitFor([&]() {
        std::vector<ProbeEvent> events = rig.Events(rig.Gain());
        return !events.empty() && events.back().mKind == ProbeEvent::Key && events.back().mExtra == EKey_A + 1;
    }));
}

TEST(X11Prompt, EscapeCancelsAndAClickInTheEditorCommits)
{
    X11Host host;
    OPEN_X11_HOST_OR_SKIP(host, 400, 300);
    X11Rig rig;
    ASSERT_TRUE(rig.Open(host.TopLevel()));
    ASSERT_NE(OpenPrompt(host, rig, 50, 50), 0u);
    host.TypeText("0.9");
    host.Type(XK_Escape);
    EXPECT_TRUE(WaitFor([&]() { return PromptBox(host, rig) == 0; }));
    host.Pause(100);
    EXPECT_EQ(rig.Plug().Plain(ProbeParam_Gain), 0.5);

    // While the box has the focus the editor does not redraw; a click
    // elsewhere in the editor commits what the box holds, and the redraws
    // come back.
    Window editor = rig.EditorWindow();
    uint32_t depthBefore = host.Pixel(editor, 210, 70);
    ASSERT_NE(OpenPrompt(host, rig, 50, 50), 0u);
    host.TypeText("0.7");
    std::thread automation([&]() { IPlugVST::VSTSetParameter(rig.Effect(), ProbeParam_Depth, 0.9f); });
    automation.join();
    host.Pause(200);
    EXPECT_EQ(host.Pixel(editor, 210, 70), depthBefore);
    host.Click(270, 180);
    EXPECT_TRUE(WaitFor([&]() { return std::fabs(rig.Plug().Plain(ProbeParam_Gain) - 0.7) < 1e-9; }))
        << rig.Plug().Plain(ProbeParam_Gain);
    EXPECT_TRUE(WaitFor([&]() { return PromptBox(host, rig) == 0; }));
    EXPECT_TRUE(WaitFor([&]() { return ((host.Pixel(editor, 210, 70) >> 16) & 0xFF) > 0xD0; }));

    // A right-click in the editor cancels.
    ASSERT_NE(OpenPrompt(host, rig, 50, 50), 0u);
    host.TypeText("0.1");
    host.Click(270, 180, 3);
    EXPECT_TRUE(WaitFor([&]() { return PromptBox(host, rig) == 0; }));
    host.Pause(100);
    EXPECT_NEAR(rig.Plug().Plain(ProbeParam_Gain), 0.7, 1e-9);
    // Every press had its release: the gestures are balanced.
    std::vector<int> opcodes = HostRecorder::Instance().Opcodes(ProbeParam_Gain);
    int begins = 0, ends = 0;
    for (int opcode : opcodes) {
        begins += opcode == audioMasterBeginEdit;
        ends += opcode == audioMasterEndEdit;
    }
    EXPECT_EQ(begins, ends);
}

TEST(X11Menu, AnEnumControlsMenuShowsTheCheckMarkAndChoosesWithKeysOrMouse)
{
    X11Host host;
    OPEN_X11_HOST_OR_SKIP(host, 400, 300);
    X11Rig rig;
    ASSERT_TRUE(rig.Open(host.TopLevel()));
    Window menu = OpenMenu(host, 130, 50, 3);
    ASSERT_NE(menu, 0u);
    int x = 0, y = 0, width = 0, height = 0;
    ASSERT_TRUE(host.Geometry(menu, &x, &y, &width, &height));
    // At the control's centre, three rows high.
    EXPECT_EQ(x, 130);
    EXPECT_EQ(y, 50);
    EXPECT_EQ(height, 3 * PopupMenuX11::ITEM_HEIGHT + 2 * PopupMenuX11::BORDER);
    // "Saw", the current value, carries the check mark; "Square" none.
    int rowMiddle = PopupMenuX11::BORDER + PopupMenuX11::ITEM_HEIGHT / 2;
    auto markIn = [&](int row) {
        for (int px = PopupMenuX11::BORDER + 6; px < PopupMenuX11::BORDER + 20; ++px) {
            for (int dy = -4; dy <= 4; ++dy) {
                if (Dark(host.Pixel(menu, px, rowMiddle + row * PopupMenuX11::ITEM_HEIGHT + dy))) return true;
            }
        }
        return false;
    };
    EXPECT_TRUE(markIn(0));
    EXPECT_FALSE(markIn(1));
    EXPECT_FALSE(markIn(2));

    host.Type(XK_Down);
    host.Type(XK_Down);
    host.Type(XK_Return);
    EXPECT_TRUE(WaitFor([&]() { return host.PopupWindows().empty(); }));
    EXPECT_TRUE(WaitFor([&]() { return rig.Plug().Plain(ProbeParam_Mode) == 1.0; }));

    // The mouse: the release of the opening press chooses nothing, a click
    // on an item chooses it.
    menu = OpenMenu(host, 130, 50, 3);
    ASSERT_NE(menu, 0u);
    host.Pause(100);
    EXPECT_EQ(host.PopupWindows().size(), 1u);
    host.Click(130 + 40, 50 + rowMiddle + 2 * PopupMenuX11::ITEM_HEIGHT);
    EXPECT_TRUE(WaitFor([&]() { return host.PopupWindows().empty(); }));
    EXPECT_TRUE(WaitFor([&]() { return rig.Plug().Plain(ProbeParam_Mode) == 2.0; }));

    // Escape, or a click outside the menu, dismisses it.
    ASSERT_NE(OpenMenu(host, 130, 50, 3), 0u);
    host.Type(XK_Down);
    host.Type(XK_Escape);
    EXPECT_TRUE(WaitFor([&]() { return host.PopupWindows().empty(); }));
    ASSERT_NE(OpenMenu(host, 130, 50, 3), 0u);
    rig.ClearEvents();
    host.Click(50, 50);
    EXPECT_TRUE(WaitFor([&]() { return host.PopupWindows().empty(); }));
    host.Pause(100);
    EXPECT_EQ(rig.Plug().Plain(ProbeParam_Mode), 2.0);
    // The dismissing click went to the menu, not to the editor.
    EXPECT_TRUE(rig.Events(rig.Gain()).empty());
    int begins = 0, ends = 0;
    for (int opcode : HostRecorder::Instance().Opcodes(ProbeParam_Mode)) {
        begins += opcode == audioMasterBeginEdit;
        ends += opcode == audioMasterEndEdit;
    }
    EXPECT_EQ(begins, 4);
    EXPECT_EQ(ends, 4);
}

TEST(X11Menu, ValueMenusBreakIntoColumnsThatTheArrowKeysCross)
{
    X11Host host;
    OPEN_X11_HOST_OR_SKIP(host, 400, 300);
    X11Rig rig;
    {
        ScopedLock lock(rig.Window().SurfaceLock());
        rig.Action()->mAction = [](ActionControl* pControl) {
            pControl->GetGraphics()->OpenValueMenu(pControl, pControl->GetParam(), 3);
        };
    }
    ASSERT_TRUE(rig.Open(host.TopLevel()));
    Window menu = OpenMenu(host, 40, 120, 1);
    ASSERT_NE(menu, 0u);
    int x = 0, y = 0, width = 0, height = 0;
    ASSERT_TRUE(host.Geometry(menu, &x, &y, &width, &height));
    // Seven notes in columns of three: three rows, three columns.
    EXPECT_EQ(x, 40);
    EXPECT_EQ(y, 120);
    EXPECT_EQ(height, 3 * PopupMenuX11::ITEM_HEIGHT + 2 * PopupMenuX11::BORDER);
    EXPECT_GT(width, 3 * 60);
    host.Type(XK_Down);   // C
    host.Type(XK_Right);  // F, the next column's first row
    host.Type(XK_Down);   // G
    host.Type(XK_Return);
    EXPECT_TRUE(WaitFor([&]() { return rig.Plug().Plain(ProbeParam_Note) == 4.0; }))
        << rig.Plug().Plain(ProbeParam_Note);
    EXPECT_TRUE(host.PopupWindows().empty());
}

TEST(X11Menu, ClosingTheEditorEndsAnOpenMenu)
{
    X11Host host;
    OPEN_X11_HOST_OR_SKIP(host, 400, 300);
    X11Rig rig;
    ASSERT_TRUE(rig.Open(host.TopLevel()));
    ASSERT_NE(OpenMenu(host, 130, 50, 3), 0u);
    // The timer keeps drawing while the menu is open.
    std::thread automation([&]() { IPlugVST::VSTSetParameter(rig.Effect(), ProbeParam_Gain, 1.0f); });
    automation.join();
    EXPECT_TRUE(WaitFor([&]() { return Near(host.Pixel(rig.EditorWindow(), 50, 50), 0xFF4080u); }));
    EXPECT_EQ(host.PopupWindows().size(), 1u);
    // The host holds the plug-in lock while it closes the editor.
    auto start = std::chrono::steady_clock::now();
    rig.Close();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    EXPECT_TRUE(host.PopupWindows().empty());
    EXPECT_EQ(rig.Plug().Plain(ProbeParam_Mode), 0.0);
    // The pointer is free again: the host's clicks work.
    ASSERT_TRUE(rig.Open(host.TopLevel()));
    host.Click(50, 50);
    EXPECT_TRUE(WaitFor([&]() { return !rig.Events(rig.Gain()).empty(); }));
}
