// The editor's layout: every control in its order, at its rect, bound to
// its parameter, with its image, text style and read-out; the two panels'
// members; the images the grid controls will draw.
#include <algorithm>
#include <cstring>

#include "EditorTestSupport.h"
#include "CellControl.h"
#include "IGrooveMakerCanvas.h"
#include "IGrooveMakerStepMarker.h"
#include "IMessageLine.h"
#include "IObstacleSelectorControl.h"
#include "IPatternThumbnailControl.h"
#include "IRoverSelectorControl.h"
#include "IStrikerCanvas.h"
#include "framework/gui/IBitmapControl.h"
#include "framework/gui/IContactControl.h"
#include "framework/gui/IFileSelectorControl.h"
#include "framework/gui/IKnobMultiControl.h"
#include "framework/gui/IRadioGroupControl.h"
#include "framework/gui/ISliderControl.h"
#include "framework/gui/ISwitchControl.h"
#include "framework/gui/IValueTextControl.h"
#include "resources/ImageIds.h"

namespace {

enum Kind {
    Background,
    Radio,
    ValueText,
    Contact,
    Switch,
    Slider,
    Text,
    Knob,
    FileSelector,
    Striker,
    Cell,
    Thumbnail,
    ObstacleBox,
    RoverBox,
    StepCanvas,
    StepMarker,
    MessageLine
};

struct Expected {
    Kind mKind;
    int mParamIdx;
    ControlRect mRect;
    int mImageId;       // 0: none
    int mAlignment;     // text controls
    const char* mText;  // labels; null for read-outs
};

// Sizes of the images as drawn for the editor (whole image, frames).
struct ImageSize {
    int mId, mWidth, mHeight, mFrames;
};
const ImageSize IMAGE_SIZES[] = {
    {155, 14, 28, 2},   {156, 14, 28, 2},     {157, 15, 30, 2},     {158, 15, 30, 2}, {159, 15, 30, 2},
    {160, 15, 30, 2},   {161, 729, 650, 1},   {162, 8, 16, 2},      {163, 8, 16, 2},  {170, 32, 512, 16},
    {171, 32, 544, 17}, {172, 32, 3232, 101}, {173, 32, 4096, 128}, {174, 14, 14, 1}, {175, 12, 12, 1},
    {176, 12, 12, 1},   {177, 12, 12, 1},     {178, 12, 12, 1},     {179, 21, 42, 2}, {180, 68, 68, 1},
    {181, 12, 24, 2},   {183, 12, 24, 2},     {184, 12, 24, 2},     {185, 12, 24, 2}, {186, 12, 24, 2},
    {187, 12, 24, 2},   {188, 12, 24, 2},     {190, 12, 24, 2},     {191, 12, 24, 2}, {192, 12, 24, 2},
    {193, 12, 24, 2},   {194, 12, 24, 2},     {195, 12, 24, 2},     {196, 14, 28, 2}, {197, 15, 30, 2},
    {198, 15, 30, 2},   {199, 60, 44, 2},     {200, 60, 44, 2},     {201, 13, 18, 2}, {202, 13, 18, 2},
};

const ImageSize& SizeOf(int id)
{
    for (const ImageSize& size : IMAGE_SIZES) {
        if (size.mId == id) return size;
    }
    static const ImageSize NONE = {0, 0, 0, 0};
    ADD_FAILURE() << "no size listed for image " << id;
    return NONE;
}

// A bitmap control of one frame's size at (x, y).
Expected Framed(Kind kind, int paramIdx, int x, int y, int imageId)
{
    const ImageSize& size = SizeOf(imageId);
    return {kind, paramIdx, ControlRect(x, y, x + size.mWidth, y + size.mHeight / size.mFrames), imageId, 0, nullptr};
}
Expected ReadOut(const ControlRect& rect, int alignment) { return {Text, -1, rect, 0, alignment, nullptr}; }
Expected Label(const ControlRect& rect, int alignment, const char* text)
{
    return {Text, -1, rect, 0, alignment, text};
}
Expected Value(int paramIdx, const ControlRect& rect)
{
    return {ValueText, paramIdx, rect, 0, TextAlign_Left, nullptr};
}

struct KnobRow {
    int mParamIdx, mX, mY, mImageId;
};

std::vector<Expected> ExpectedLayout()
{
    std::vector<Expected> layout;
    layout.push_back({Background, -1, ControlRect(0, 0, 729, 650), 161, 0, nullptr});
    layout.push_back({Striker, -1, ControlRect(200, 24, 535, 535), 0, 0, nullptr});
    for (int row = 0; row < 17; ++row) {
        for (int col = 0; col < 17; ++col) {
            int x = 207 + 19 * col, y = 31 + 19 * row;
            layout.push_back(
                {Cell, EParam_FirstCell + 17 * row + col, ControlRect(x, y, x + 17, y + 17), 0, 0, nullptr});
        }
    }
    const int radioImages[4] = {157, 158, 159, 160};
    for (int wall = 0; wall < 4; ++wall) {
        layout.push_back({Radio, EParam_ScaleN + wall, ControlRect(198 + 24 * wall, 408, 218 + 24 * wall, 496),
                          radioImages[wall], 0, nullptr});
    }
    for (int k = 0; k < 4; ++k) {
        int y = 414 + 24 * k;
        layout.push_back(Value(EParam_Transp1 + k, ControlRect(298, y - 6, 322, y + 19)));
        layout.push_back(Framed(Contact, EParam_Trans1up + k, 323, y - 10, 162));
        layout.push_back(Framed(Contact, EParam_Trans1dn + k, 323, y, 163));
        layout.push_back({Slider, EParam_Rotate1 + k, ControlRect(350, y - 8, 449, y + 6), 174, 0, nullptr});
        layout.push_back(ReadOut(ControlRect(449, y - 6, 461, y + 14), TextAlign_Right));
        layout.push_back(Value(EParam_Mutate1 + k, ControlRect(477, y - 6, 522, y + 19)));
    }
    for (int wall = 0; wall < 4; ++wall) {
        layout.push_back(Framed(Switch, EParam_MuteN + wall, 198 + 24 * wall, 506, 156));
    }
    layout.push_back({Slider, EParam_ClimbN, ControlRect(331, 6, 407, 18), 175, 0, nullptr});
    layout.push_back(ReadOut(ControlRect(411, 6, 441, 26), TextAlign_Centre));
    layout.push_back({Slider, EParam_ClimbN + 1, ControlRect(541, 155, 553, 231), 176, 0, nullptr});
    layout.push_back(ReadOut(ControlRect(541, 235, 571, 255), TextAlign_Centre));
    layout.push_back({Slider, EParam_ClimbN + 2, ControlRect(331, 366, 407, 378), 178, 0, nullptr});
    layout.push_back(ReadOut(ControlRect(411, 362, 441, 382), TextAlign_Centre));
    layout.push_back({Slider, EParam_ClimbN + 3, ControlRect(182, 155, 194, 231), 177, 0, nullptr});
    layout.push_back(ReadOut(ControlRect(172, 235, 202, 255), TextAlign_Centre));
    const KnobRow knobs[] = {
        {EParam_NoteProb, 634, 10, 172},     {EParam_Tilt, 634, 50, 172},       {EParam_ObsProb, 634, 91, 172},
        {EParam_GrpLim, 634, 130, 172},      {EParam_Wobble, 546, 114, 172},    {EParam_RepeatProb, 634, 170, 172},
        {EParam_RptLen, 634, 210, 172},      {EParam_TimeUnits, 634, 266, 170}, {EParam_Slow, 634, 306, 172},
        {EParam_LengthUnits, 634, 346, 170}, {EParam_Velocity, 634, 426, 173},  {EParam_VelJitt, 634, 466, 173},
        {EParam_Channel, 546, 250, 170},     {EParam_NumRows, 79, 356, 171},    {EParam_NumColums, 90, 402, 171},
        {EParam_Swing, 546, 290, 172},       {EParam_DurJitt, 634, 386, 172},   {EParam_Human, 546, 330, 172},
        {EParam_WrapProb, 546, 34, 172},     {EParam_NearProb, 546, 74, 172},   {EParam_Simple, 546, 370, 172},
        {EParam_SeqNStep, 82, 490, 173},
    };
    for (const KnobRow& knob : knobs) {
        layout.push_back(Framed(Knob, knob.mParamIdx, knob.mX, knob.mY, knob.mImageId));
        layout.push_back(ReadOut(ControlRect(knob.mX + 40, knob.mY + 17, knob.mX + 70, knob.mY + 29), TextAlign_Left));
    }
    layout.push_back(Framed(Switch, EParam_Enabled, 148, 332, 196));
    const KnobRow transforms[] = {
        {EParam_MFlipH, 124, 228, 184},  {EParam_MFlipV, 144, 228, 185},  {EParam_MShiftU, 124, 248, 192},
        {EParam_MShiftD, 144, 248, 193}, {EParam_MShiftL, 124, 268, 191}, {EParam_MShiftR, 144, 268, 190},
        {EParam_MRotL, 124, 288, 187},   {EParam_MRotR, 144, 288, 186},   {EParam_MStagrD, 124, 308, 195},
        {EParam_MStagrU, 144, 308, 194},
    };
    for (const KnobRow& contact : transforms) {
        layout.push_back(Framed(Contact, contact.mParamIdx, contact.mX, contact.mY, contact.mImageId));
    }
    for (int k = 0; k < 8; ++k) {
        int x = 78 + 72 * k;
        layout.push_back(Framed(Thumbnail, -1, x - 46, 552, 180));
        layout.push_back(Framed(Contact, EParam_Save1 + k, x - 40, 625, 181));
        layout.push_back(Framed(Contact, EParam_Restore1 + k, x, 625, 188));
        layout.push_back(Framed(Contact, EParam_Clear1 + k, x - 20, 625, 183));
    }
    layout.push_back(Framed(Switch, EParam_TimeDbl, 665, 246, 197));
    layout.push_back(Framed(Switch, EParam_TimeHlf, 689, 246, 198));
    const KnobRow commands[] = {
        {EParam_ClrRov, 18, 275, 155},   {EParam_ClrObs, 18, 291, 155},   {EParam_ClrAll, 18, 307, 155},
        {EParam_RvDelOld, 18, 259, 155}, {EParam_RvDelNew, 18, 243, 155}, {EParam_NudgeNew, 18, 354, 155},
        {EParam_NudgeOld, 18, 402, 155}, {EParam_DragNew, 18, 370, 155},  {EParam_DragOld, 18, 418, 155},
    };
    for (const KnobRow& contact : commands) {
        layout.push_back(Framed(Contact, contact.mParamIdx, contact.mX, contact.mY, contact.mImageId));
    }
    layout.push_back({FileSelector, EParam_FileSelect, ControlRect(537, 511, 549, 524), 155, 0, nullptr});
    layout.push_back(Label(ControlRect(554, 511, 754, 531), TextAlign_Left, "default"));
    layout.push_back({MessageLine, -1, ControlRect(324, 502, 478, 540), 0, 0, nullptr});
    layout.push_back({FileSelector, -1, ControlRect(640, 538, 654, 552), 155, 0, nullptr});
    layout.push_back({FileSelector, -1, ControlRect(640, 556, 654, 570), 155, 0, nullptr});
    for (int kind = 0; kind < 21; ++kind) {
        layout.push_back(Framed(ObstacleBox, -1, 8 + 24 * (kind % 3), 8 + 24 * (kind / 3), 179));
    }
    // Headings N, E, S, W, NE, SE, SW, NW in their compass roses.
    const int roseX[8] = {24, 48, 24, 0, 48, 48, 0, 0};
    const int roseY[8] = {0, 24, 48, 24, 0, 48, 48, 0};
    for (int index = 0; index < 16; ++index) {
        layout.push_back(Framed(RoverBox, -1, 96 + roseX[index % 8], 8 + roseY[index % 8] + 96 * (index / 8), 179));
    }
    layout.push_back(Framed(Switch, EParam_SeqOn, 147, 468, 196));
    layout.push_back({StepCanvas, -1, ControlRect(120, 552, 600, 616), 0, 0, nullptr});
    layout.push_back({StepMarker, -1, ControlRect(120, 618, 600, 620), 0, 0, nullptr});
    layout.push_back(Label(ControlRect(75, 552, 118, 552), TextAlign_Left, "Velocity"));
    layout.push_back(Label(ControlRect(75, 620, 118, 632), TextAlign_Left, "Lock"));
    layout.push_back(Label(ControlRect(75, 633, 118, 645), TextAlign_Left, "Mute"));
    layout.push_back(Framed(Switch, EParam_PnlPatt, 8, 475, 200));
    layout.push_back(Framed(Switch, EParam_PnlSeq, 8, 500, 199));
    for (int s = 0; s < 32; ++s) {
        layout.push_back(Framed(Switch, EParam_FirstLock + s, 120 + 15 * s, 622, 202));
        layout.push_back(Framed(Switch, EParam_FirstMute + s, 120 + 15 * s, 635, 201));
    }
    layout.push_back(Label(ControlRect(644, 575, 684, 591), TextAlign_Right, "Version 0.8"));
    layout.push_back(Framed(Switch, -1, 18, 452, 155));  // the timeline lock
    return layout;
}

std::string Describe(const ControlRect& rect)
{
    return "(" + std::to_string(rect.mLeft) + ", " + std::to_string(rect.mTop) + ", " + std::to_string(rect.mRight) +
           ", " + std::to_string(rect.mBottom) + ")";
}

// The image a control draws, for the kinds that hold one.
const BitmapRef* ImageOf(IControl* pControl)
{
    if (IBitmapControl* pBitmap = dynamic_cast<IBitmapControl*>(pControl)) return &pBitmap->GetBitmap();
    if (IKnobMultiControl* pKnob = dynamic_cast<IKnobMultiControl*>(pControl)) return &pKnob->GetBitmap();
    return nullptr;
}

void ExpectImage(EditorHost& host, const BitmapRef& bitmap, int imageId)
{
    const ImageSize& size = SizeOf(imageId);
    const ImageInfo* pInfo = FindImageInfo(imageId);
    ASSERT_NE(pInfo, nullptr);
    EXPECT_EQ(bitmap.mpImage, host.Window().LoadImage(imageId, pInfo->name, pInfo->frames).mpImage)
        << "image " << imageId;
    EXPECT_EQ(bitmap.mWidth, size.mWidth) << "image " << imageId;
    EXPECT_EQ(bitmap.mHeight, size.mHeight) << "image " << imageId;
    EXPECT_EQ(bitmap.mFrames, size.mFrames) << "image " << imageId;
}

void ExpectWhiteArial(const TextStyle& style, int alignment)
{
    EXPECT_STREQ(style.mFontName, "Arial");
    EXPECT_EQ(style.mSize, 14);
    EXPECT_EQ(style.mColor, Color(255, 255, 255, 255));
    EXPECT_EQ(style.mStyle, FontStyle_Normal);
    EXPECT_EQ(style.mOrientation, 0);
    EXPECT_EQ(style.mAlignment, alignment);
}

}  // namespace

