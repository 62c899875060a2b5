// The editor window in offscreen mode: opening and closing, the tick and
// its inboxes, the value prompt's states, menus, dialogs and screenshots.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "GuiTestSupport.h"
#include "framework/gui/IBitmapControl.h"
#include "framework/gui/ITextControl.h"
#include "framework/gui/PopupMenu.h"
#include "framework/plugin/ModuleFile.h"

namespace {

FillControl* AddFill(TestRig& rig, const ControlRect& rect, int paramIdx)
{
    FillControl* pControl = new FillControl(&rig.Plug(), rect, paramIdx);
    rig.Window().AddControl(pControl);
    return pControl;
}

class RecordingTickHandler : public IEditorTickHandler {
public:
    void OnEditorTick(uint32_t taskFlags) override { mFlags.push_back(taskFlags); }
    std::vector<uint32_t> mFlags;
};

}  // namespace

TEST(IGraphicsWindow, OpensOffscreenAndMarksEveryControlChanged)
{
    TestRig rig;
    FillControl* pControl = AddFill(rig, ControlRect(0, 0, 10, 10), -1);
    rig.Attach();
    IGraphicsWindow& window = rig.Window();
    EXPECT_FALSE(window.HasWindow());
    EXPECT_EQ(window.GetWindow(), nullptr);
    pControl->MarkDrawn();
    EXPECT_EQ(window.OpenWindow(nullptr), &window);
    EXPECT_TRUE(window.HasWindow());
    EXPECT_TRUE(pControl->NeedsDraw());

    window.Tick();
    EXPECT_FALSE(pControl->NeedsDraw());
    window.CloseWindow();
    EXPECT_FALSE(window.HasWindow());
    // Reopening redraws everything again.
    window.OpenWindow(nullptr);
    EXPECT_TRUE(pControl->NeedsDraw());
}

TEST(IGraphicsWindow, HostValuesReachControlsOnTheNextTick)
{
    TestRig rig;
    FillControl* pGain = AddFill(rig, ControlRect(0, 0, 10, 10), TestParam_Gain);
    FillControl* pTwin = AddFill(rig, ControlRect(20, 0, 30, 10), TestParam_Gain);
    FillControl* pCount = AddFill(rig, ControlRect(40, 0, 50, 10), TestParam_Count);
    rig.AttachAndOpen();
    // AttachEditor's values arrived at once and became the defaults.
    EXPECT_EQ(pGain->DefaultValue(), 0.5);
    EXPECT_EQ(pCount->DefaultValue(), 0.3);

    rig.Window().ShowParamValue(TestParam_Gain, 0.8, true);
    rig.Window().ShowParamValue(TestParam_Gain, 0.9, true);    // the later value wins
    rig.Window().ShowParamValue(TestParam_Count, 7.0, false);  // a plain value is normalised
    EXPECT_EQ(pGain->Value(), 0.5);
    rig.Window().Tick();
    EXPECT_EQ(pGain->Value(), 0.9);
    EXPECT_EQ(pTwin->Value(), 0.9);
    EXPECT_DOUBLE_EQ(pCount->Value(), 0.7);
    EXPECT_EQ(pGain->DefaultValue(), 0.5);
    // Values from the plug-in never go back to it.
    EXPECT_TRUE(rig.Plug().mChanged.empty());

    // Unknown parameters are ignored.
    rig.Window().ShowParamValue(99, 1.0, true);
    rig.Window().ShowParamValue(99, 1.0, false);
    rig.Window().Tick();
}

TEST(IGraphicsWindow, ValuesShownWhileClosedAppearWhenOpened)
{
    TestRig rig;
    FillControl* pGain = AddFill(rig, ControlRect(0, 0, 10, 10), TestParam_Gain);
    rig.Attach();
    rig.Window().ShowParamValue(TestParam_Gain, 0.1, true);
    rig.Window().Tick();  // no window: no tick
    EXPECT_EQ(pGain->Value(), 0.5);
    rig.Window().OpenWindow(nullptr);
    rig.Window().Tick();
    EXPECT_EQ(pGain->Value(), 0.1);
}

