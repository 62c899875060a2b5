// The editor command's input file and command line: what a test author
// writes must become exactly the actions delivered, and every mistake must
// be refused with its line before a plug-in is even loaded.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "editor/EditorInput.h"
#include "editor/EditorOptions.h"

namespace {
EditorInputAction ParseOne(const std::string& line)
{
    EditorInputAction action;
    bool isAction = false;
    std::string error;
    EXPECT_TRUE(ParseEditorInputLine(line, &action, &isAction, &error)) << line << ": " << error;
    EXPECT_TRUE(isAction) << line;
    return action;
}

std::string Refusal(const std::string& line)
{
    EditorInputAction action;
    bool isAction = false;
    std::string error;
    EXPECT_FALSE(ParseEditorInputLine(line, &action, &isAction, &error)) << line;
    return error;
}

TEST(EditorInputTest, MouseActionsTakeTheirPointsButtonsAndModifiers)
{
    EditorInputAction click = ParseOne("click 12 34");
    EXPECT_EQ(click.kind, EEditorInput_Click);
    EXPECT_EQ(click.x, 12);
    EXPECT_EQ(click.y, 34);
    EXPECT_EQ(click.button, EMouseButton_Left);
    EXPECT_EQ(click.modifiers, 0);

    EditorInputAction right = ParseOne("click 0 0 alt right shift");
    EXPECT_EQ(right.button, EMouseButton_Right);
    EXPECT_EQ(right.modifiers, EDITOR_MODIFIER_ALT | EDITOR_MODIFIER_SHIFT);

    EditorInputAction twice = ParseOne("dblclick 5 6 ctrl");
    EXPECT_EQ(twice.kind, EEditorInput_DoubleClick);
    EXPECT_EQ(twice.modifiers, EDITOR_MODIFIER_CTRL);

    EditorInputAction drag = ParseOne("drag 1 2 300 400 right ctrl");
    EXPECT_EQ(drag.kind, EEditorInput_Drag);
    EXPECT_EQ(drag.x, 1);
    EXPECT_EQ(drag.y, 2);
    EXPECT_EQ(drag.endX, 300);
    EXPECT_EQ(drag.endY, 400);
    EXPECT_EQ(drag.button, EMouseButton_Right);
    EXPECT_EQ(drag.modifiers, EDITOR_MODIFIER_CTRL);

    EditorInputAction hold = ParseOne("hold 1 2 1 40 right");
    EXPECT_EQ(hold.kind, EEditorInput_Hold);
    EXPECT_EQ(hold.endY, 40);
    EXPECT_EQ(hold.button, EMouseButton_Right);
    EXPECT_EQ(ParseOne("release").kind, EEditorInput_Release);

    EditorInputAction wheel = ParseOne("wheel 7 8 -3");
    EXPECT_EQ(wheel.kind, EEditorInput_Wheel);
    EXPECT_EQ(wheel.notches, -3);
    EXPECT_EQ(ParseOne("wheel 7 8 +100").notches, 100);
}

TEST(EditorInputTest, KeysAndWaits)
{
    EditorInputAction letter = ParseOne("key q");
    EXPECT_EQ(letter.kind, EEditorInput_Key);
    EXPECT_EQ(letter.key, EEditorKey_Character);
    EXPECT_EQ(letter.character, 'q');
    EXPECT_EQ(ParseOne("key 7").character, '7');
    const char* const NAMES[] = {"space",  "up",     "down",      "left",  "right",
                                 "Return", "Escape", "BackSpace", "minus", "period"};
    const EEditorKey KEYS[] = {EEditorKey_Space, EEditorKey_Up,     EEditorKey_Down,   EEditorKey_Left,
                               EEditorKey_Right, EEditorKey_Return, EEditorKey_Escape, EEditorKey_BackSpace,
                               EEditorKey_Minus, EEditorKey_Period};
    for (size_t i = 0; i < sizeof(NAMES) / sizeof(NAMES[0]); ++i) {
        EditorInputAction key = ParseOne(std::string("key ") + NAMES[i]);
        EXPECT_EQ(key.key, KEYS[i]) << NAMES[i];
        EXPECT_EQ(EditorKeyName(key.key, key.character), NAMES[i]);
    }
    EXPECT_EQ(EditorKeyName(EEditorKey_Character, 'z'), "z");

    EditorInputAction wait = ParseOne("wait 24");
    EXPECT_EQ(wait.kind, EEditorInput_Wait);
    EXPECT_EQ(wait.ticks, 24);
    EXPECT_EQ(ParseOne("wait 0").ticks, 0);
    // The next file dialog's answer: a file, or none (cancel).
    EditorInputAction answer = ParseOne("answer Z:\\scenes\\walk.fxp");
    EXPECT_EQ(answer.kind, EEditorInput_Answer);
    EXPECT_EQ(answer.answer, "Z:\\scenes\\walk.fxp");
    EXPECT_EQ(ParseOne("answer cancel").answer, "");
}

TEST(EditorInputTest, MistakesAreRefusedWithTheReason)
{
    EXPECT_NE(Refusal("tap 1 2").find("unknown action 'tap'"), std::string::npos);
    EXPECT_NE(Refusal("click 1").find("X Y"), std::string::npos);
    EXPECT_NE(Refusal("click -1 2").find("coordinate '-1'"), std::string::npos);
    EXPECT_NE(Refusal("click 32768 2").find("coordinate '32768'"), std::string::npos);
    EXPECT_NE(Refusal("click 1.5 2").find("coordinate '1.5'"), std::string::npos);
    EXPECT_NE(Refusal("click 1 2 middle").find("unknown word 'middle'"), std::string::npos);
    EXPECT_NE(Refusal("click 1 2 shift shift").find("'shift' is given twice"), std::string::npos);
    EXPECT_NE(Refusal("click 1 2 left right").find("more than one button"), std::string::npos);
    // A double click is always made with the left button.
    EXPECT_NE(Refusal("dblclick 1 2 right").find("unknown word 'right'"), std::string::npos);
    EXPECT_NE(Refusal("drag 1 2 3").find("X1 Y1 X2 Y2"), std::string::npos);
    EXPECT_NE(Refusal("hold 1 2 3 4 shift").find("no modifiers"), std::string::npos);
    EXPECT_NE(Refusal("release 1 2").find("takes nothing"), std::string::npos);
    EXPECT_NE(Refusal("wheel 1 2 0").find("other than 0"), std::string::npos);
    EXPECT_NE(Refusal("wheel 1 2 101").find("notches '101'"), std::string::npos);
    EXPECT_NE(Refusal("wheel 1 2").find("X Y NOTCHES"), std::string::npos);
    EXPECT_NE(Refusal("key Q").find("unknown key 'Q'"), std::string::npos);
    EXPECT_NE(Refusal("key return").find("unknown key 'return'"), std::string::npos);
    EXPECT_NE(Refusal("key a b").find("NAME"), std::string::npos);
    EXPECT_NE(Refusal("wait -1").find("ticks '-1'"), std::string::npos);
    EXPECT_NE(Refusal("wait 100001").find("ticks '100001'"), std::string::npos);
}

TEST(EditorInputTest, FileKeepsOrderAndLineNumbersAndSkipsComments)
{
    std::vector<EditorInputAction> actions;
    std::string error;
    ASSERT_TRUE(ParseEditorInput("# warm up\r\n\r\nclick 1 2   # the first knob\r\n  wait 3\nkey space", "in.txt",
                                 &actions, &error))
        << error;
    ASSERT_EQ(actions.size(), 3u);
    EXPECT_EQ(actions[0].kind, EEditorInput_Click);
    EXPECT_EQ(actions[0].line, 3);
    EXPECT_EQ(actions[1].kind, EEditorInput_Wait);
    EXPECT_EQ(actions[1].line, 4);
    EXPECT_EQ(actions[2].kind, EEditorInput_Key);
    EXPECT_EQ(actions[2].line, 5);

    actions.clear();
    EXPECT_FALSE(ParseEditorInput("click 1 2\nwait\n", "clicks.txt", &actions, &error));
    EXPECT_EQ(error, "clicks.txt:2: 'wait' takes: TICKS");
}

TEST(EditorInputTest, PointsMustLieInsideTheEditor)
{
    std::string error;
    EXPECT_TRUE(EditorInputFits(ParseOne("click 728 649"), 729, 650, &error));
    EXPECT_FALSE(EditorInputFits(ParseOne("click 729 10"), 729, 650, &error));
    EXPECT_NE(error.find("729,10 lies outside the editor (729 x 650)"), std::string::npos) << error;
    EXPECT_FALSE(EditorInputFits(ParseOne("wheel 10 650 1"), 729, 650, &error));
    // Both ends of a drag count.
    EXPECT_TRUE(EditorInputFits(ParseOne("drag 0 0 728 649"), 729, 650, &error));
    EXPECT_FALSE(EditorInputFits(ParseOne("drag 0 0 10 700"), 729, 650, &error));
    EXPECT_TRUE(EditorInputFits(ParseOne("key a"), 1, 1, &error));
}

class EditorOptionsTest : public ::testing::Test {
protected:
    bool Parse(const std::vector<std::string>& args)
    {
        mOptions = EditorOptions();
        mError.clear();
        return ParseEditorOptions(args, &mOptions, &mError);
    }

