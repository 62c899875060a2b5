// The standard controls: switches, contacts, knobs, value texts, radio
// groups, sliders, the file selector, text controls, read-outs and groups.
#include <gtest/gtest.h>

#include <cstring>

#include "GuiTestSupport.h"
#include "framework/gui/ControlGroup.h"
#include "framework/gui/IBitmapControl.h"
#include "framework/gui/IContactControl.h"
#include "framework/gui/IFileSelectorControl.h"
#include "framework/gui/IKnobMultiControl.h"
#include "framework/gui/IRadioGroupControl.h"
#include "framework/gui/ISliderControl.h"
#include "framework/gui/ISwitchControl.h"
#include "framework/gui/ITextControl.h"
#include "framework/gui/IValueTextControl.h"
#include "framework/gui/ValueReadOut.h"

TEST(IBitmapControl, RectIsOneFrameAndTheValuePicksTheFrame)
{
    TestImage image(10, 8, {RED, GREEN, BLUE});
    TestRig rig;
    IBitmapControl* pControl = new IBitmapControl(&rig.Plug(), 20, 30, TestParam_Gain, image.Ref());
    EXPECT_EQ(pControl->GetRect(), ControlRect(20, 30, 30, 38));
    rig.Window().AddControl(pControl);
    rig.Param(TestParam_Gain).SetValue(0.0);
    rig.AttachAndOpen();
    EXPECT_EQ(rig.Window().ReadPixel(25, 34).Packed(), RED);

    rig.Window().ShowParamValue(TestParam_Gain, 0.5, true);
    rig.Window().Tick();
    EXPECT_EQ(rig.Window().ReadPixel(25, 34).Packed(), GREEN);
    rig.Window().ShowParamValue(TestParam_Gain, 0.9, true);
    rig.Window().Tick();
    EXPECT_EQ(rig.Window().ReadPixel(20, 30).Packed(), BLUE);
    EXPECT_EQ(rig.Window().ReadPixel(29, 37).Packed(), BLUE);
    EXPECT_EQ(rig.Window().ReadPixel(30, 37).Packed(), 0u);  // nothing beyond the rect
}

TEST(ISwitchControl, StepsThroughItsFramesAndWraps)
{
    TestPlug plug;
    TestImage twoFrames(4, 4, {RED, GREEN});
    ISwitchControl toggle(&plug, 0, 0, TestParam_Power, twoFrames.Ref());
    std::vector<double> seen;
    for (int i = 0; i < 3; ++i) {
        toggle.MouseDown(1, 1, LeftButton());
        seen.push_back(toggle.Value());
    }
    EXPECT_EQ(seen, (std::vector<double>{1.0, 0.0, 1.0}));
    EXPECT_EQ(plug.GetParam(TestParam_Power)->Value(), 1.0);

    TestImage threeFrames(4, 4, {RED, GREEN, BLUE});
    ISwitchControl selector(&plug, 0, 0, -1, threeFrames.Ref());
    seen.clear();
    for (int i = 0; i < 4; ++i) {
        selector.MouseDown(1, 1, LeftButton());
        seen.push_back(selector.Value());
    }
    EXPECT_EQ(seen, (std::vector<double>{0.5, 1.0, 0.0, 0.5}));

    TestImage oneFrame(4, 4, {RED});
    ISwitchControl single(&plug, 0, 0, -1, oneFrame.Ref());
    single.MouseDown(1, 1, LeftButton());
    EXPECT_EQ(single.Value(), 1.0);
    single.MouseDown(1, 1, LeftButton());
    EXPECT_EQ(single.Value(), 0.0);
}

