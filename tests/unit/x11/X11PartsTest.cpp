// The entry box's editing and the popup menu's layout, which need no
// display.
#include <gtest/gtest.h>

#include "framework/gui/EditBoxX11.h"
#include "framework/gui/PopupMenuX11.h"

TEST(TextEntryModel, TypingReplacesTheSelectionAndKeysEditAtTheCaret)
{
    TextEntryModel model(999);
    model.SetText("0.50");
    model.SelectAll();
    EXPECT_EQ(model.SelectionStart(), 0u);
    EXPECT_EQ(model.SelectionEnd(), 4u);
    model.Insert('7');
    EXPECT_EQ(model.Text(), "7");
    model.Insert('2');
    model.MoveHome(false);
    model.Insert('-');
    EXPECT_EQ(model.Text(), "-72");
    model.MoveRight(false);
    model.Delete();
    EXPECT_EQ(model.Text(), "-7");
    model.Backspace();
    model.Backspace();
    model.Backspace();
    EXPECT_EQ(model.Text(), "");
    EXPECT_EQ(model.Caret(), 0u);
    model.Delete();
    model.MoveLeft(false);
    EXPECT_EQ(model.Caret(), 0u);
}

TEST(TextEntryModel, ShiftExtendsAndArrowsCollapseTheSelection)
{
    TextEntryModel model(999);
    model.SetText("12345");
    EXPECT_EQ(model.Caret(), 5u);
    EXPECT_FALSE(model.HasSelection());
    model.MoveLeft(true);
    model.MoveLeft(true);
    EXPECT_EQ(model.SelectionStart(), 3u);
    EXPECT_EQ(model.SelectionEnd(), 5u);
    model.Backspace();
    EXPECT_EQ(model.Text(), "123");
    model.MoveHome(true);
    model.MoveRight(false);
    // Right collapses a selection to its end, Left to its start.
    EXPECT_EQ(model.Caret(), 3u);
    model.SelectAll();
    model.MoveLeft(false);
    EXPECT_EQ(model.Caret(), 0u);
    EXPECT_FALSE(model.HasSelection());
    model.MoveEnd(true);
    model.Delete();
    EXPECT_EQ(model.Text(), "");
}

TEST(TextEntryModel, KeepsCharactersWholeAndTheLengthBounded)
{
    TextEntryModel model(4);
    model.SetText("\xC3\xA9t\xC3\xA9");  // "été"
    EXPECT_EQ(model.Length(), 3u);
    model.MoveLeft(false);
    model.Backspace();
    EXPECT_EQ(model.Text(), "\xC3\xA9\xC3\xA9");
    EXPECT_TRUE(model.Insert(0x20AC));  // the euro sign
    EXPECT_TRUE(model.Insert('x'));
    EXPECT_FALSE(model.Insert('y'));
    EXPECT_EQ(model.Text(),
              "\xC3\xA9\xE2\x82\xAC"
              "x\xC3\xA9");
    // A text longer than the box takes is cut, never overrun.
    model.SetText("123456789");
    EXPECT_EQ(model.Text(), "1234");
    // Invalid UTF-8 bytes are Latin-1 characters.
    model.SetText("\xFF");
    EXPECT_EQ(model.Text(), "\xC3\xBF");
}

TEST(PopupMenuLayout, ColumnBreaksStartNewColumnsAndSeparatorsAreThin)
{
    std::vector<NativeMenuItem> items(6);
    const char* texts[] = {"One", "", "Three", "Four", "Five", "Six"};
    for (size_t i = 0; i < items.size(); ++i) {
        items[i].mId = static_cast<int>(i) + 1;
        items[i].mText = texts[i];
    }
    items[1].mSeparator = true;
    items[3].mColumnBreak = true;
    items[5].mColumnBreak = true;
    MenuLayout layout =
        PopupMenuX11::Layout(items, [](const std::string& text) { return static_cast<int>(text.size()) * 30; });
    ASSERT_EQ(layout.mBoxes.size(), 6u);
    const int B = PopupMenuX11::BORDER, H = PopupMenuX11::ITEM_HEIGHT, S = PopupMenuX11::SEPARATOR_HEIGHT;
    EXPECT_EQ(layout.mBoxes[0].mTop, B);
    EXPECT_EQ(layout.mBoxes[1].mBottom - layout.mBoxes[1].mTop, S);
    EXPECT_EQ(layout.mBoxes[2].mTop, B + H + S);
    // Column 2 and 3 start at the top again, to the right of the ones before.
    EXPECT_EQ(layout.mBoxes[3].mColumn, 1);
    EXPECT_EQ(layout.mBoxes[3].mTop, B);
    EXPECT_EQ(layout.mBoxes[4].mTop, B + H);
    EXPECT_EQ(layout.mBoxes[5].mColumn, 2);
    EXPECT_GT(layout.mBoxes[3].mLeft, layout.mBoxes[2].mRight);
    EXPECT_GT(layout.mBoxes[5].mLeft, layout.mBoxes[4].mRight);
    // A column is as wide as its widest text with the margins.
    EXPECT_EQ(layout.mBoxes[0].mRight - layout.mBoxes[0].mLeft, 24 + 5 * 30 + 24);
    EXPECT_EQ(layout.mBoxes[4].mRight - layout.mBoxes[4].mLeft, 24 + 4 * 30 + 24);
    EXPECT_EQ(layout.mHeight, B + 2 * H + S + B);
    EXPECT_EQ(layout.mWidth, layout.mBoxes[5].mRight + B);
}
