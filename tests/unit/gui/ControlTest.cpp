// The control base: values from both sides, defaults, clamping, the mouse
// defaults, value menus, drawing state and observers.
#include <gtest/gtest.h>

#include "GuiTestSupport.h"
#include "framework/gui/IControl.h"
#include "framework/gui/PopupMenu.h"

namespace {

class CountingObserver : public IObserverInterface {
public:
    void Update() override { ++mUpdates; }
    int mUpdates = 0;
};

}  // namespace

TEST(IControl, FirstShownValueBecomesTheDoubleClickDefault)
{
    TestPlug plug;
    FillControl control(&plug, ControlRect(0, 0, 10, 10), TestParam_Gain);
    control.ShowValue(0.3);
    EXPECT_EQ(control.DefaultValue(), 0.3);
    EXPECT_EQ(control.Value(), 0.3);

    // A later value moves the control but leaves the default.
    control.ShowValue(0.8);
    EXPECT_EQ(control.Value(), 0.8);
    EXPECT_EQ(control.DefaultValue(), 0.3);

    control.MouseDoubleClick(5, 5, LeftButton());
    EXPECT_EQ(control.Value(), 0.3);
    EXPECT_DOUBLE_EQ(plug.GetParam(TestParam_Gain)->Value(), 0.3);
}

TEST(IControl, FirstShownValueIsStoredEvenWhenEqual)
{
    TestPlug plug;
    FillControl control(&plug, ControlRect(0, 0, 10, 10), TestParam_Gain);
    control.MarkDrawn();
    ASSERT_FALSE(control.NeedsDraw());
    control.ShowValue(0.0);
    EXPECT_EQ(control.DefaultValue(), 0.0);
    EXPECT_TRUE(control.NeedsDraw());
    EXPECT_TRUE(control.RedrawPending());

    // An equal value afterwards is no change at all.
    control.MarkDrawn();
    control.MarkDrawn();
    control.ShowValue(0.0);
    EXPECT_FALSE(control.NeedsDraw());
    // A value from the plug-in side never goes back to it.
    EXPECT_TRUE(plug.mChanged.empty());
}

TEST(IControl, DoubleClickWithoutDefaultChangesNothing)
{
    TestPlug plug;
    FillControl control(&plug, ControlRect(0, 0, 10, 10), TestParam_Gain);
    control.MouseDoubleClick(1, 1, LeftButton());
    EXPECT_EQ(control.Value(), 0.0);
    EXPECT_TRUE(plug.mChanged.empty());
}

TEST(IControl, WheelStepsAndClampsBeforeTheValueReachesThePlugIn)
{
    TestPlug plug;
    FillControl control(&plug, ControlRect(0, 0, 10, 10), TestParam_Gain);
    control.MouseWheel(1, 1, NoButton(), 1);
    EXPECT_NEAR(control.Value(), 0.01, 1e-12);
    control.MouseWheel(1, 1, MouseMods(false, false, true), 1);
    EXPECT_NEAR(control.Value(), 0.011, 1e-12);
    control.MouseWheel(1, 1, MouseMods(false, false, false, true), -2);
    EXPECT_NEAR(control.Value(), 0.009, 1e-12);

    control.SetClampRange(0.2, 0.6);
    control.MouseWheel(1, 1, NoButton(), 100);
    EXPECT_EQ(control.Value(), 0.6);
    EXPECT_DOUBLE_EQ(plug.GetParam(TestParam_Gain)->Value(), 0.6);
    control.MouseWheel(1, 1, NoButton(), -100);
    EXPECT_EQ(control.Value(), 0.2);
    EXPECT_DOUBLE_EQ(plug.GetParam(TestParam_Gain)->Value(), 0.2);
}