    EditorOptions mOptions;
    std::string mError;
};

TEST_F(EditorOptionsTest, EditorAndPlayOptionsAreSeparated)
{
    ASSERT_TRUE(Parse({"plug.so", "--png", "out.png", "--ticks=30", "--automation", "auto.txt", "--play", "--speed",
                       "4", "--blocks", "20", "--set", "Gain=0.5", "--at", "--play-like-value"}) == false);
    // "--at" takes the next word whatever it looks like; that one is no
    // script line, so the play options refuse it, not the editor's.
    EXPECT_NE(mError.find("--at '--play-like-value'"), std::string::npos) << mError;

    ASSERT_TRUE(Parse({"plug.so", "--png", "out.png", "--ticks=30", "--automation", "auto.txt", "--play", "--speed",
                       "4", "--blocks", "20", "--set", "Gain=0.5", "--timeout", "9.5"}))
        << mError;
    EXPECT_EQ(mOptions.play.pluginPath, "plug.so");
    EXPECT_EQ(mOptions.pngPath, "out.png");
    EXPECT_EQ(mOptions.ticks, 30);
    EXPECT_TRUE(mOptions.playing);
    EXPECT_EQ(mOptions.speed, 4.0);
    EXPECT_EQ(mOptions.play.blocks, 20);
    EXPECT_EQ(mOptions.play.automationPath, "auto.txt");
    ASSERT_EQ(mOptions.play.params.size(), 1u);
    EXPECT_EQ(mOptions.play.params[0].name, "Gain");
    EXPECT_TRUE(mOptions.BoundedPlay());
    EXPECT_EQ(mOptions.TimeLimitSeconds(), 9.5);
}

TEST_F(EditorOptionsTest, DefaultsAndTheDerivedTimeLimit)
{
    ASSERT_TRUE(Parse({"plug.so"})) << mError;
    EXPECT_EQ(mOptions.ticks, DEFAULT_EDITOR_TICKS);
    EXPECT_FALSE(mOptions.playing);
    EXPECT_FALSE(mOptions.BoundedPlay());
    double idle = mOptions.TimeLimitSeconds();
    EXPECT_GT(idle, 30.0);
    EXPECT_LT(idle, 60.0);

    // A bounded play at real time must fit in the limit, with room to spare:
    // 400 blocks of 441 frames at 44.1 kHz are 4 s.
    ASSERT_TRUE(Parse({"plug.so", "--play", "--blocks", "400", "--block", "441"})) << mError;
    EXPECT_GE(mOptions.TimeLimitSeconds(), idle + 8.0);
    ASSERT_TRUE(Parse({"plug.so", "--play", "--blocks", "400", "--block", "441", "--speed", "100"})) << mError;
    EXPECT_LT(mOptions.TimeLimitSeconds(), idle + 1.0);
    // A long wait in the input counts too.
    ASSERT_TRUE(Parse({"plug.so", "--ticks", "1000"})) << mError;
    EXPECT_GE(mOptions.TimeLimitSeconds(), 2.0 * 1000 * EDITOR_TICK_MS / 1000.0);
}

TEST_F(EditorOptionsTest, BadValuesAreRefused)
{
    EXPECT_FALSE(Parse({"plug.so", "--ticks", "-1"}));
    EXPECT_NE(mError.find("--ticks"), std::string::npos);
    EXPECT_FALSE(Parse({"plug.so", "--ticks"}));
    EXPECT_EQ(mError, "--ticks needs a value");
    EXPECT_FALSE(Parse({"plug.so", "--speed", "0"}));
    EXPECT_NE(mError.find("--speed"), std::string::npos);
    EXPECT_FALSE(Parse({"plug.so", "--timeout", "0"}));
    EXPECT_NE(mError.find("--timeout"), std::string::npos);
    EXPECT_FALSE(Parse({"plug.so", "--play=yes"}));
    EXPECT_EQ(mError, "--play takes no value");
    EXPECT_FALSE(Parse({"plug.so", "--input", "no-such-input-file.txt"}));
    EXPECT_NE(mError.find("--input"), std::string::npos);
    EXPECT_FALSE(Parse({"--png", "x.png"}));
    EXPECT_EQ(mError, "no plug-in named");
    // Without an audio thread nothing would run the scheduled blocks.
    EXPECT_FALSE(Parse({"plug.so", "--blocks", "4"}));
    EXPECT_NE(mError.find("need --play"), std::string::npos);
    EXPECT_FALSE(Parse({"plug.so", "--at", "0 stop"}));
    EXPECT_NE(mError.find("need --play"), std::string::npos);
}

TEST_F(EditorOptionsTest, InputFileIsReadAndItsErrorsNameTheLine)
{
    const char* PATH = "editor_options_test_input.txt";
    {
        std::ofstream file(PATH, std::ios::binary);
        file << "click 10 20\nwait 5\n";
    }
    ASSERT_TRUE(Parse({"plug.so", "--input", PATH})) << mError;
    EXPECT_EQ(mOptions.inputPath, PATH);
    ASSERT_EQ(mOptions.inputs.size(), 2u);
    EXPECT_EQ(mOptions.inputs[1].ticks, 5);
    {
        std::ofstream file(PATH, std::ios::binary);
        file << "click 10 20\n\nclick 10\n";
    }
    EXPECT_FALSE(Parse({"plug.so", "--input=" + std::string(PATH)}));
    EXPECT_EQ(mError.rfind(std::string(PATH) + ":3: ", 0), 0u) << mError;
    std::remove(PATH);
}
}  // namespace