TEST(IGraphicsWindow, BoundValuesFollowWhatTheControlsHold)
{
    TestRig rig;
    FillControl* pCount = AddFill(rig, ControlRect(0, 0, 10, 10), TestParam_Count);
    rig.AttachAndOpen();
    EXPECT_TRUE(rig.Window().HasBoundControl(TestParam_Count));
    EXPECT_FALSE(rig.Window().HasBoundControl(TestParam_Spare));  // no control shows it
    EXPECT_FALSE(rig.Window().HasBoundControl(-1));
    EXPECT_DOUBLE_EQ(rig.Window().BoundValue(TestParam_Count), 0.3);

    // A value from the plug-in counts from the moment it is posted.
    rig.Window().ShowParamValue(TestParam_Count, 0.8, true);
    EXPECT_EQ(rig.Window().BoundValue(TestParam_Count), 0.8);
    EXPECT_DOUBLE_EQ(pCount->Value(), 0.3);
    rig.Window().Tick();
    EXPECT_EQ(pCount->Value(), 0.8);

    // A value the user gives the control counts at once, and reaches the
    // plug-in once.
    pCount->TakeUserValue(0.6);
    pCount->TakeUserValue(0.6);
    EXPECT_EQ(pCount->Value(), 0.6);
    EXPECT_EQ(rig.Window().BoundValue(TestParam_Count), 0.6);
    EXPECT_EQ(rig.Param(TestParam_Count).Value(), 6.0);
    EXPECT_EQ(rig.Plug().mChanged, std::vector<int>{TestParam_Count});
}

TEST(IGraphicsWindow, TickHandlerRunsEveryTickWithThePostedFlags)
{
    TestRig rig;
    RecordingTickHandler handler;
    rig.Window().SetTickHandler(&handler);
    rig.AttachAndOpen();
    ASSERT_EQ(handler.mFlags.size(), 1u);
    EXPECT_EQ(handler.mFlags[0], IGraphicsLice::TASK_WINDOW_OPENED);
    rig.Window().PostTaskFlags(0x1);
    rig.Window().PostTaskFlags(0x4);
    rig.Window().Tick();
    rig.Window().Tick();
    EXPECT_EQ(handler.mFlags, (std::vector<uint32_t>{IGraphicsLice::TASK_WINDOW_OPENED, 0x5u, 0u}));
}

TEST(IGraphicsWindow, RightClickOnADoubleOpensTheEditBoxWithTheDisplayText)
{
    TestRig rig;
    FillControl* pGain = AddFill(rig, ControlRect(40, 20, 60, 40), TestParam_Gain);
    rig.AttachAndOpen();
    IGraphicsWindow& window = rig.Window();
    OffscreenScript& script = Offscreen(window);
    window.HandleMouseDown(45, 25, RightButton());
    window.HandleMouseUp(45, 25, RightButton());
    ASSERT_TRUE(window.PromptOpen());
    EXPECT_EQ(window.PromptControl(), pGain);
    EXPECT_TRUE(script.mEditExists);
    EXPECT_EQ(script.mEditText, "0.50");
    EXPECT_TRUE(script.mEditSelectedAll);
    EXPECT_EQ(script.mEditRect, ControlRect(32, 22, 68, 38));  // 36 x 16 about the centre
    EXPECT_EQ(window.GetPromptState(), IGraphicsWindow::PromptState_Editing);
    EXPECT_EQ(window.CaptureIdx(), -1);  // the release still ended the press

    // While the box has the focus nothing redraws and other input waits.
    pGain->MarkChanged(false);
    int blits = script.mBlits;
    window.Tick();
    EXPECT_EQ(script.mBlits, blits);

    script.mEditText = "0.25";
    window.PromptEnterPressed();
    EXPECT_EQ(window.GetPromptState(), IGraphicsWindow::PromptState_Commit);
    window.Tick();
    EXPECT_FALSE(window.PromptOpen());
    EXPECT_FALSE(script.mEditExists);
    EXPECT_EQ(window.GetPromptState(), IGraphicsWindow::PromptState_Idle);
    EXPECT_DOUBLE_EQ(rig.Param(TestParam_Gain).Value(), 0.25);
    EXPECT_EQ(pGain->Value(), 0.25);
    EXPECT_GT(script.mBlits, blits);  // and the redraw happens
}