TEST(EditorLayout, EveryControlInItsOrderAtItsRectWithItsParameterAndImage)
{
    EditorHost host;
    std::vector<Expected> layout = ExpectedLayout();
    ASSERT_EQ(host.NControls(), static_cast<int>(layout.size()));
    for (size_t i = 0; i < layout.size(); ++i) {
        const Expected& expected = layout[i];
        IControl* pControl = host.Control(static_cast<int>(i));
        SCOPED_TRACE("control " + std::to_string(i) + " at " + Describe(expected.mRect) + ", parameter " +
                     std::to_string(expected.mParamIdx));
        EXPECT_EQ(pControl->ParamIdx(), expected.mParamIdx);
        EXPECT_EQ(pControl->GetRect(), expected.mRect) << Describe(pControl->GetRect());
        bool contact = dynamic_cast<IContactControl*>(pControl) != nullptr;
        switch (expected.mKind) {
        case Background:
            EXPECT_NE(dynamic_cast<IBitmapControl*>(pControl), nullptr);
            break;
        case Radio: {
            IRadioGroupControl* pRadio = dynamic_cast<IRadioGroupControl*>(pControl);
            ASSERT_NE(pRadio, nullptr);
            EXPECT_EQ(pRadio->NButtons(), 4);
            // A column of buttons.
            EXPECT_LT(pRadio->ButtonRect(0).mTop, pRadio->ButtonRect(1).mTop);
            break;
        }
        case ValueText: {
            IValueTextControl* pText = dynamic_cast<IValueTextControl*>(pControl);
            ASSERT_NE(pText, nullptr);
            ExpectWhiteArial(pText->GetTextStyle(), expected.mAlignment);
            break;
        }
        case Contact:
            EXPECT_TRUE(contact);
            EXPECT_TRUE(pControl->DoubleClickAsPress());
            break;
        case Switch:
            EXPECT_NE(dynamic_cast<ISwitchControl*>(pControl), nullptr);
            EXPECT_FALSE(contact);
            EXPECT_FALSE(pControl->DoubleClickAsPress());
            break;
        case Slider: {
            ISliderControl* pSlider = dynamic_cast<ISliderControl*>(pControl);
            ASSERT_NE(pSlider, nullptr);
            int length = expected.mParamIdx >= EParam_ClimbN ? 76 : 99;
            EXPECT_EQ(pSlider->Length(), length);
            const ImageSize& handle = SizeOf(expected.mImageId);
            EXPECT_EQ(pSlider->HandleSize(), expected.mRect.Width() == length ? handle.mWidth : handle.mHeight);
            break;
        }
        case Text: {
            ITextControl* pText = dynamic_cast<ITextControl*>(pControl);
            ASSERT_NE(pText, nullptr);
            EXPECT_EQ(dynamic_cast<IValueTextControl*>(pControl), nullptr);
            ExpectWhiteArial(pText->GetTextStyle(), expected.mAlignment);
            if (expected.mText) {
                EXPECT_STREQ(pText->GetText(), expected.mText);
            }
            break;
        }
        case Knob: {
            IKnobMultiControl* pKnob = dynamic_cast<IKnobMultiControl*>(pControl);
            ASSERT_NE(pKnob, nullptr);
            EXPECT_EQ(pKnob->Direction(), DragDirection_Vertical);
            EXPECT_EQ(pKnob->Gearing(), 8.0);
            break;
        }
        case FileSelector:
            EXPECT_NE(dynamic_cast<IFileSelectorControl*>(pControl), nullptr);
            break;
        case Striker:
            EXPECT_NE(dynamic_cast<IStrikerCanvas*>(pControl), nullptr);
            break;
        case Cell:
            ASSERT_NE(dynamic_cast<CellControl*>(pControl), nullptr);
            EXPECT_TRUE(pControl->NoPrompt());
            break;
        case Thumbnail:
            EXPECT_NE(dynamic_cast<IPatternThumbnailControl*>(pControl), nullptr);
            break;
        case ObstacleBox:
            EXPECT_NE(dynamic_cast<IObstacleSelectorControl*>(pControl), nullptr);
            break;
        case RoverBox:
            EXPECT_NE(dynamic_cast<IRoverSelectorControl*>(pControl), nullptr);
            break;
        case StepCanvas:
            EXPECT_NE(dynamic_cast<IGrooveMakerCanvas*>(pControl), nullptr);
            break;
        case StepMarker:
            EXPECT_NE(dynamic_cast<IGrooveMakerStepMarker*>(pControl), nullptr);
            break;
        case MessageLine:
            EXPECT_NE(dynamic_cast<IMessageLine*>(pControl), nullptr);
            break;
        }
        const BitmapRef* pImage = ImageOf(pControl);
        if (expected.mKind == Slider || expected.mKind == Radio || expected.mKind == FileSelector) {
            // These keep their image to themselves; the size tells it apart.
            continue;
        }
        if (expected.mImageId != 0) {
            ASSERT_NE(pImage, nullptr);
            ExpectImage(host, *pImage, expected.mImageId);
        } else {
            EXPECT_EQ(pImage, nullptr);
        }
    }
}

