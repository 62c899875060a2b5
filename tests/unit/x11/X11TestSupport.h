// A small plug-in with an editor of probe controls, opened through the VST
// dispatcher as a child of a top-level X window that the test creates, and
// driven through XTEST as a user would drive it. Tests that need an X
// display skip when $DISPLAY is unset.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "framework/gui/DisplayX11.h"
#include "framework/gui/IControl.h"
#include "framework/gui/IGraphicsWindow.h"
#include "framework/gui/IKnobControl.h"
#include "framework/plugin/IPlugParam.h"
#include "framework/plugin/IPlugVST.h"

#include <X11/extensions/XTest.h>

enum ProbeParam {
    ProbeParam_Gain = 0,  // Double 0..1, step 0.01
    ProbeParam_Mode,      // Enum "Saw", "Square", "Sine"
    ProbeParam_Depth,     // Double -10..10, shown negated
    ProbeParam_Note,      // Enum of seven note names
    ProbeParam_Count_
};

// What the plug-in told its host: audioMasterBeginEdit, Automate, EndEdit.
struct HostRecord {
    int mOpcode;
    int mIndex;
    float mValue;
};

class HostRecorder {
public:
    static HostRecorder& Instance()
    {
        static HostRecorder recorder;
        return recorder;
    }
    void Clear()
    {
        std::lock_guard<std::mutex> lock(mMutex);
        mRecords.clear();
    }
    void Add(const HostRecord& record)
    {
        std::lock_guard<std::mutex> lock(mMutex);
        mRecords.push_back(record);
    }
    std::vector<HostRecord> Records()
    {
        std::lock_guard<std::mutex> lock(mMutex);
        return mRecords;
    }
    // The opcodes (0 automate, 43 begin, 44 end) seen for a parameter.
    std::vector<int> Opcodes(int index)
    {
        std::vector<int> opcodes;
        for (const HostRecord& record : Records()) {
            if (record.mIndex == index) opcodes.push_back(record.mOpcode);
        }
        return opcodes;
    }

private:
    std::mutex mMutex;
    std::vector<HostRecord> mRecords;
};

inline VstIntPtr VSTCALLBACK RecordingHost(AEffect* /*pEffect*/, VstInt32 opcode, VstInt32 index, VstIntPtr /*value*/,
                                           void* /*ptr*/, float opt)
{
    switch (opcode) {
    case audioMasterVersion:
        return 2400;
    case audioMasterAutomate:
    case audioMasterBeginEdit:
    case audioMasterEndEdit:
        HostRecorder::Instance().Add(HostRecord{opcode, index, opt});
        return 1;
    default:
        return 0;
    }
}

class ProbePlug : public IPlugVST {
public:
    ProbePlug()
        : IPlugVST(RecordingHost, ProbeParam_Count_, "0-2", 0, "X11Probe", "", "Maker", 0x00010000, 0x58313150,
                   0x4D616B72, 0, true, true, true)
    {
        GetParam(ProbeParam_Gain)->DefineDouble("Gain", 0.5, 0.0, 1.0, 0.01);
        GetParam(ProbeParam_Mode)->DefineEnum("Mode", 0, 3);
        GetParam(ProbeParam_Mode)->AddDisplayText(0, "Saw");
        GetParam(ProbeParam_Mode)->AddDisplayText(1, "Square");
        GetParam(ProbeParam_Mode)->AddDisplayText(2, "Sine");
        GetParam(ProbeParam_Depth)->DefineDouble("Depth", 0.0, -10.0, 10.0, 0.1);
        GetParam(ProbeParam_Depth)->SetNegateDisplay(true);
        const char* notes[] = {"C", "D", "E", "F", "G", "A", "B"};
        GetParam(ProbeParam_Note)->DefineEnum("Note", 0, 7);
        for (int i = 0; i < 7; ++i) GetParam(ProbeParam_Note)->AddDisplayText(i, notes[i]);
    }

    void ProcessBlock(double** /*inputs*/, double** outputs, int nFrames, const TransportInfo& /*transport*/) override
    {
        for (int c = 0; c < 2; ++c) {
            for (int i = 0; i < nFrames; ++i) outputs[c][i] = 0.0;
        }
        mBlocks.fetch_add(1);
    }