TEST(IControl, MarkChangedSendsOnlyForBoundControlsAndOnlyWhenAsked)
{
    TestPlug plug;
    FillControl bound(&plug, ControlRect(0, 0, 10, 10), TestParam_Count);
    FillControl unbound(&plug, ControlRect(0, 0, 10, 10));
    bound.TakeUserValue(0.5);
    EXPECT_EQ(plug.GetParam(TestParam_Count)->Value(), 5.0);
    EXPECT_EQ(plug.mChanged, std::vector<int>{TestParam_Count});
    EXPECT_TRUE(bound.IsChanged());
    EXPECT_TRUE(bound.RedrawPending());

    // The same value again is no user change.
    bound.TakeUserValue(0.5);
    EXPECT_EQ(plug.mChanged.size(), 1u);

    bound.MarkChanged(false);
    unbound.TakeUserValue(0.7);
    EXPECT_EQ(plug.mChanged.size(), 1u);
    EXPECT_EQ(unbound.Value(), 0.7);
}

TEST(IControl, ResetToDefaultSendsTheDefault)
{
    TestPlug plug;
    FillControl control(&plug, ControlRect(0, 0, 10, 10), TestParam_Gain);
    control.ShowValue(0.25);
    control.TakeUserValue(0.75);
    control.MarkDrawn();
    control.MarkDrawn();
    control.ResetToDefault();
    EXPECT_EQ(control.Value(), 0.25);
    EXPECT_DOUBLE_EQ(plug.GetParam(TestParam_Gain)->Value(), 0.25);
    EXPECT_TRUE(control.RedrawPending());
}

TEST(IControl, DirtyUntilDrawnAndOnceMoreWithRedrawPending)
{
    TestPlug plug;
    FillControl control(&plug, ControlRect(0, 0, 10, 10));
    EXPECT_TRUE(control.NeedsDraw());  // new controls must be drawn
    control.MarkDrawn();
    EXPECT_FALSE(control.NeedsDraw());

    control.SetHidden(true);
    EXPECT_TRUE(control.IsHidden());
    EXPECT_TRUE(control.NeedsDraw());
    control.MarkDrawn();
    EXPECT_TRUE(control.NeedsDraw());  // the pending redraw
    control.MarkDrawn();
    EXPECT_FALSE(control.NeedsDraw());
}

TEST(IControl, GrayingSetsTheQuarterWeight)
{
    TestPlug plug;
    FillControl control(&plug, ControlRect(0, 0, 10, 10));
    control.SetGrayed(true);
    EXPECT_TRUE(control.IsGrayed());
    EXPECT_EQ(control.GetBlend().mWeight, 0.25f);
    control.SetGrayed(false);
    EXPECT_EQ(control.GetBlend().mWeight, 1.0f);
}

TEST(IControl, HitTestUsesTheTargetRect)
{
    TestPlug plug;
    FillControl control(&plug, ControlRect(10, 20, 30, 40));
    EXPECT_TRUE(control.HitTest(10, 20));
    EXPECT_TRUE(control.HitTest(29, 39));
    EXPECT_FALSE(control.HitTest(30, 39));
    EXPECT_FALSE(control.HitTest(29, 40));
    EXPECT_FALSE(control.HitTest(9, 25));

    control.SetTargetRect(ControlRect(0, 0, 5, 5));
    EXPECT_TRUE(control.HitTest(0, 0));
    EXPECT_FALSE(control.HitTest(15, 25));

    // An empty target rect takes no mouse at all, not even at (0, 0).
    control.SetTargetRect(ControlRect());
    EXPECT_FALSE(control.HitTest(0, 0));
}

TEST(IControl, ValueMenuListsEnumTextsWithTheCurrentOneChecked)
{
    TestPlug plug;
    plug.GetParam(TestParam_Mode)->SetValue(1);
    FillControl control(&plug, ControlRect(0, 0, 10, 10), TestParam_Mode);
    std::unique_ptr<PopupMenu> pMenu = control.MakeValueMenu();
    ASSERT_NE(pMenu, nullptr);
    ASSERT_EQ(pMenu->NItems(), 3);
    EXPECT_STREQ(pMenu->Item(0)->Text(), "Saw");
    EXPECT_STREQ(pMenu->Item(2)->Text(), "Sine");
    EXPECT_FALSE(pMenu->Item(0)->IsChecked());
    EXPECT_TRUE(pMenu->Item(1)->IsChecked());

    // Choice 2 of range 0..2 is the normalised value 1.
    control.ApplyMenuChoice(pMenu.get(), 2);
    EXPECT_EQ(control.Value(), 1.0);
    EXPECT_EQ(plug.GetParam(TestParam_Mode)->Value(), 2.0);
}