TEST(IContactControl, ReadsOneWhilePressedAndZeroAfterRelease)
{
    TestPlug plug;
    TestImage image(4, 4, {RED, GREEN});
    IContactControl contact(&plug, 0, 0, TestParam_Power, image.Ref());
    contact.MouseDown(1, 1, LeftButton());
    EXPECT_EQ(contact.Value(), 1.0);
    EXPECT_EQ(plug.GetParam(TestParam_Power)->Value(), 1.0);
    contact.MouseUp(1, 1, LeftButton());
    EXPECT_EQ(contact.Value(), 0.0);
    EXPECT_EQ(plug.GetParam(TestParam_Power)->Value(), 0.0);
    EXPECT_EQ(plug.mChanged, (std::vector<int>{TestParam_Power, TestParam_Power}));
}

TEST(IKnobMultiControl, DragGearingAndTheFineModifier)
{
    TestPlug plug;
    TestImage image(32, 32, {RED, GREEN, BLUE});
    IKnobMultiControl knob(&plug, 0, 0, TestParam_Gain, image.Ref(), DragDirection_Vertical, 8.0);
    EXPECT_EQ(knob.GetRect().Height(), 32);
    knob.MouseDrag(0, -32, 0, -32, LeftButton());  // up by its own height
    EXPECT_NEAR(knob.Value(), 0.125, 1e-12);
    EXPECT_NEAR(plug.GetParam(TestParam_Gain)->Value(), 0.125, 1e-12);
    // Shift or control gear ten times finer.
    knob.MouseDrag(0, -64, 0, -32, MouseMods(true, false, true));
    EXPECT_NEAR(knob.Value(), 0.1375, 1e-12);
    knob.MouseDrag(0, -96, 0, -32, MouseMods(true, false, false, true));
    EXPECT_NEAR(knob.Value(), 0.15, 1e-12);
    knob.MouseDrag(0, -96, 0, 64, LeftButton());  // down: below 0 clamps
    EXPECT_EQ(knob.Value(), 0.0);

    IKnobMultiControl sideways(&plug, 0, 0, TestParam_Count, image.Ref(), DragDirection_Horizontal, 2.0);
    sideways.MouseDrag(16, 0, 16, 0, LeftButton());  // right by half its width
    EXPECT_NEAR(sideways.Value(), 0.25, 1e-12);
    sideways.MouseDrag(0, -100, 0, -100, LeftButton());  // vertical moves do nothing
    EXPECT_NEAR(sideways.Value(), 0.25, 1e-12);
}

TEST(IValueTextControl, WheelStepsFollowTheParameterAndWrap)
{
    TestPlug plug;
    TextStyle style;
    IValueTextControl steps(&plug, ControlRect(0, 0, 40, 20), TestParam_Steps, style, nullptr, true, false);
    steps.MouseWheel(0, 0, NoButton(), 1);
    EXPECT_DOUBLE_EQ(steps.Value(), 0.25);  // step 1 of range 4
    steps.MouseWheel(0, 0, MouseMods(false, false, true), 2);
    EXPECT_DOUBLE_EQ(steps.Value(), 0.75);  // shift changes nothing for stepped parameters
    steps.MouseWheel(0, 0, NoButton(), 2);
    EXPECT_EQ(steps.Value(), 0.0);  // 1.25 wraps to the bottom
    steps.MouseWheel(0, 0, NoButton(), -1);
    EXPECT_EQ(steps.Value(), 1.0);  // below 0 wraps to the top
    EXPECT_EQ(plug.GetParam(TestParam_Steps)->Value(), 4.0);

    IValueTextControl gain(&plug, ControlRect(0, 0, 40, 20), TestParam_Gain, style, nullptr, true, false);
    gain.TakeUserValue(0.99);
    gain.MouseWheel(0, 0, NoButton(), 2);
    EXPECT_EQ(gain.Value(), 0.0);
    gain.MouseWheel(0, 0, MouseMods(false, false, false, true), 3);
    EXPECT_NEAR(gain.Value(), 0.003, 1e-12);

    // Unbound, without an own parameter: plain hundredths.
    IValueTextControl bare(&plug, ControlRect(0, 0, 40, 20), -1, style, nullptr, true, false);
    bare.MouseWheel(0, 0, MouseMods(false, false, true), 1);
    EXPECT_NEAR(bare.Value(), 0.01, 1e-12);
}