TEST(IGraphicsWindow, CommitReadsNegatedDisplaysBack)
{
    TestRig rig;
    AddFill(rig, ControlRect(0, 0, 20, 20), TestParam_Depth);
    rig.Param(TestParam_Depth).SetValue(2.5);
    rig.AttachAndOpen();
    rig.Window().HandleMouseDown(5, 5, RightButton());
    EXPECT_EQ(Offscreen(rig.Window()).mEditText, "-2.5");
    Offscreen(rig.Window()).mEditText = "-3";
    rig.Window().PromptEnterPressed();
    rig.Window().Tick();
    EXPECT_DOUBLE_EQ(rig.Param(TestParam_Depth).Value(), 3.0);
}

TEST(IGraphicsWindow, CommitOfAParameterWithTextsMatchesThemOrTakesZero)
{
    TestRig rig;
    // An Int with a text is no menu parameter: its prompt is the edit box.
    rig.Param(TestParam_Count).AddDisplayText(4, "four");
    FillControl* pCount = AddFill(rig, ControlRect(0, 0, 20, 20), TestParam_Count);
    rig.AttachAndOpen();
    IGraphicsWindow& window = rig.Window();
    window.OpenValuePrompt(pCount, nullptr, false);  // neither parameter nor text mode
    EXPECT_FALSE(window.PromptOpen());

    window.HandleMouseDown(5, 5, RightButton());
    ASSERT_TRUE(window.PromptOpen());
    Offscreen(window).mEditText = "four";
    window.PromptEnterPressed();
    window.Tick();
    EXPECT_EQ(rig.Param(TestParam_Count).Value(), 4.0);

    window.HandleMouseDown(5, 5, RightButton());
    Offscreen(window).mEditText = "7";  // not one of the texts
    window.PromptEnterPressed();
    window.Tick();
    EXPECT_EQ(rig.Param(TestParam_Count).Value(), 0.0);
}

TEST(IGraphicsWindow, RightClickWhileEditingCancels)
{
    TestRig rig;
    AddFill(rig, ControlRect(0, 0, 20, 20), TestParam_Gain);
    rig.AttachAndOpen();
    IGraphicsWindow& window = rig.Window();
    window.HandleMouseDown(5, 5, RightButton());
    window.HandleMouseUp(5, 5, RightButton());
    Offscreen(window).mEditText = "0.9";
    window.HandleMouseDown(5, 5, RightButton());
    EXPECT_EQ(window.GetPromptState(), IGraphicsWindow::PromptState_Cancel);
    window.Tick();
    EXPECT_FALSE(window.PromptOpen());
    EXPECT_DOUBLE_EQ(rig.Param(TestParam_Gain).Value(), 0.5);
    EXPECT_TRUE(rig.Plug().mChanged.empty());
}

TEST(IGraphicsWindow, LeftClickWhileTheEditExistsCommitsAndIsHandled)
{
    TestRig rig;
    AddFill(rig, ControlRect(0, 0, 20, 20), TestParam_Gain);
    FillControl* pOther = AddFill(rig, ControlRect(100, 0, 120, 20), TestParam_Count);
    rig.AttachAndOpen();
    IGraphicsWindow& window = rig.Window();
    window.HandleMouseDown(5, 5, RightButton());
    window.HandleMouseUp(5, 5, RightButton());
    Offscreen(window).mEditText = "0.75";
    // Focus moves to the editor first, as a click on it does.
    window.PromptFocusChanged(false);
    EXPECT_EQ(window.GetPromptState(), IGraphicsWindow::PromptState_Idle);
    window.HandleMouseDown(105, 5, LeftButton());
    EXPECT_EQ(window.GetPromptState(), IGraphicsWindow::PromptState_Commit);
    EXPECT_EQ(window.CaptureIdx(), 1);  // the click went on to its control
    window.HandleMouseUp(105, 5, LeftButton());
    window.Tick();
    EXPECT_FALSE(window.PromptOpen());
    EXPECT_DOUBLE_EQ(rig.Param(TestParam_Gain).Value(), 0.75);
    EXPECT_EQ(rig.Plug().mGestures.back(), 2000 + TestParam_Count);
    EXPECT_EQ(pOther->Value(), 0.3);
}