TEST(EditorLayout, KnobReadOutsShowTheirParametersByKind)
{
    EditorHost host;
    host.Open();
    // Enumerations show their display text, integers a whole number,
    // doubles two decimals.
    const struct {
        int mParamIdx;
        const char* mText;
    } readOuts[] = {
        {EParam_NoteProb, "1.00"},   {EParam_Tilt, "0.50"},   {EParam_ObsProb, "1.00"},  {EParam_GrpLim, "0"},
        {EParam_Wobble, "0.00"},     {EParam_RptLen, "1/8"},  {EParam_TimeUnits, "1/8"}, {EParam_Slow, "1.00"},
        {EParam_LengthUnits, "1/4"}, {EParam_Velocity, "80"}, {EParam_VelJitt, "0"},     {EParam_Channel, "1"},
        {EParam_NumRows, "9"},       {EParam_NumColums, "9"}, {EParam_Swing, "0.00"},    {EParam_DurJitt, "0.00"},
        {EParam_Human, "0.00"},      {EParam_Simple, "1"},    {EParam_SeqNStep, "32"},   {EParam_Rotate1 + 2, "0"},
        {EParam_ClimbN + 1, "0"},
    };
    for (const auto& readOut : readOuts) {
        EXPECT_EQ(host.ReadOutText(readOut.mParamIdx), readOut.mText) << "parameter " << readOut.mParamIdx;
    }
    host.SetPlain(EParam_Channel, 9);
    host.SetPlain(EParam_Slow, 2.5);
    host.SetPlain(EParam_Rotate1 + 2, 16);
    host.SetPlain(EParam_ClimbN + 1, -8);
    host.Tick();
    EXPECT_EQ(host.ReadOutText(EParam_Channel), "10");
    EXPECT_EQ(host.ReadOutText(EParam_Slow), "2.50");
    EXPECT_EQ(host.ReadOutText(EParam_Rotate1 + 2), "16");
    EXPECT_EQ(host.ReadOutText(EParam_ClimbN + 1), "-8");
}

