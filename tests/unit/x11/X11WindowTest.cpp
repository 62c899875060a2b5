// The X11 editor window as a host and a user meet it: a child of the
// host's window, painted from the draw bitmap, mouse and keys through the
// server, the timer redraw, resizing, and opening and closing while the
// host's threads work.
#include "X11TestSupport.h"

#include <dirent.h>

namespace {

uint32_t ProbeColour(double value) { return static_cast<uint32_t>(std::lround(value * 255.0)) << 16 | 0x4080u; }

int CountThreads()
{
    int count = 0;
    DIR* pDir = opendir("/proc/self/task");
    if (!pDir) return -1;
    while (struct dirent* pEntry = readdir(pDir)) {
        if (pEntry->d_name[0] != '.') ++count;
    }
    closedir(pDir);
    return count;
}

std::vector<ProbeEvent::Kind> Kinds(const std::vector<ProbeEvent>& events)
{
    std::vector<ProbeEvent::Kind> kinds;
    for (const ProbeEvent& event : events) kinds.push_back(event.mKind);
    return kinds;
}

}  // namespace

TEST(X11Editor, OpensAsAChildOfTheHostWindowAndShowsItsPicture)
{
    X11Host host;
    OPEN_X11_HOST_OR_SKIP(host, 400, 300);
    X11Rig rig;
    ASSERT_TRUE(rig.Open(host.TopLevel()));
    std::vector<Window> children = host.Children(host.TopLevel());
    ASSERT_EQ(children.size(), 1u);
    Window editor = rig.EditorWindow();
    EXPECT_EQ(children[0], editor);
    int width = 0, height = 0;
    ASSERT_TRUE(host.Size(editor, &width, &height));
    EXPECT_EQ(width, X11Rig::WIDTH);
    EXPECT_EQ(height, X11Rig::HEIGHT);

    EXPECT_TRUE(WaitFor([&]() { return Near(host.Pixel(editor, 50, 50), ProbeColour(0.5)); }))
        << std::hex << host.Pixel(editor, 50, 50);
    EXPECT_TRUE(Near(host.Pixel(editor, 130, 50), ProbeColour(0.0)));
    EXPECT_TRUE(Near(host.Pixel(editor, 5, 195), 0xE0E0E0u));
    EXPECT_TRUE(Near(host.Pixel(editor, 299, 199), 0xE0E0E0u));

    rig.Close();
    EXPECT_TRUE(host.Children(host.TopLevel()).empty());
    EXPECT_EQ(rig.Window().GetWindow(), nullptr);
    // Opened again, at the same place, with a fresh picture.
    ASSERT_TRUE(rig.Open(host.TopLevel()));
    EXPECT_EQ(host.Children(host.TopLevel()).size(), 1u);
    EXPECT_TRUE(WaitFor([&]() { return Near(host.Pixel(rig.EditorWindow(), 50, 50), ProbeColour(0.5)); }));
}

TEST(X11Editor, RefusesAWindowThatDoesNotExist)
{
    X11Host host;
    OPEN_X11_HOST_OR_SKIP(host, 100, 100);
    X11Rig rig;
    EXPECT_FALSE(rig.Open(0));
    Window gone = host.MakeInnerWindow(0, 0, 10, 10);
    XDestroyWindow(host.GetDisplay(), gone);
    XSync(host.GetDisplay(), False);
    EXPECT_FALSE(rig.Open(gone));
    EXPECT_FALSE(rig.Window().HasWindow());
    // The process lives on, and a good window still opens.
    EXPECT_TRUE(rig.Open(host.TopLevel()));
}