TEST(IGraphicsWindow, EditTextFollowsTheValueWhenTheBoxLostTheFocus)
{
    TestRig rig;
    FillControl* pGain = AddFill(rig, ControlRect(0, 0, 20, 20), TestParam_Gain);
    rig.AttachAndOpen();
    IGraphicsWindow& window = rig.Window();
    window.HandleMouseDown(5, 5, RightButton());
    window.HandleMouseUp(5, 5, RightButton());
    window.PromptFocusChanged(false);
    // The host moves the parameter: the next tick redraws and asks for a
    // refresh, the one after puts the new text in the box.
    rig.Param(TestParam_Gain).SetValue(0.3);
    window.ShowParamValue(TestParam_Gain, 0.3, true);
    window.Tick();
    EXPECT_EQ(window.GetPromptState(), IGraphicsWindow::PromptState_Refresh);
    window.Tick();
    EXPECT_EQ(Offscreen(window).mEditText, "0.30");
    // The control's pending redraw asks once more; then all is quiet.
    window.Tick();
    window.Tick();
    EXPECT_EQ(window.GetPromptState(), IGraphicsWindow::PromptState_Idle);
    EXPECT_TRUE(window.PromptOpen());
    EXPECT_EQ(pGain->Value(), 0.3);
    // Regaining the focus goes back to editing.
    window.PromptFocusChanged(true);
    EXPECT_EQ(window.GetPromptState(), IGraphicsWindow::PromptState_Editing);
}

TEST(IGraphicsWindow, OnlyOnePromptAndNoneForControlsThatRefuse)
{
    TestRig rig;
    FillControl* pGain = AddFill(rig, ControlRect(0, 0, 20, 20), TestParam_Gain);
    FillControl* pCount = AddFill(rig, ControlRect(50, 0, 70, 20), TestParam_Count);
    FillControl* pUnbound = AddFill(rig, ControlRect(100, 0, 120, 20), -1);
    pCount->SetNoPrompt(true);
    rig.AttachAndOpen();
    IGraphicsWindow& window = rig.Window();
    window.HandleMouseDown(55, 5, RightButton());
    window.HandleMouseDown(105, 5, RightButton());
    EXPECT_FALSE(window.PromptOpen());

    window.HandleMouseDown(5, 5, RightButton());
    ASSERT_TRUE(window.PromptOpen());
    window.OpenValuePrompt(pCount, &rig.Param(TestParam_Count), false);
    window.OpenValuePrompt(pUnbound, &rig.Param(TestParam_Count), false);
    EXPECT_EQ(window.PromptControl(), pGain);
}

TEST(IGraphicsWindow, EnumPromptIsAMenuWithTheCurrentTextChecked)
{
    TestRig rig;
    FillControl* pMode = AddFill(rig, ControlRect(0, 0, 20, 20), TestParam_Mode);
    rig.Param(TestParam_Mode).SetValue(1);
    rig.AttachAndOpen();
    IGraphicsWindow& window = rig.Window();
    OffscreenScript& script = Offscreen(window);
    script.mMenuChoice = 3;  // "Sine"
    window.HandleMouseDown(5, 5, RightButton());
    EXPECT_FALSE(window.PromptOpen());
    ASSERT_EQ(script.mMenusShown, 1);
    ASSERT_EQ(script.mLastMenu.mItems.size(), 3u);
    EXPECT_EQ(script.mLastMenu.mItems[0].mText, "Saw");
    EXPECT_EQ(script.mLastMenu.mItems[0].mId, 1);
    EXPECT_FALSE(script.mLastMenu.mItems[0].mChecked);
    EXPECT_TRUE(script.mLastMenu.mItems[1].mChecked);
    EXPECT_EQ(script.mLastMenuX, 10);
    EXPECT_EQ(script.mLastMenuY, 10);
    EXPECT_EQ(pMode->Value(), 1.0);
    EXPECT_EQ(rig.Param(TestParam_Mode).Value(), 2.0);

    // A dismissed menu changes nothing.
    script.mMenuChoice = 0;
    window.HandleMouseDown(5, 5, RightButton());
    EXPECT_EQ(rig.Param(TestParam_Mode).Value(), 2.0);
}

TEST(IGraphicsWindow, TextModePromptEditsTheControlsText)
{
    TestRig rig;
    ITextControl* pName = new ITextControl(&rig.Plug(), ControlRect(0, 0, 60, 20), TextStyle(), "default");
    rig.Window().AddControl(pName);
    rig.AttachAndOpen();
    rig.Window().OpenValuePrompt(pName, nullptr, true);
    ASSERT_TRUE(rig.Window().PromptOpen());
    EXPECT_EQ(Offscreen(rig.Window()).mEditText, "default");
    Offscreen(rig.Window()).mEditText = "minor";
    rig.Window().PromptEnterPressed();
    rig.Window().Tick();
    EXPECT_STREQ(pName->GetText(), "minor");
}