TEST(IValueTextControl, UnboundControlsStepByTheirOwnParameter)
{
    TestPlug plug;
    IPlugParam own;
    own.DefineInt("Own", 0, 0, 10);
    IValueTextControl control(&plug, ControlRect(0, 0, 40, 20), -1, TextStyle(), &own, true, false);
    control.MouseWheel(0, 0, NoButton(), 1);
    EXPECT_DOUBLE_EQ(control.Value(), 0.1);
    // The own parameter follows the value when the text is prepared.
    control.PrepareDraw();
    EXPECT_EQ(own.Value(), 1.0);
    EXPECT_STREQ(control.GetText(), "1");
}

TEST(IValueTextControl, GrayedControlsIgnoreDragAndWheel)
{
    TestPlug plug;
    IValueTextControl control(&plug, ControlRect(0, 0, 40, 20), TestParam_Gain, TextStyle(), nullptr, true, false);
    control.SetGrayed(true);
    control.MouseWheel(0, 0, NoButton(), 5);
    control.MouseDrag(0, -20, 0, -20, LeftButton());
    EXPECT_EQ(control.Value(), 0.0);
}

TEST(IValueTextControl, DragWrapsInsteadOfClamping)
{
    TestPlug plug;
    IValueTextControl control(&plug, ControlRect(0, 0, 40, 20), TestParam_Gain, TextStyle(), nullptr, true, false,
                              DragDirection_Vertical, 2.0);
    control.MouseDrag(0, -20, 0, -20, LeftButton());  // up by its height: +0.5 at gearing 2
    EXPECT_DOUBLE_EQ(control.Value(), 0.5);
    control.MouseDrag(0, -40, 0, -24, LeftButton());  // +0.6 goes past the top
    EXPECT_EQ(control.Value(), 0.0);
    control.MouseDrag(0, -38, 0, 2, LeftButton());  // a little down goes past the bottom
    EXPECT_EQ(control.Value(), 1.0);
}

TEST(IValueTextControl, TextShowsTheFormattedValueWithItsLabel)
{
    TestPlug plug;
    plug.GetParam(TestParam_Gain)->SetValue(0.5);
    IValueTextControl withLabel(&plug, ControlRect(0, 0, 40, 20), TestParam_Gain, TextStyle(), nullptr, true, true);
    withLabel.PrepareDraw();
    EXPECT_STREQ(withLabel.GetText(), "0.50 dB");
    IValueTextControl bare(&plug, ControlRect(0, 0, 40, 20), TestParam_Gain, TextStyle(), nullptr, true, false);
    bare.PrepareDraw();
    EXPECT_STREQ(bare.GetText(), "0.50");
    IValueTextControl hidden(&plug, ControlRect(0, 0, 40, 20), TestParam_Gain, TextStyle(), nullptr, false, true);
    hidden.PrepareDraw();
    EXPECT_STREQ(hidden.GetText(), "");
}

TEST(IRadioGroupControl, ButtonRectsSpreadOverTheRect)
{
    TestPlug plug;
    TestImage image(15, 15, {RED, GREEN});
    IRadioGroupControl column(&plug, ControlRect(198, 408, 218, 496), TestParam_Steps, 4, image.Ref());
    ASSERT_EQ(column.NButtons(), 4);
    // gap = (88 - 60) / 3 = 9
    EXPECT_EQ(column.ButtonRect(0), ControlRect(198, 408, 213, 423));
    EXPECT_EQ(column.ButtonRect(1), ControlRect(198, 432, 213, 447));
    EXPECT_EQ(column.ButtonRect(3), ControlRect(198, 480, 213, 495));

    IRadioGroupControl row(&plug, ControlRect(0, 0, 100, 20), -1, 3, image.Ref(), DragDirection_Horizontal);
    // gap = (100 - 45) / 2 = 27 (truncated)
    EXPECT_EQ(row.ButtonRect(1), ControlRect(42, 0, 57, 15));
    EXPECT_EQ(row.ButtonRect(2), ControlRect(84, 0, 99, 15));
}