TEST(X11Editor, DragWheelAndClickReachTheControlAndThePlugIn)
{
    X11Host host;
    OPEN_X11_HOST_OR_SKIP(host, 400, 300);
    X11Rig rig;
    ASSERT_TRUE(rig.Open(host.TopLevel()));

    // An upward drag of 30 pixels over a 60-pixel knob of gearing 8.
    host.MoveTo(50, 60);
    host.Button(1, true);
    for (int y = 55; y >= 30; y -= 5) host.MoveTo(50, y);
    host.Button(1, false);
    ASSERT_TRUE(WaitFor(
        [&]() { return !rig.Events(rig.Gain()).empty() && rig.Events(rig.Gain()).back().mKind == ProbeEvent::Up; }));
    EXPECT_NEAR(rig.Value(rig.Gain()), 0.5 + 30.0 / 60.0 / 8.0, 1e-9);
    EXPECT_NEAR(rig.Plug().Plain(ProbeParam_Gain), 0.5625, 0.01);
    std::vector<ProbeEvent> events = rig.Events(rig.Gain());
    EXPECT_EQ(events.front().mKind, ProbeEvent::Down);
    EXPECT_TRUE(events.front().mMods.mLeft);
    EXPECT_EQ(events.front().mX, 50);
    EXPECT_EQ(events.front().mY, 60);
    int dragged = 0;
    for (const ProbeEvent& event : events) {
        if (event.mKind != ProbeEvent::Drag) continue;
        EXPECT_TRUE(event.mMods.mLeft);
        dragged += event.mExtra;
    }
    EXPECT_EQ(dragged, -30);
    EXPECT_FALSE(events.back().mMods.mLeft);
    // The host saw one gesture around the automation.
    std::vector<int> opcodes = HostRecorder::Instance().Opcodes(ProbeParam_Gain);
    ASSERT_GE(opcodes.size(), 3u);
    EXPECT_EQ(opcodes.front(), audioMasterBeginEdit);
    EXPECT_EQ(opcodes.back(), audioMasterEndEdit);
    for (size_t i = 1; i + 1 < opcodes.size(); ++i) EXPECT_EQ(opcodes[i], audioMasterAutomate);

    // Wheel: one notch per press of button 4 (up) or 5 (down); shift is
    // the fine step; the horizontal wheel (6, 7) does nothing.
    rig.ClearEvents();
    double before = rig.Value(rig.Gain());
    host.Click(50, 50, 4);
    host.Click(50, 50, 4);
    host.Click(50, 50, 5);
    host.Click(50, 50, 6);
    host.Click(50, 50, 7);
    host.Key(XK_Shift_L, true);
    host.Click(50, 50, 4);
    host.Key(XK_Shift_L, false);
    ASSERT_TRUE(WaitFor([&]() { return rig.Events(rig.Gain()).size() >= 4; }));
    host.Pause(100);
    events = rig.Events(rig.Gain());
    ASSERT_EQ(events.size(), 4u);
    EXPECT_EQ(events[0].mExtra, 1);
    EXPECT_EQ(events[1].mExtra, 1);
    EXPECT_EQ(events[2].mExtra, -1);
    EXPECT_EQ(events[3].mExtra, 1);
    EXPECT_FALSE(events[2].mMods.mShift);
    EXPECT_TRUE(events[3].mMods.mShift);
    for (const ProbeEvent& event : events) EXPECT_EQ(event.mKind, ProbeEvent::Wheel);
    EXPECT_NEAR(rig.Value(rig.Gain()), before + 0.01 + 0.001, 1e-9);

    // Control and Alt ride along with a click.
    rig.ClearEvents();
    host.Key(XK_Control_L, true);
    host.Key(XK_Alt_L, true);
    host.Click(130, 40);
    host.Key(XK_Alt_L, false);
    host.Key(XK_Control_L, false);
    ASSERT_TRUE(WaitFor([&]() { return rig.Events(rig.Mode()).size() >= 2; }));
    events = rig.Events(rig.Mode());
    EXPECT_TRUE(events[0].mMods.mControl);
    EXPECT_TRUE(events[0].mMods.mAlt);
    EXPECT_FALSE(events[0].mMods.mShift);
}

TEST(X11Editor, ASecondPressWithin400MsAndFourPixelsIsADoubleClick)
{
    X11Host host;
    OPEN_X11_HOST_OR_SKIP(host, 400, 300);
    X11Rig rig;
    ASSERT_TRUE(rig.Open(host.TopLevel()));
    using K = ProbeEvent::Kind;

    // Three quick presses: the second is the double-click, the third a
    // plain press again.
    host.Click(50, 50);
    host.Click(52, 51);
    host.Click(52, 51);
    ASSERT_TRUE(WaitFor([&]() { return rig.Events(rig.Gain()).size() >= 6; }));
    EXPECT_EQ(Kinds(rig.Events(rig.Gain())), (std::vector<K>{ProbeEvent::Down, ProbeEvent::Up, ProbeEvent::DoubleClick,
                                                             ProbeEvent::Up, ProbeEvent::Down, ProbeEvent::Up}));

    // Too slow, or too far apart: two presses.
    host.Pause(500);
    rig.ClearEvents();
    host.Click(50, 50);
    host.Pause(450);
    host.Click(50, 50);
    host.Pause(500);
    host.Click(50, 50);
    host.Click(56, 50);
    ASSERT_TRUE(WaitFor([&]() { return rig.Events(rig.Gain()).size() >= 8; }));
    for (const ProbeEvent& event : rig.Events(rig.Gain())) EXPECT_NE(event.mKind, ProbeEvent::DoubleClick);
}