TEST(IGraphicsWindow, ValueMenuInColumnsMapsTheChosenTextBack)
{
    TestRig rig;
    FillControl* pMode = AddFill(rig, ControlRect(0, 0, 20, 20), TestParam_Mode);
    rig.AttachAndOpen();
    IGraphicsWindow& window = rig.Window();
    window.HandleMouseMove(7, 8, NoButton());
    window.SetHandleMouseOver(true);
    window.HandleMouseMove(7, 8, NoButton());
    Offscreen(window).mMenuChoice = 2;
    window.OpenValueMenu(pMode, &rig.Param(TestParam_Mode), 2);
    const NativeMenu& menu = Offscreen(window).mLastMenu;
    ASSERT_EQ(menu.mItems.size(), 3u);
    EXPECT_TRUE(menu.mItems[0].mChecked);
    EXPECT_FALSE(menu.mItems[1].mColumnBreak);
    EXPECT_TRUE(menu.mItems[2].mColumnBreak);
    EXPECT_EQ(Offscreen(window).mLastMenuX, 7);
    EXPECT_EQ(Offscreen(window).mLastMenuY, 8);
    EXPECT_EQ(rig.Param(TestParam_Mode).Value(), 1.0);
    EXPECT_EQ(pMode->Value(), 0.5);
}

TEST(IGraphicsWindow, NativeMenusNumberItemsAcrossSubmenus)
{
    TestRig rig;
    PopupMenu menu;
    menu.AddItem("one");
    menu.AddSeparator();
    PopupMenu* pSub = new PopupMenu();
    pSub->AddItem("deep", -1, PopupMenuItem::Flags_Checked);
    pSub->AddItem("deeper");
    menu.AddItem(new PopupMenuItem("more", PopupMenuItem::Flags_None, pSub));
    menu.AddItem("last");
    NativeMenu native;
    int nextId = 1;
    EXPECT_TRUE(rig.Window().FillNativeMenu(&native, &nextId, menu));
    ASSERT_EQ(native.mItems.size(), 4u);
    EXPECT_TRUE(native.mItems[1].mSeparator);
    EXPECT_TRUE(native.mItems[2].mHasSubmenu);
    EXPECT_TRUE(native.mItems[2].mChecked);  // holds a checked item
    ASSERT_EQ(native.mItems[2].mSubmenu.size(), 2u);
    EXPECT_EQ(native.mItems[2].mSubmenu[0].mId, 4);
    EXPECT_EQ(native.mItems[2].mSubmenu[1].mId, 5);
    EXPECT_EQ(native.mItems[3].mId, 6);
    EXPECT_EQ(nextId, 7);
}

TEST(IGraphicsWindow, ColourChooserReplacesOnlyTheColourChannels)
{
    TestRig rig;
    rig.Attach();
    IGraphicsWindow& window = rig.Window();
    Color colour(100, 1, 2, 3);
    EXPECT_FALSE(window.ChooseColour(&colour, "Pick"));  // no window
    window.OpenWindow(nullptr);
    Offscreen(window).mColourChosen = true;
    Offscreen(window).mColour = Color(7, 40, 50, 60);
    EXPECT_TRUE(window.ChooseColour(&colour, "Pick"));
    EXPECT_EQ(colour, Color(100, 40, 50, 60));
    EXPECT_EQ(Offscreen(window).mLastColourTitle, "Pick");
    Offscreen(window).mColourChosen = false;
    EXPECT_FALSE(window.ChooseColour(&colour, nullptr));
    EXPECT_EQ(colour, Color(100, 40, 50, 60));
}

TEST(IGraphicsWindow, FileChooserEmptiesItsAnswerAndNeedsAWindow)
{
    TestRig rig;
    rig.Attach();
    IGraphicsWindow& window = rig.Window();
    std::string path = "stale";
    window.ChooseFile(&path, 0, "/x/", "txt");
    EXPECT_EQ(path, "");
    EXPECT_EQ(Offscreen(window).mFileDialogs, 0);
    window.OpenWindow(nullptr);
    Offscreen(window).mFileChosen = true;
    Offscreen(window).mFilePath = "/x/a.txt";
    window.ChooseFile(&path, 1, "/x/", "txt");
    EXPECT_EQ(path, "/x/a.txt");
    EXPECT_EQ(Offscreen(window).mLastFileAction, 1);
    EXPECT_EQ(Offscreen(window).mLastFileExtensions, "txt");
}