TEST(IRadioGroupControl, ClicksChooseButtonsAndMissesKeepTheValue)
{
    TestPlug plug;
    TestImage image(10, 10, {RED, GREEN});
    IRadioGroupControl row(&plug, ControlRect(0, 0, 100, 10), TestParam_Steps, 4, image.Ref(),
                           DragDirection_Horizontal);
    row.MouseDown(65, 5, LeftButton());  // third button: x 60..70
    EXPECT_DOUBLE_EQ(row.Value(), 2.0 / 3.0);
    EXPECT_EQ(row.ActiveButton(), 2);
    EXPECT_EQ(plug.GetParam(TestParam_Steps)->Value(), 3.0);  // 4 * 2/3 rounded to the step

    size_t sends = plug.mChanged.size();
    row.MouseDown(15, 5, LeftButton());  // between the first and second button
    EXPECT_DOUBLE_EQ(row.Value(), 2.0 / 3.0);
    EXPECT_EQ(plug.mChanged.size(), sends + 1);  // still sent
    row.MouseDown(95, 9, LeftButton());
    EXPECT_EQ(row.Value(), 1.0);
}

TEST(IRadioGroupControl, DrawsTheActiveButtonLit)
{
    TestImage image(10, 10, {RED, GREEN});
    TestRig rig;
    IRadioGroupControl* pRow = new IRadioGroupControl(&rig.Plug(), ControlRect(0, 0, 100, 10), TestParam_Steps, 4,
                                                      image.Ref(), DragDirection_Horizontal);
    rig.Window().AddControl(pRow);
    rig.Param(TestParam_Steps).SetValue(2);  // 0.5 lights button int(3 * 0.5 + 0.5) = 2
    rig.AttachAndOpen();
    EXPECT_EQ(rig.Window().ReadPixel(5, 5).Packed(), RED);
    EXPECT_EQ(rig.Window().ReadPixel(35, 5).Packed(), RED);
    EXPECT_EQ(rig.Window().ReadPixel(65, 5).Packed(), GREEN);
    EXPECT_EQ(rig.Window().ReadPixel(95, 5).Packed(), RED);
}

TEST(ISliderControl, SnapsToTheMouseAlongItsTrack)
{
    TestPlug plug;
    TestImage handle(12, 19, {RED});
    ISliderControl vertical(&plug, 10, 100, 99, TestParam_Gain, handle.Ref());
    EXPECT_EQ(vertical.GetRect(), ControlRect(10, 100, 22, 199));
    EXPECT_EQ(vertical.HandleSize(), 19);
    vertical.MouseDown(15, 109, LeftButton());
    EXPECT_EQ(vertical.Value(), 1.0);
    vertical.MouseDrag(15, 189, 0, 80, LeftButton());
    EXPECT_EQ(vertical.Value(), 0.0);
    vertical.MouseDrag(15, 149, 0, -40, LeftButton());
    EXPECT_DOUBLE_EQ(vertical.Value(), 0.5);
    vertical.MouseDrag(15, 50, 0, -99, LeftButton());  // beyond the track clamps
    EXPECT_EQ(vertical.Value(), 1.0);

    TestImage arrow(14, 14, {RED});
    ISliderControl horizontal(&plug, 350, 406, 99, TestParam_Count, arrow.Ref(), DragDirection_Horizontal);
    EXPECT_EQ(horizontal.GetRect(), ControlRect(350, 406, 449, 420));
    horizontal.MouseDown(357, 410, LeftButton());
    EXPECT_EQ(horizontal.Value(), 0.0);
    horizontal.MouseDown(442, 410, LeftButton());
    EXPECT_EQ(horizontal.Value(), 1.0);
    EXPECT_EQ(plug.GetParam(TestParam_Count)->Value(), 10.0);
}