TEST(X11Editor, KeysReachTheControlUnderThePointerAsKeyNumbers)
{
    X11Host host;
    OPEN_X11_HOST_OR_SKIP(host, 400, 300);
    X11Rig rig;
    ASSERT_TRUE(rig.Open(host.TopLevel()));
    host.MoveTo(60, 40);
    // Letters in either case, digits, space, arrows; others are ignored.
    const KeySym keys[] = {XK_a, XK_z, XK_5, XK_space, XK_Up, XK_Down, XK_Left, XK_Right, XK_Escape, XK_Tab, XK_0};
    for (KeySym key : keys) host.Type(key);
    host.Key(XK_Shift_L, true);
    host.Type(XK_q);
    host.Type(XK_2);
    host.Key(XK_Shift_L, false);
    ASSERT_TRUE(WaitFor([&]() { return rig.Events(rig.Gain()).size() >= 11; }));
    host.Pause(100);
    std::vector<int> numbers;
    for (const ProbeEvent& event : rig.Events(rig.Gain())) {
        EXPECT_EQ(event.mKind, ProbeEvent::Key);
        EXPECT_EQ(event.mX, 60);
        EXPECT_EQ(event.mY, 40);
        numbers.push_back(event.mExtra);
    }
    EXPECT_EQ(numbers, (std::vector<int>{EKey_A, EKey_A + 25, EKey_Digit0 + 5, EKey_Space, EKey_Up, EKey_Down,
                                         EKey_Left, EKey_Right, EKey_Digit0, EKey_A + 16, EKey_Digit0 + 2}));
}

TEST(X11Editor, LeavingTheWindowTellsTheControlsButNotDuringADrag)
{
    X11Host host;
    OPEN_X11_HOST_OR_SKIP(host, 400, 300);
    X11Rig rig;
    rig.Window().SetHandleMouseOver(true);
    ASSERT_TRUE(rig.Open(host.TopLevel()));
    host.MoveTo(50, 50);
    host.MoveTo(55, 52);
    ASSERT_TRUE(WaitFor([&]() { return !rig.Events(rig.Gain()).empty(); }));
    EXPECT_EQ(rig.Events(rig.Gain()).back().mKind, ProbeEvent::Over);
    host.MoveTo(700, 600);
    ASSERT_TRUE(WaitFor([&]() { return rig.Events(rig.Gain()).back().mKind == ProbeEvent::Out; }));

    // Pressed inside and moved out: the press holds the mouse, so nothing
    // has left until the release.
    host.MoveTo(50, 50);
    rig.ClearEvents();
    host.Button(1, true);
    host.MoveTo(700, 600);
    host.Pause(150);
    for (const ProbeEvent& event : rig.Events(rig.Gain())) EXPECT_NE(event.mKind, ProbeEvent::Out);
    EXPECT_EQ(rig.Events(rig.Gain()).back().mKind, ProbeEvent::Drag);
    host.Button(1, false);
    ASSERT_TRUE(WaitFor([&]() { return rig.Events(rig.Gain()).back().mKind == ProbeEvent::Out; }));
}

TEST(X11Editor, AValueSetOnAnotherThreadShowsWithinOneTick)
{
    X11Host host;
    OPEN_X11_HOST_OR_SKIP(host, 400, 300);
    X11Rig rig;
    ASSERT_TRUE(rig.Open(host.TopLevel()));
    Window editor = rig.EditorWindow();
    ASSERT_TRUE(WaitFor([&]() { return Near(host.Pixel(editor, 50, 50), ProbeColour(0.5)); }));
    const double values[] = {0.8, 0.2, 1.0};
    for (double value : values) {
        std::thread automation(
            [&]() { IPlugVST::VSTSetParameter(rig.Effect(), ProbeParam_Gain, static_cast<float>(value)); });
        automation.join();
        int posted = rig.Ticks().mTicks.load();
        int shown = 0;
        // The ticks counted right before the read that saw the value: a busy
        // machine may hold this thread back after the read, not before.
        ASSERT_TRUE(WaitFor([&]() {
            shown = rig.Ticks().mTicks.load();
            return Near(host.Pixel(editor, 50, 50), ProbeColour(value));
        }));
        // The tick after the post drew it (one more may have begun since).
        EXPECT_LE(shown - posted, 2) << "value " << value;
    }
}