TEST(IGraphicsWindow, WebAddressNeedsConfirmationAndAConnection)
{
    TestRig rig;
    rig.AttachAndOpen();
    IGraphicsWindow& window = rig.Window();
    OffscreenScript& script = Offscreen(window);
    EXPECT_TRUE(window.OpenWebAddress("https://example.org", "Web", "Open it?", "Failed"));
    EXPECT_EQ(script.mMessages, std::vector<std::string>{"Open it?"});
    EXPECT_EQ(script.mOpenedUrls, std::vector<std::string>{"https://example.org"});

    script.mAnswerYes = false;
    EXPECT_FALSE(window.OpenWebAddress("https://example.org", "Web", "Open it?", "Failed"));
    EXPECT_EQ(script.mMessages.back(), "Failed");
    EXPECT_EQ(script.mOpenedUrls.size(), 1u);

    script.mAnswerYes = true;
    script.mConnected = false;
    script.mMessages.clear();
    EXPECT_FALSE(window.OpenWebAddress("https://example.org", "Web", nullptr, nullptr));
    EXPECT_TRUE(script.mMessages.empty());
}

TEST(IGraphicsWindow, FoldersEndInASeparator)
{
    TestRig rig;
    std::string host, plugin;
    rig.Window().HostFolder(&host);
    rig.Window().PluginFolder(&plugin);
    ASSERT_FALSE(host.empty());
    ASSERT_FALSE(plugin.empty());
    EXPECT_EQ(host.back(), PATH_SEPARATOR);
    EXPECT_EQ(plugin.back(), PATH_SEPARATOR);
}

TEST(IGraphicsWindow, ScreenshotRoundTrip)
{
    TestRig rig;
    TestImage image(20, 10, {RED, GREEN});
    rig.Window().AddControl(new IBitmapControl(&rig.Plug(), 5, 5, TestParam_Power, image.Ref()));
    rig.Param(TestParam_Power).SetValue(1);
    rig.AttachAndOpen();
    char path[64];
    std::snprintf(path, sizeof path, "gui_screenshot_%d.png",
                  static_cast<int>(::testing::UnitTest::GetInstance()->random_seed()));
    ASSERT_TRUE(WriteScreenshot(rig.Window(), path));
    FILE* pFile = std::fopen(path, "rb");
    ASSERT_NE(pFile, nullptr);
    std::vector<unsigned char> bytes;
    int c;
    while ((c = std::fgetc(pFile)) != EOF) bytes.push_back(static_cast<unsigned char>(c));
    std::fclose(pFile);
    std::remove(path);
    std::unique_ptr<MemoryBitmap> pShot(Raster::DecodePng(bytes.data(), bytes.size()));
    ASSERT_NE(pShot, nullptr);
    ASSERT_EQ(pShot->Width(), 200);
    ASSERT_EQ(pShot->Height(), 100);
    for (int y = 0; y < 100; ++y) {
        for (int x = 0; x < 200; ++x) {
            ASSERT_EQ(Raster::GetPixel(*pShot, x, y), rig.Window().ReadPixel(x, y).Packed()) << x << "," << y;
        }
    }
    EXPECT_EQ(Raster::GetPixel(*pShot, 10, 10), GREEN);
    EXPECT_FALSE(WriteScreenshot(rig.Window(), "/nonexistent-folder/shot.png"));
}

TEST(IGraphicsWindow, ResizeDropsControlsAndThePrompt)
{
    TestRig rig;
    AddFill(rig, ControlRect(0, 0, 20, 20), TestParam_Gain);
    rig.AttachAndOpen();
    rig.Window().HandleMouseDown(5, 5, RightButton());
    ASSERT_TRUE(rig.Window().PromptOpen());
    rig.Window().Resize(300, 120);
    EXPECT_EQ(rig.Window().NControls(), 0);
    EXPECT_FALSE(rig.Window().PromptOpen());
    EXPECT_EQ(rig.Window().Width(), 300);
    EXPECT_EQ(rig.Window().PixelBuffer()->Height(), 120);
    EXPECT_FALSE(rig.Window().HasBoundControl(TestParam_Gain));
    rig.Window().Tick();
}