    double Plain(int index)
    {
        ScopedLock lock(Lock());
        return GetParam(index)->Value();
    }

    std::atomic<int> mBlocks{0};
};

// One event a probe control received.
struct ProbeEvent {
    enum Kind {
        Down,
        Up,
        Drag,
        DoubleClick,
        Wheel,
        Key,
        Over,
        Out
    };
    Kind mKind;
    int mX;
    int mY;
    MouseMods mMods;
    int mExtra;  // wheel notches, key number, drag dy
};

// A knob drawn as a solid rect whose red channel is its value (0..255),
// recording every event. The record has a lock of its own: the editor's
// thread holds the surface lock all through a modal dialog.
class ProbeControl : public IKnobControl {
public:
    ProbeControl(IPlugBase* pPlug, const ControlRect& rect, int paramIdx) : IKnobControl(pPlug, rect, paramIdx) {}

    bool Draw(IGraphicsLice* pGraphics) override
    {
        int red = static_cast<int>(std::lround(mValue * 255.0));
        return pGraphics->FillArea(Color(255, red, 0x40, 0x80), mRect, nullptr);
    }
    void MouseDown(int x, int y, const MouseMods& mods) override
    {
        Record(ProbeEvent::Down, x, y, mods, 0);
        IKnobControl::MouseDown(x, y, mods);
    }
    void MouseUp(int x, int y, const MouseMods& mods) override { Record(ProbeEvent::Up, x, y, mods, 0); }
    void MouseDrag(int x, int y, int dx, int dy, const MouseMods& mods) override
    {
        Record(ProbeEvent::Drag, x, y, mods, dy);
        IKnobControl::MouseDrag(x, y, dx, dy, mods);
    }
    void MouseDoubleClick(int x, int y, const MouseMods& mods) override
    {
        Record(ProbeEvent::DoubleClick, x, y, mods, 0);
    }
    void MouseWheel(int x, int y, const MouseMods& mods, int d) override
    {
        Record(ProbeEvent::Wheel, x, y, mods, d);
        IKnobControl::MouseWheel(x, y, mods, d);
    }
    void KeyDown(int x, int y, int key) override { Record(ProbeEvent::Key, x, y, MouseMods(), key); }
    void MouseOver(int x, int y, const MouseMods& mods) override { Record(ProbeEvent::Over, x, y, mods, 0); }
    void MouseOut() override { Record(ProbeEvent::Out, -1, -1, MouseMods(), 0); }

    std::vector<ProbeEvent> Events()
    {
        std::lock_guard<std::mutex> lock(mMutex);
        return mEvents;
    }
    void ClearEvents()
    {
        std::lock_guard<std::mutex> lock(mMutex);
        mEvents.clear();
    }

private:
    void Record(ProbeEvent::Kind kind, int x, int y, const MouseMods& mods, int extra)
    {
        std::lock_guard<std::mutex> lock(mMutex);
        mEvents.push_back(ProbeEvent{kind, x, y, mods, extra});
    }

    std::mutex mMutex;
    std::vector<ProbeEvent> mEvents;
};

// Runs whatever the test hands it on the editor's thread: on a press it
// calls the action (a dialog, a value menu) and keeps what it answered.
// Set the action under the surface lock: the editor's thread reads it.
class ActionControl : public IControl {
public:
    ActionControl(IPlugBase* pPlug, const ControlRect& rect, int paramIdx) : IControl(pPlug, rect, paramIdx) {}
    bool Draw(IGraphicsLice* pGraphics) override
    {
        return pGraphics->FillArea(Color(255, 0x20, 0xA0, 0x20), mRect, nullptr);
    }
    void MouseDown(int /*x*/, int /*y*/, const MouseMods& /*mods*/) override
    {
        if (mAction) mAction(this);
        mRuns.fetch_add(1);
    }

    std::function<void(ActionControl*)> mAction;
    std::atomic<int> mRuns{0};
    // Answers, read once mRuns moved.
    std::string mText;
    bool mResult = false;
};