TEST(X11Editor, ResizeGrowsTheWindowAndTheHostsChildWindowButNotTheTopLevel)
{
    X11Host host;
    OPEN_X11_HOST_OR_SKIP(host, 400, 300);
    Window inner = host.MakeInnerWindow(0, 0, 350, 250);
    // Declared before the rig: its editor thread uses them until it closes.
    std::atomic<bool> resize(false), resized(false);
    X11Rig rig;
    IGraphicsWindow* pWindow = &rig.Window();
    // The layout resizes on the editor's thread, from its tick.
    rig.Ticks().mOnTick = [&]() {
        if (resize.exchange(false)) {
            pWindow->Resize(X11Rig::WIDTH + 20, X11Rig::HEIGHT + 30);
            resized.store(true);
        }
    };
    ASSERT_TRUE(rig.Open(inner));
    resize.store(true);
    ASSERT_TRUE(WaitFor([&]() { return resized.load(); }));
    int width = 0, height = 0;
    ASSERT_TRUE(
        WaitFor([&]() { return host.Size(rig.EditorWindow(), &width, &height) && width == X11Rig::WIDTH + 20; }));
    EXPECT_EQ(height, X11Rig::HEIGHT + 30);
    ASSERT_TRUE(host.Size(inner, &width, &height));
    EXPECT_EQ(width, 370);
    EXPECT_EQ(height, 280);
    ASSERT_TRUE(host.Size(host.TopLevel(), &width, &height));
    EXPECT_EQ(width, 400);
    EXPECT_EQ(height, 300);
}

TEST(X11Editor, ClosesAtOnceWhileItsThreadWaitsForThePlugInLock)
{
    X11Host host;
    OPEN_X11_HOST_OR_SKIP(host, 400, 300);
    X11Rig rig;
    ASSERT_TRUE(rig.Open(host.TopLevel()));
    // The host's thread is inside its dispatcher: the timer waits.
    rig.Plug().Lock().Enter();
    int ticks = rig.Ticks().mTicks.load();
    host.Pause(150);
    EXPECT_EQ(rig.Ticks().mTicks.load(), ticks);
    auto start = std::chrono::steady_clock::now();
    rig.Close();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    rig.Plug().Lock().Leave();
    EXPECT_FALSE(rig.Window().HasWindow());
    EXPECT_TRUE(host.Children(host.TopLevel()).empty());
}

TEST(X11Editor, OpenAndClose50TimesWhileTheHostProcessesAndPostsValues)
{
    X11Host host;
    OPEN_X11_HOST_OR_SKIP(host, 400, 300);
    X11Rig rig;
    AEffect* pEffect = rig.Effect();
    IPlugVST::VSTDispatcher(pEffect, effSetSampleRate, 0, 0, nullptr, 48000.0f);
    IPlugVST::VSTDispatcher(pEffect, effSetBlockSize, 0, 64, nullptr, 0.0f);
    IPlugVST::VSTDispatcher(pEffect, effMainsChanged, 0, 1, nullptr, 0.0f);
    int threadsBefore = CountThreads();

    std::atomic<bool> stop(false);
    std::thread audio([&]() {
        std::vector<float> left(64), right(64);
        float* outputs[2] = {left.data(), right.data()};
        float* inputs[2] = {left.data(), right.data()};
        for (int i = 0; !stop.load(); ++i) {
            pEffect->processReplacing(pEffect, inputs, outputs, 64);
            rig.Window().ShowParamValue(ProbeParam_Gain, (i % 100) / 100.0, true);
            IPlugVST::VSTSetParameter(pEffect, ProbeParam_Depth, (i % 50) / 50.0f);
            std::this_thread::sleep_for(std::chrono::microseconds(500));
        }
    });
    std::thread poster([&]() {
        for (int i = 0; !stop.load(); ++i) {
            rig.Window().ShowParamValue(ProbeParam_Mode, i % 3, false);
            volatile double bound = rig.Window().BoundValue(ProbeParam_Depth);
            (void)bound;
            std::this_thread::yield();
        }
    });

    host.MoveTo(50, 50);
    for (int i = 0; i < 50; ++i) {
        VstIntPtr opened = IPlugVST::VSTDispatcher(
            pEffect, effEditOpen, 0, 0, reinterpret_cast<void*>(static_cast<uintptr_t>(host.TopLevel())), 0.0f);
        ASSERT_EQ(opened, 1) << "opening " << i;
        // Input arrives while the editor opens and closes.
        host.Button(4, true);
        host.Button(4, false);
        if (i % 10 == 0) {
            int ticks = rig.Ticks().mTicks.load();
            EXPECT_TRUE(WaitFor([&]() { return rig.Ticks().mTicks.load() > ticks; }));
            EXPECT_EQ(host.Children(host.TopLevel()).size(), 1u);
        } else if (i % 3 == 0) {
            host.Pause(15);
        }
        IPlugVST::VSTDispatcher(pEffect, effEditClose, 0, 0, nullptr, 0.0f);
    }
    stop.store(true);
    audio.join();
    poster.join();
    EXPECT_GT(rig.Plug().mBlocks.load(), 0);
    EXPECT_TRUE(host.Children(host.TopLevel()).empty());
    EXPECT_FALSE(rig.Window().HasWindow());
    // Every event thread has ended.
    EXPECT_EQ(CountThreads(), threadsBefore);
}
