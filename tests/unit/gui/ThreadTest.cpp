// The editor between threads: host threads post values while the GUI
// thread ticks, the GUI thread never waits for a plug-in lock that the
// closing host thread holds, and modal dialogs do not hold that lock.
// Build with -fsanitize=thread to have these checked for data races.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include "GuiTestSupport.h"
#include "framework/gui/IFileSelectorControl.h"
#include "framework/gui/IKnobMultiControl.h"
#include "framework/gui/ITextControl.h"
#include "framework/gui/ValueReadOut.h"

namespace {

void WaitUntil(const std::atomic<bool>& flag)
{
    for (int i = 0; i < 5000 && !flag.load(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

class CountingTickHandler : public IEditorTickHandler {
public:
    void OnEditorTick(uint32_t taskFlags) override { mFlags |= taskFlags; }
    uint32_t mFlags = 0;
};

}  // namespace

TEST(EditorThreads, HostSetParameterFromAnotherThreadReachesTheKnobOnTheNextTick)
{
    TestImage image(10, 10, {RED, GREEN, BLUE});
    TestRig rig;
    IKnobMultiControl* pKnob = new IKnobMultiControl(&rig.Plug(), 0, 0, TestParam_Gain, image.Ref());
    rig.Window().AddControl(pKnob);
    rig.AttachAndOpen();
    std::thread host([&]() { IPlugVST::VSTSetParameter(rig.Plug().GetAEffect(), TestParam_Gain, 0.25f); });
    host.join();
    EXPECT_EQ(pKnob->Value(), 0.5);
    rig.Window().Tick();
    EXPECT_EQ(pKnob->Value(), 0.25);
    EXPECT_EQ(rig.Window().ReadPixel(5, 5).Packed(), GREEN);
}

TEST(EditorThreads, HammeringFromTwoThreadsWhileTicking)
{
    TestImage image(10, 10, {RED, GREEN, BLUE});
    TestRig rig;
    IKnobMultiControl* pGain = new IKnobMultiControl(&rig.Plug(), 0, 0, TestParam_Gain, image.Ref());
    IKnobMultiControl* pCount = new IKnobMultiControl(&rig.Plug(), 20, 0, TestParam_Count, image.Ref());
    rig.Window().AddControl(pGain);
    new ValueReadOut(&rig.Plug(), &rig.Window(), ControlRect(0, 20, 40, 30), TextStyle(), pGain);
    rig.Window().AddControl(pCount);
    new ValueReadOutInt(&rig.Plug(), &rig.Window(), ControlRect(20, 20, 60, 30), TextStyle(), pCount);
    CountingTickHandler handler;
    rig.Window().SetTickHandler(&handler);
    rig.AttachAndOpen();

    std::atomic<bool> stop(false);
    AEffect* pEffect = rig.Plug().GetAEffect();
    // The audio thread: automation through the host entry, under the lock.
    std::thread audio([&]() {
        for (int i = 0; !stop.load(); ++i) {
            IPlugVST::VSTSetParameter(pEffect, TestParam_Gain, (i % 100) / 100.0f);
            IPlugVST::VSTSetParameter(pEffect, TestParam_Count, (i % 11) / 10.0f);
            rig.Window().PostTaskFlags(1u << (i % 8));
        }
    });
    // The host's UI thread: editor pushes, and the comparison of a
    // MIDI-mapped value with what the knob holds.
    std::thread ui([&]() {
        for (int i = 0; !stop.load(); ++i) {
            rig.Window().ShowParamValue(TestParam_Count, i % 11, false);
            double bound = rig.Window().BoundValue(TestParam_Gain);
            float value = IPlugVST::VSTGetParameter(pEffect, TestParam_Gain);
            (void)bound;
            (void)value;
            std::this_thread::yield();
        }
    });
    // The GUI thread: ticks and drags the knob.
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(300);
    int ticks = 0;
    while (std::chrono::steady_clock::now() < end) {
        rig.Window().Tick();
        rig.Window().HandleMouseDown(5, 5, LeftButton());
        rig.Window().HandleMouseMove(5, 2, LeftButton());
        rig.Window().HandleMouseUp(5, 2, LeftButton());
        ++ticks;
    }
    stop.store(true);
    audio.join();
    ui.join();
    EXPECT_GT(ticks, 10);
    EXPECT_NE(handler.mFlags, 0u);

    // Once everything is quiet (and what the threads left is applied) the
    // last host value shows.
    rig.Window().Tick();
    IPlugVST::VSTSetParameter(pEffect, TestParam_Gain, 0.375f);
    rig.Window().Tick();
    EXPECT_EQ(pGain->Value(), 0.375);
    rig.Window().Tick();
    EXPECT_STREQ(static_cast<ITextControl*>(rig.Window().GetControl(1))->GetText(), "0.38");
}

TEST(EditorThreads, TickGivesUpWhileTheHostClosesTheWindowHoldingThePlugInLock)
{
    TestImage image(10, 10, {RED, GREEN});
    TestRig rig;
    IKnobMultiControl* pKnob = new IKnobMultiControl(&rig.Plug(), 0, 0, TestParam_Gain, image.Ref());
    rig.Window().AddControl(pKnob);
    rig.AttachAndOpen();
    rig.Window().ShowParamValue(TestParam_Gain, 1.0, true);

    std::atomic<bool> guiDone(false);
    rig.Plug().Lock().Enter();  // the host's UI thread, inside its dispatcher
    std::thread gui([&]() {
        rig.Window().Tick();
        rig.Window().HandleMouseDown(5, 5, LeftButton());
        guiDone.store(true);
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_FALSE(guiDone.load());  // waiting for the plug-in lock
    // effEditClose: closes the editor and waits for its thread, all under
    // the plug-in lock.
    rig.Window().CloseWindow();
    gui.join();
    rig.Plug().Lock().Leave();
    EXPECT_TRUE(guiDone.load());
    EXPECT_EQ(pKnob->Value(), 0.5);  // the tick and the press did nothing
    EXPECT_TRUE(rig.Plug().mGestures.empty());
}

TEST(EditorThreads, ModalDialogsDoNotHoldThePlugInLock)
{
    TestImage image(12, 13, {RED, GREEN});
    TestRig rig;
    OpenWithFileSelector(rig, image, ControlRect(0, 0, 12, 13), "");
    bool audioRan = false;
    Offscreen(rig.Window()).mOnModal = [&]() {
        std::thread audio([&]() {
            ScopedLock lock(rig.Plug().Lock());
            audioRan = true;
        });
        audio.join();
    };
    rig.Window().HandleMouseDown(5, 5, LeftButton());
    EXPECT_TRUE(audioRan);
    EXPECT_EQ(rig.Param(TestParam_Power).Value(), 1.0);

    // Nor does the handler of a chosen file, which runs before the value is
    // sent.
    class Reader : public IFileChosenHandler {
    public:
        explicit Reader(TestRig* pRig) : mpRig(pRig) {}
        void OnFileChosen(const char* path) override
        {
            mPath = path;
            std::thread audio([&]() {
                ScopedLock lock(mpRig->Plug().Lock());
                mValueThen = mpRig->Param(TestParam_Power).Value();
            });
            audio.join();
        }
        TestRig* mpRig;
        std::string mPath;
        double mValueThen = -1.0;
    } reader(&rig);
    IFileSelectorControl* pSelector = static_cast<IFileSelectorControl*>(rig.Window().GetControl(0));
    pSelector->SetFileChosenHandler(&reader);
    Offscreen(rig.Window()).mOnModal = nullptr;
    Offscreen(rig.Window()).mFileChosen = true;
    Offscreen(rig.Window()).mFilePath = "/scales/minor.scl";
    rig.Window().HandleMouseDown(5, 5, LeftButton());
    EXPECT_EQ(reader.mPath, "/scales/minor.scl");
    EXPECT_EQ(reader.mValueThen, 1.0);
    EXPECT_EQ(rig.Param(TestParam_Power).Value(), 0.0);
}

TEST(EditorThreads, ADialogEndingWhileTheWindowClosesSendsNothing)
{
    TestImage image(12, 13, {RED, GREEN});
    TestRig rig;
    IFileSelectorControl* pSelector = OpenWithFileSelector(rig, image, ControlRect(0, 0, 12, 13), "");
    std::atomic<bool> dialogOpen(false);
    Offscreen(rig.Window()).mOnModal = [&]() {
        dialogOpen.store(true);
        // The host closes the editor meanwhile; the dialog ends after that.
        for (int i = 0; i < 5000 && rig.Window().HasWindow(); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    };
    std::thread gui([&]() { rig.Window().HandleMouseDown(5, 5, LeftButton()); });
    WaitUntil(dialogOpen);
    rig.Plug().Lock().Enter();
    rig.Window().CloseWindow();
    gui.join();
    rig.Plug().Lock().Leave();
    EXPECT_EQ(pSelector->Value(), 1.0);
    EXPECT_EQ(rig.Param(TestParam_Power).Value(), 0.0);
    EXPECT_TRUE(rig.Plug().mChanged.empty());
    EXPECT_TRUE(rig.Plug().mGestures.empty());
    // The next input after reopening sends again.
    Offscreen(rig.Window()).mOnModal = nullptr;
    rig.Window().OpenWindow(nullptr);
    rig.Window().HandleMouseDown(5, 5, LeftButton());
    EXPECT_EQ(rig.Param(TestParam_Power).Value(), 0.0);
    EXPECT_EQ(rig.Plug().mChanged, std::vector<int>{TestParam_Power});
    EXPECT_EQ(rig.Plug().mGestures, std::vector<int>{TestParam_Power + 1000});
}