TEST(ISliderControl, HandleMovesWithTheValue)
{
    TestPlug plug;
    TestImage handle(12, 19, {RED});
    ISliderControl vertical(&plug, 10, 100, 99, TestParam_Gain, handle.Ref());
    vertical.ShowValue(1.0);
    EXPECT_EQ(vertical.HandleRect(), ControlRect(10, 100, 22, 119));
    vertical.ShowValue(0.0);
    EXPECT_EQ(vertical.HandleRect(), ControlRect(10, 180, 22, 199));
    vertical.ShowValue(0.5);
    EXPECT_EQ(vertical.HandleRect().mTop, 140);

    TestImage arrow(14, 14, {RED});
    ISliderControl horizontal(&plug, 0, 0, 99, -1, arrow.Ref(), DragDirection_Horizontal);
    horizontal.ShowValue(0.25);
    EXPECT_EQ(horizontal.HandleRect(), ControlRect(21, 0, 35, 14));
}

TEST(ITextControl, GrayedColourIsDarkerAndSwitchesBack)
{
    TestPlug plug;
    ITextControl text(&plug, ControlRect(0, 0, 50, 20), TextStyle("Arial", 14, Color(200, 255, 100, 30)), "x");
    EXPECT_EQ(text.GrayedColor(), Color(255, 127, 0, 0));
    text.SetGrayed(true);
    EXPECT_EQ(text.GetTextStyle().mColor, Color(255, 127, 0, 0));
    text.SetGrayed(false);
    EXPECT_EQ(text.GetTextStyle().mColor, Color(200, 255, 100, 30));
}

TEST(ITextControl, ShowTextMarksChangedOnlyOnADifference)
{
    TestPlug plug;
    ITextControl text(&plug, ControlRect(0, 0, 50, 20), TextStyle(), "same");
    text.MarkDrawn();
    text.ShowText("same");
    EXPECT_FALSE(text.NeedsDraw());
    text.ShowText("other");
    EXPECT_TRUE(text.NeedsDraw());
    EXPECT_STREQ(text.GetText(), "other");
}

TEST(ITextControl, DrawsTextInItsColour)
{
    TestRig rig;
    rig.Window().AddControl(new ITextControl(&rig.Plug(), ControlRect(0, 0, 100, 30),
                                             TextStyle("Arial", 20, Color(255, 255, 255, 255)), "WWWW"));
    rig.AttachAndOpen();
    int white = 0;
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 100; ++x) {
            if (rig.Window().ReadPixel(x, y).Packed() == WHITE) ++white;
        }
    }
    EXPECT_GT(white, 20);
}