TEST(EditorLayout, PanelsHoldTheirControlsAndStartWithThePatternPanel)
{
    EditorHost host;
    const ControlGroup& pattern = host.Gui().PatternPanel();
    const ControlGroup& sequencer = host.Gui().SequencerPanel();
    ASSERT_EQ(pattern.NControls(), 32);
    std::vector<int> params;
    int thumbnails = 0;
    for (int i = 0; i < pattern.NControls(); ++i) {
        if (dynamic_cast<IPatternThumbnailControl*>(pattern.GetControl(i))) {
            EXPECT_EQ(pattern.GetControl(i), host.Gui().Thumbnail(thumbnails++));
            continue;
        }
        EXPECT_NE(dynamic_cast<IContactControl*>(pattern.GetControl(i)), nullptr);
        params.push_back(pattern.GetControl(i)->ParamIdx());
    }
    EXPECT_EQ(thumbnails, 8);
    std::sort(params.begin(), params.end());
    ASSERT_EQ(params.size(), 24u);
    for (int i = 0; i < 24; ++i) EXPECT_EQ(params[i], EParam_Save1 + i);

    ASSERT_EQ(sequencer.NControls(), 5 + 64);
    EXPECT_EQ(sequencer.GetControl(0), host.Gui().StepCanvas());
    EXPECT_EQ(sequencer.GetControl(1), host.Gui().StepMarker());
    EXPECT_STREQ(dynamic_cast<ITextControl*>(sequencer.GetControl(2))->GetText(), "Velocity");
    EXPECT_STREQ(dynamic_cast<ITextControl*>(sequencer.GetControl(3))->GetText(), "Lock");
    EXPECT_STREQ(dynamic_cast<ITextControl*>(sequencer.GetControl(4))->GetText(), "Mute");
    params.clear();
    for (int i = 5; i < sequencer.NControls(); ++i) params.push_back(sequencer.GetControl(i)->ParamIdx());
    std::sort(params.begin(), params.end());
    for (int i = 0; i < 64; ++i) EXPECT_EQ(params[i], EParam_FirstLock + i);

    EXPECT_FALSE(pattern.IsHidden());
    EXPECT_TRUE(sequencer.IsHidden());
    for (int i = 0; i < sequencer.NControls(); ++i) EXPECT_TRUE(sequencer.GetControl(i)->IsHidden());
    for (int i = 0; i < pattern.NControls(); ++i) EXPECT_FALSE(pattern.GetControl(i)->IsHidden());
    // Neither panel switch belongs to a panel, and the sequencer's on switch
    // stays visible with either.
    EXPECT_FALSE(host.Bound(EParam_PnlPatt)->IsHidden());
    EXPECT_FALSE(host.Bound(EParam_PnlSeq)->IsHidden());
    EXPECT_FALSE(host.Bound(EParam_SeqOn)->IsHidden());
}