// Counts the editor's timer ticks.
class TickCounter : public IEditorTickHandler {
public:
    void OnEditorTick(uint32_t /*flags*/) override
    {
        mTicks.fetch_add(1);
        if (mOnTick) mOnTick();
    }
    std::atomic<int> mTicks{0};
    std::function<void()> mOnTick;
};

bool WaitFor(const std::function<bool()>& condition, int timeoutMs = 3000);

// Colours (0xRRGGBB) compare per channel within a tolerance: a 16-bit
// screen keeps 5 or 6 bits of each.
inline bool Near(uint32_t actual, uint32_t expected, int tolerance = 9)
{
    for (int shift = 0; shift <= 16; shift += 8) {
        int a = static_cast<int>((actual >> shift) & 0xFFu), e = static_cast<int>((expected >> shift) & 0xFFu);
        if (a - e > tolerance || e - a > tolerance) return false;
    }
    return true;
}

// The test's side of the X server: its connection, the host's top-level
// window and XTEST input. Used by the test's thread only.
class X11Host {
public:
    X11Host() {}
    ~X11Host();
    // False (and the test should skip) without a display.
    bool Open(int width, int height);
    const char* Problem() const { return mProblem; }
    Display* GetDisplay() const { return mpDisplay; }
    Window TopLevel() const { return mTopLevel; }
    // The host's own child window inside the top-level window.
    Window MakeInnerWindow(int x, int y, int width, int height);
    std::vector<Window> Children(Window window);
    bool Size(Window window, int* pWidth, int* pHeight);
    // Mapped override-redirect windows on the root: open popup menus.
    std::vector<Window> PopupWindows();
    bool Geometry(Window window, int* pX, int* pY, int* pWidth, int* pHeight);

    void MoveTo(int rootX, int rootY);
    void Button(unsigned button, bool press);
    void Click(int rootX, int rootY, unsigned button = 1);
    void Key(KeySym symbol, bool press);
    void Type(KeySym symbol);
    void TypeText(const char* text);
    void Pause(int milliseconds);
    // The pixel of a window as 0xRRGGBB, whatever the visual.
    uint32_t Pixel(Window window, int x, int y);

private:
    Display* mpDisplay = nullptr;
    Window mTopLevel = 0;
    const char* mProblem = "";
};

// The probe plug-in with its editor (300 x 200): probes bound to Gain at
// (20, 20)-(80, 80), Mode at (100, 20)-(160, 80) and Depth at (180, 20)-
// (240, 80), an action control bound to Note at (20, 110)-(80, 150).
class X11Rig {
public:
    static constexpr int WIDTH = 300;
    static constexpr int HEIGHT = 200;

    X11Rig();
    ~X11Rig();

    ProbePlug& Plug() { return *mpPlug; }
    IGraphicsWindow& Window() { return *mpWindow; }
    AEffect* Effect() { return mpPlug->GetAEffect(); }
    ProbeControl* Gain() { return mpGain; }
    ProbeControl* Mode() { return mpMode; }
    ProbeControl* Depth() { return mpDepth; }
    ActionControl* Action() { return mpAction; }
    TickCounter& Ticks() { return mTicks; }

    // effEditOpen with the window id; true when the editor opened and its
    // first picture is on the screen.
    bool Open(::Window parent);
    void Close();
    ::Window EditorWindow() const;

    std::vector<ProbeEvent> Events(ProbeControl* pProbe) { return pProbe->Events(); }
    void ClearEvents();
    // Under the surface lock: not while a dialog or menu is open.
    double Value(IControl* pControl);

private:
    std::unique_ptr<ProbePlug> mpPlug;
    IGraphicsWindow* mpWindow;
    ProbeControl* mpGain;
    ProbeControl* mpMode;
    ProbeControl* mpDepth;
    ActionControl* mpAction;
    TickCounter mTicks;
};

// Skips the test without an X display; otherwise opens the host window,
// and fails when that does not work.
#define OPEN_X11_HOST_OR_SKIP(host, width, height)                                        \
    do {                                                                                  \
        if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no X display (run under xvfb-run)"; \
        ASSERT_TRUE((host).Open((width), (height))) << (host).Problem();                  \
    } while (0)