TEST(IFileSelectorControl, EachSelectionTogglesTheValueAndKeepsThePath)
{
    TestImage image(12, 13, {RED, GREEN});
    TestRig rig;
    IFileSelectorControl* pSelector = OpenWithFileSelector(rig, image, ControlRect(10, 10, 22, 23), "/scales/");

    OffscreenScript& script = Offscreen(rig.Window());
    script.mFileChosen = true;
    script.mFilePath = "/scales/minor.txt";
    int stateDuringDialog = -1;
    script.mOnModal = [&]() { stateDuringDialog = pSelector->GetState(); };
    rig.Window().HandleMouseDown(15, 15, LeftButton());
    rig.Window().HandleMouseUp(15, 15, LeftButton());
    EXPECT_EQ(stateDuringDialog, IFileSelectorControl::State_DialogOpen);
    EXPECT_EQ(script.mFileDialogs, 1);
    EXPECT_EQ(script.mLastFileFolder, "/scales/");
    EXPECT_EQ(script.mLastFileAction, IFileSelectorControl::ACTION_OPEN);
    EXPECT_EQ(pSelector->Value(), 1.0);
    EXPECT_EQ(rig.Param(TestParam_Power).Value(), 1.0);
    char path[64];
    pSelector->LastChosenFile(path, sizeof path);
    EXPECT_STREQ(path, "/scales/minor.txt");
    char shortPath[8];
    pSelector->LastChosenFile(shortPath, sizeof shortPath);
    EXPECT_STREQ(shortPath, "/scales");
    EXPECT_STREQ(pSelector->LastChosenFile(), "/scales/minor.txt");

    // A cancelled dialog still toggles, and leaves no file.
    script.mFileChosen = false;
    rig.Window().HandleMouseDown(15, 15, LeftButton());
    EXPECT_EQ(pSelector->Value(), 0.0);
    EXPECT_EQ(rig.Param(TestParam_Power).Value(), 0.0);
    EXPECT_STREQ(pSelector->LastChosenFile(), "");
    EXPECT_EQ(pSelector->GetState(), IFileSelectorControl::State_Finished);
}

TEST(IFileSelectorControl, NeedsOneMoreDrawAfterASelectionAndDrawsOnlyWhileOpen)
{
    TestImage image(12, 13, {RED, GREEN});
    TestRig rig;
    IFileSelectorControl* pSelector = OpenWithFileSelector(rig, image, ControlRect(10, 10, 22, 23), "");
    EXPECT_EQ(rig.Window().ReadPixel(15, 15).Packed(), 0u);  // idle: nothing drawn

    rig.Window().HandleMouseDown(15, 15, LeftButton());
    EXPECT_TRUE(pSelector->NeedsDraw());
    pSelector->MarkDrawn();
    EXPECT_EQ(pSelector->GetState(), IFileSelectorControl::State_Finished);
    EXPECT_TRUE(pSelector->NeedsDraw());  // the finished state asks once more
    EXPECT_EQ(pSelector->GetState(), IFileSelectorControl::State_Idle);
    EXPECT_FALSE(pSelector->NeedsDraw());
    // With no folder given the dialog starts in the plug-in's folder.
    std::string pluginFolder;
    rig.Window().PluginFolder(&pluginFolder);
    EXPECT_EQ(Offscreen(rig.Window()).mLastFileFolder, pluginFolder);
}

TEST(IFileSelectorControl, WithoutAnEditorAClickDoesNothing)
{
    TestPlug plug;
    TestImage image(12, 13, {RED, GREEN});
    IFileSelectorControl selector(&plug, ControlRect(0, 0, 12, 13), TestParam_Power, image.Ref(), "");
    selector.MouseDown(1, 1, LeftButton());
    EXPECT_EQ(selector.Value(), 0.0);
    EXPECT_EQ(selector.GetState(), IFileSelectorControl::State_Idle);
}