TEST(EditorLayout, SizeKnobsScaleTextAndCellImagesAreKept)
{
    EditorHost host;
    TarvoGui& gui = host.Gui();
    EXPECT_EQ(gui.RowsKnob(), host.Bound(EParam_NumRows));
    EXPECT_EQ(gui.ColumnsKnob(), host.Bound(EParam_NumColums));
    EXPECT_EQ(gui.FileSelector(), host.Bound(EParam_FileSelect));
    EXPECT_STREQ(gui.ScaleNameText()->GetText(), "default");
    // Rover pictures 17 x 17 by display code, obstacle markers 5 x 5 by kind.
    for (int code = 0; code < NUM_CELL_IMAGES; ++code) {
        const BitmapRef& image = gui.CellImage(code);
        ASSERT_NE(image.mpImage, nullptr) << code;
        EXPECT_EQ(image.mWidth, 17);
        EXPECT_EQ(image.mHeight, 17);
        EXPECT_EQ(image.mpImage, host.Window().LoadImage(114 + code, FindImageInfo(114 + code)->name).mpImage);
    }
    for (int kind = 0; kind < NUM_MARK_IMAGES; ++kind) {
        const BitmapRef& image = gui.MarkImage(kind);
        ASSERT_NE(image.mpImage, nullptr) << kind;
        EXPECT_EQ(image.mWidth, 5);
        EXPECT_EQ(image.mHeight, 5);
        EXPECT_EQ(image.mpImage, host.Window().LoadImage(132 + kind, FindImageInfo(132 + kind)->name).mpImage);
    }
}