TEST(IControl, ValueMenuOnlyForEnumsAndBoolsWithTexts)
{
    TestPlug plug;
    FillControl boolControl(&plug, ControlRect(0, 0, 10, 10), TestParam_Power);
    std::unique_ptr<PopupMenu> pMenu = boolControl.MakeValueMenu();
    ASSERT_NE(pMenu, nullptr);
    EXPECT_EQ(pMenu->NItems(), 2);
    EXPECT_TRUE(pMenu->Item(0)->IsChecked());  // "off"

    FillControl doubleControl(&plug, ControlRect(0, 0, 10, 10), TestParam_Gain);
    EXPECT_EQ(doubleControl.MakeValueMenu(), nullptr);
    FillControl intControl(&plug, ControlRect(0, 0, 10, 10), TestParam_Count);
    EXPECT_EQ(intControl.MakeValueMenu(), nullptr);
    FillControl unbound(&plug, ControlRect(0, 0, 10, 10));
    EXPECT_EQ(unbound.MakeValueMenu(), nullptr);
}

TEST(ISubject, ObserversAttachOnceAndHearOncePerChangeBurst)
{
    TestPlug plug;
    FillControl control(&plug, ControlRect(0, 0, 10, 10));
    CountingObserver first, second;
    EXPECT_EQ(control.NObservers(), 0);
    control.Attach(&first);
    control.Attach(&first);
    control.Attach(&second);
    EXPECT_EQ(control.NObservers(), 2);

    control.Notify();  // nothing changed yet
    EXPECT_EQ(first.mUpdates, 0);

    control.TakeUserValue(0.4);
    control.TakeUserValue(0.6);
    control.Notify();
    control.Notify();
    EXPECT_EQ(first.mUpdates, 1);
    EXPECT_EQ(second.mUpdates, 1);
}

TEST(PopupMenu, InsertsAtClampedPositionsAndFindsNestedChecks)
{
    PopupMenu menu;
    menu.AddItem("b");
    menu.AddItem("a", 0);
    menu.AddItem("d", 99);
    menu.AddItem("c", 2);
    ASSERT_EQ(menu.NItems(), 4);
    EXPECT_STREQ(menu.Item(0)->Text(), "a");
    EXPECT_STREQ(menu.Item(1)->Text(), "b");
    EXPECT_STREQ(menu.Item(2)->Text(), "c");
    EXPECT_STREQ(menu.Item(3)->Text(), "d");
    EXPECT_EQ(menu.Item(4), nullptr);
    EXPECT_FALSE(menu.HoldsCheckedItem());

    PopupMenu* pSub = new PopupMenu();
    pSub->AddItem("deep", -1, PopupMenuItem::Flags_Checked);
    menu.AddItem(new PopupMenuItem("sub", PopupMenuItem::Flags_None, pSub));
    EXPECT_TRUE(menu.HoldsCheckedItem());
    EXPECT_EQ(menu.ChosenItemIndex(), -1);
}

TEST(FrameForValue, RoundsToTheNearestFrameAndClamps)
{
    EXPECT_EQ(FrameForValue(0.7, 1), 1);
    EXPECT_EQ(FrameForValue(0.0, 3), 1);
    EXPECT_EQ(FrameForValue(0.24, 3), 1);
    EXPECT_EQ(FrameForValue(0.25, 3), 2);
    EXPECT_EQ(FrameForValue(1.0, 3), 3);
    EXPECT_EQ(FrameForValue(5.0, 3), 3);
    EXPECT_EQ(FrameForValue(-1.0, 3), 1);
    EXPECT_EQ(FrameForValue(0.5, 101), 51);
}