TEST(ValueReadOut, EachKindFormatsThePlainValue)
{
    TestRig rig;
    TestImage image(10, 10, {RED});
    IGraphicsWindow& window = rig.Window();
    IControl* pGain = new IBitmapControl(&rig.Plug(), 0, 0, TestParam_Gain, image.Ref());
    IControl* pCount = new IBitmapControl(&rig.Plug(), 0, 0, TestParam_Count, image.Ref());
    IControl* pPower = new IBitmapControl(&rig.Plug(), 0, 0, TestParam_Power, image.Ref());
    IControl* pMode = new IBitmapControl(&rig.Plug(), 0, 0, TestParam_Mode, image.Ref());
    ValueReadOut* pReadOuts[4];
    window.AddControl(pGain);
    pReadOuts[0] = new ValueReadOut(&rig.Plug(), &window, ControlRect(0, 20, 40, 30), TextStyle(), pGain);
    window.AddControl(pCount);
    pReadOuts[1] = new ValueReadOutInt(&rig.Plug(), &window, ControlRect(0, 30, 40, 40), TextStyle(), pCount);
    window.AddControl(pPower);
    pReadOuts[2] = new ValueReadOutBool(&rig.Plug(), &window, ControlRect(0, 40, 40, 50), TextStyle(), pPower);
    window.AddControl(pMode);
    pReadOuts[3] = new ValueReadOutEnum(&rig.Plug(), &window, ControlRect(0, 50, 40, 60), TextStyle(), pMode);
    // Each text control follows its observed control in the list.
    EXPECT_EQ(window.GetControl(1), pReadOuts[0]->GetTextControl());
    EXPECT_EQ(window.GetControl(7), pReadOuts[3]->GetTextControl());

    rig.Param(TestParam_Gain).SetValue(0.5);
    rig.Param(TestParam_Count).SetValue(7.9);
    rig.Param(TestParam_Power).SetValue(0.5);
    rig.Param(TestParam_Mode).SetValue(2);
    rig.AttachAndOpen();
    EXPECT_STREQ(pReadOuts[0]->GetTextControl()->GetText(), "0.50");
    EXPECT_STREQ(pReadOuts[1]->GetTextControl()->GetText(), "7");
    EXPECT_STREQ(pReadOuts[2]->GetTextControl()->GetText(), "true");
    EXPECT_STREQ(pReadOuts[3]->GetTextControl()->GetText(), "Sine");

    // A host change reaches the read-out within one tick.
    rig.Param(TestParam_Power).SetValue(0.0);
    window.ShowParamValue(TestParam_Power, 0.0, true);
    window.Tick();
    EXPECT_STREQ(pReadOuts[2]->GetTextControl()->GetText(), "false");
}

TEST(ValueReadOut, FollowsTheObservedControlsGrayedAndHiddenStates)
{
    TestRig rig;
    TestImage image(10, 10, {RED});
    IControl* pKnob = new IBitmapControl(&rig.Plug(), 0, 0, TestParam_Count, image.Ref());
    rig.Window().AddControl(pKnob);
    ValueReadOut* pReadOut =
        new ValueReadOutInt(&rig.Plug(), &rig.Window(), ControlRect(0, 20, 40, 30), TextStyle(), pKnob);
    rig.AttachAndOpen();
    pKnob->SetGrayed(true);
    rig.Window().Tick();
    EXPECT_TRUE(pReadOut->GetTextControl()->IsGrayed());
    pKnob->SetHidden(true);
    rig.Window().Tick();
    EXPECT_TRUE(pReadOut->GetTextControl()->IsHidden());
    pKnob->SetGrayed(false);
    pKnob->SetHidden(false);
    rig.Window().Tick();
    EXPECT_FALSE(pReadOut->GetTextControl()->IsGrayed());
    EXPECT_FALSE(pReadOut->GetTextControl()->IsHidden());
}

TEST(ControlGroup, HidesAndShowsItsControls)
{
    TestPlug plug;
    TestImage image(10, 10, {RED});
    IBitmapControl first(&plug, 0, 0, -1, image.Ref());
    IBitmapControl second(&plug, 0, 0, -1, image.Ref());
    IBitmapControl outsider(&plug, 0, 0, -1, image.Ref());
    ControlGroup group;
    group.Add(&first);
    group.Add(&second);
    group.Add(nullptr);
    EXPECT_EQ(group.NControls(), 2);
    group.Hide(true);
    EXPECT_TRUE(group.IsHidden());
    EXPECT_TRUE(first.IsHidden());
    EXPECT_TRUE(second.IsHidden());
    EXPECT_FALSE(outsider.IsHidden());
    group.Hide(false);
    EXPECT_FALSE(first.IsHidden());
    EXPECT_EQ(group.GetControl(1), &second);
    EXPECT_EQ(group.GetControl(2), nullptr);
}