TEST(EditorLayout, TheSurfaceIsAttachedWithItsSizeAndFrameRate)
{
    EditorHost host;
    EXPECT_EQ(host.Plug()->GetEditor(), &host.Window());
    EXPECT_EQ(host.Window().Width(), 729);
    EXPECT_EQ(host.Window().Height(), 650);
    EXPECT_EQ(host.Window().FrameRate(), 24);
    EXPECT_TRUE(host.Effect()->flags & effFlagsHasEditor);
    ERect* pRect = nullptr;
    ASSERT_EQ(host.Effect()->dispatcher(host.Effect(), effEditGetRect, 0, 0, &pRect, 0.0f), 1);
    EXPECT_EQ(pRect->right - pRect->left, 729);
    EXPECT_EQ(pRect->bottom - pRect->top, 650);
    // Every host-visible parameter has a control; "Scale Load" has none.
    for (int i = 0; i < EParam_NumVisible; ++i) EXPECT_TRUE(host.Window().HasBoundControl(i)) << i;
    EXPECT_FALSE(host.Window().HasBoundControl(EParam_ScaleLoad));
    EXPECT_TRUE(host.Window().HasBoundControl(EParam_FileSelect));
    EXPECT_TRUE(host.Window().HasBoundControl(EParam_FirstMute + 31));
}
