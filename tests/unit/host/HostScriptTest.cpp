#include <gtest/gtest.h>

#include <cstdio>

#include "session/HostScript.h"
#include "session/HostText.h"
#include "play/PlayOptions.h"

namespace {
std::vector<ScriptAction> ParseOk(const std::string& text)
{
    std::vector<ScriptAction> actions;
    std::string error;
    EXPECT_TRUE(ParseScript(text, "test.script", &actions, &error)) << error;
    return actions;
}

std::string ParseError(const std::string& text)
{
    std::vector<ScriptAction> actions;
    std::string error;
    EXPECT_FALSE(ParseScript(text, "test.script", &actions, &error)) << text;
    return error;
}

bool ParseArgs(const std::vector<std::string>& args, PlayOptions* options, std::string* error)
{
    *options = PlayOptions();
    return ParsePlayOptions(args, options, error);
}
}  // namespace

TEST(HostScript, ParsesEveryActionWithItsArguments)
{
    std::vector<ScriptAction> actions = ParseOk(
        "0 stop\n"
        "1 play\n"
        "2 locate -300\n"
        "3 tempo 97.5\n"
        "4 sig 7/8\n"
        "5 param 300 0.25\n"
        "6 midi 17 9F 3c 7f\n"
        "7 save out/state one.chunk\n"
        "8 load 0x.chunk\n"
        "9 blocksize 0\n"
        "10 lock on\n"
        "11 loop 96000 192000\n"
        "12 loop off\n");
    ASSERT_EQ(actions.size(), 13u);
    EXPECT_EQ(actions[0].kind, EScriptAction_Stop);
    EXPECT_EQ(actions[1].kind, EScriptAction_Play);
    EXPECT_EQ(actions[2].kind, EScriptAction_Locate);
    EXPECT_EQ(actions[2].sample, -300);
    EXPECT_EQ(actions[3].number, 97.5);
    EXPECT_EQ(actions[4].sigNumerator, 7);
    EXPECT_EQ(actions[4].sigDenominator, 8);
    EXPECT_EQ(actions[5].index, 300);
    EXPECT_EQ(actions[5].number, 0.25);
    EXPECT_EQ(actions[6].midiOffset, 17);
    EXPECT_EQ(actions[6].midi[0], 0x9F);
    EXPECT_EQ(actions[6].midi[1], 0x3C);
    EXPECT_EQ(actions[6].midi[2], 0x7F);
    EXPECT_EQ(actions[7].path, "out/state one.chunk");
    EXPECT_EQ(actions[8].kind, EScriptAction_Load);
    EXPECT_EQ(actions[8].path, "0x.chunk");
    EXPECT_EQ(actions[9].kind, EScriptAction_BlockSize);
    EXPECT_EQ(actions[9].index, 0);
    EXPECT_EQ(actions[10].kind, EScriptAction_Lock);
    EXPECT_EQ(actions[10].index, 1);
    EXPECT_EQ(actions[11].kind, EScriptAction_Loop);
    EXPECT_EQ(actions[11].sample, 96000);
    EXPECT_EQ(actions[11].sampleEnd, 192000);
    EXPECT_EQ(actions[12].index, 0);
    for (size_t i = 0; i < actions.size(); ++i) EXPECT_EQ(actions[i].block, int64_t(i));
}

TEST(HostScript, SkipsBlankLinesCommentsAndCarriageReturns)
{
    std::vector<ScriptAction> actions = ParseOk(
        "# a comment\r\n"
        "\r\n"
        "   \t\n"
        "12 tempo 140   # faster\r\n"
        "  13\tstop\n"
        "14 save a.chunk # not part of the name");
    ASSERT_EQ(actions.size(), 3u);
    EXPECT_EQ(actions[0].block, 12);
    EXPECT_EQ(actions[0].number, 140.0);
    EXPECT_EQ(actions[1].kind, EScriptAction_Stop);
    EXPECT_EQ(actions[2].path, "a.chunk");
}

TEST(HostScript, RejectsMalformedLinesNamingTheLine)
{
    EXPECT_EQ(ParseError("0 play\n\n3 jump 5\n"), "test.script:3: unknown action 'jump'");
    EXPECT_NE(ParseError("-1 play").find(":1: block number"), std::string::npos);
    EXPECT_NE(ParseError("x play").find("block number"), std::string::npos);
    EXPECT_NE(ParseError("0 play now").find("takes: no arguments"), std::string::npos);
    EXPECT_NE(ParseError("0 tempo 0").find("tempo"), std::string::npos);
    EXPECT_NE(ParseError("0 tempo fast").find("tempo"), std::string::npos);
    EXPECT_NE(ParseError("0 sig 4/3").find("time signature"), std::string::npos);
    EXPECT_NE(ParseError("0 sig 0/4").find("time signature"), std::string::npos);
    EXPECT_NE(ParseError("0 sig 4").find("time signature"), std::string::npos);
    EXPECT_NE(ParseError("0 midi 0 90 3c").find("OFFSET STATUS DATA1 DATA2"), std::string::npos);
    EXPECT_NE(ParseError("0 midi 0 190 3c 40").find("hexadecimal"), std::string::npos);
    EXPECT_NE(ParseError("0 midi 0 9g 3c 40").find("hexadecimal"), std::string::npos);
    EXPECT_NE(ParseError("0 param -1 0.5").find("parameter index"), std::string::npos);
    EXPECT_NE(ParseError("0 param 1 nan").find("value"), std::string::npos);
    EXPECT_NE(ParseError("0 blocksize -1").find("block size"), std::string::npos);
    EXPECT_NE(ParseError("0 blocksize 99999999").find("block size"), std::string::npos);
    EXPECT_NE(ParseError("0 save").find("FILE"), std::string::npos);
    EXPECT_NE(ParseError("0 lock maybe").find("on or off"), std::string::npos);
    EXPECT_NE(ParseError("0 loop 500 500").find("START END"), std::string::npos);
    EXPECT_NE(ParseError("0 loop 500").find("START END"), std::string::npos);
    EXPECT_NE(ParseError("5").find("BLOCK ACTION"), std::string::npos);
}

TEST(HostText, NumbersParseWholeStringsOnly)
{
    int64_t i = 0;
    EXPECT_TRUE(ParseInt64("-9223372036854775808", &i));
    EXPECT_EQ(i, INT64_MIN);
    EXPECT_FALSE(ParseInt64("9223372036854775808", &i));
    EXPECT_FALSE(ParseInt64("12 ", &i));
    EXPECT_FALSE(ParseInt64("", &i));
    EXPECT_FALSE(ParseInt64("-", &i));
    double d = 0;
    EXPECT_TRUE(ParseDouble("1e3", &d));
    EXPECT_EQ(d, 1000.0);
    EXPECT_FALSE(ParseDouble("1,5", &d));
    EXPECT_FALSE(ParseDouble(" 1", &d));
    EXPECT_FALSE(ParseDouble("inf", &d));
    EXPECT_FALSE(ParseDouble("1e999", &d));
    EXPECT_EQ(FormatFixed(0.1234567, 6), "0.123457");
    EXPECT_EQ(FormatFixed(-0.0000001, 6), "0.000000");
    EXPECT_EQ(FormatFixed(-0.5, 6), "-0.500000");
}

TEST(PlayOptions, DefaultsAndValuesInBothSpellings)
{
    PlayOptions options;
    std::string error;
    ASSERT_TRUE(ParseArgs({"plug.so"}, &options, &error)) << error;
    EXPECT_EQ(options.pluginPath, "plug.so");
    EXPECT_EQ(options.transport.sampleRate, 44100.0);
    EXPECT_EQ(options.blockSize, 512);
    EXPECT_EQ(options.transport.tempo, 120.0);
    EXPECT_EQ(options.precision, EPrecision_Single);
    EXPECT_TRUE(options.timeProvided);
    EXPECT_TRUE(options.transport.musicalPosition);
    // One bar of 4/4 at 120 bpm is 88200 samples: 172.27 blocks of 512.
    EXPECT_EQ(options.BlockCount(), 173);

    ASSERT_TRUE(ParseArgs({"--sr=48000", "--block", "256", "--tempo", "90", "--sig", "3/4", "--start=-5", "--precision",
                           "double", "--no-time", "--no-ppq", "--ppq-resolution", "1920", "p.dll", "--blocks", "7"},
                          &options, &error))
        << error;
    EXPECT_EQ(options.pluginPath, "p.dll");
    EXPECT_EQ(options.transport.sampleRate, 48000.0);
    EXPECT_EQ(options.blockSize, 256);
    EXPECT_EQ(options.transport.sigNumerator, 3);
    EXPECT_EQ(options.transport.startSample, -5);
    EXPECT_EQ(options.precision, EPrecision_Double);
    EXPECT_FALSE(options.timeProvided);
    EXPECT_FALSE(options.transport.musicalPosition);
    EXPECT_EQ(options.transport.ppqResolution, 1920);
    EXPECT_EQ(options.BlockCount(), 7);
}

TEST(PlayOptions, ParamsAndActionsKeepCommandLineOrder)
{
    std::string scriptPath = ::testing::TempDir() + "host_options_test.script";
    std::string error;
    ASSERT_TRUE(WriteWholeFile(scriptPath, "4 stop\n2 tempo 100\n", &error)) << error;

    PlayOptions options;
    ASSERT_TRUE(ParseArgs({"p.so", "--at", "9 play", "--set", "Cut=off=0.5", "--param", "400=1", "--script", scriptPath,
                           "--at", "0 param 3 0.5"},
                          &options, &error))
        << error;
    ASSERT_EQ(options.params.size(), 2u);
    EXPECT_TRUE(options.params[0].byName);
    EXPECT_EQ(options.params[0].name, "Cut=off");
    EXPECT_EQ(options.params[0].value, 0.5);
    EXPECT_FALSE(options.params[1].byName);
    EXPECT_EQ(options.params[1].index, 400);
    ASSERT_EQ(options.actions.size(), 4u);
    EXPECT_EQ(options.actions[0].block, 9);
    EXPECT_EQ(options.actions[1].block, 4);
    EXPECT_EQ(options.actions[2].block, 2);
    EXPECT_EQ(options.actions[3].kind, EScriptAction_Param);
    std::remove(scriptPath.c_str());
}

TEST(PlayOptions, RejectsBadCommandLines)
{
    PlayOptions options;
    std::string error;
    EXPECT_FALSE(ParseArgs({}, &options, &error));
    EXPECT_EQ(error, "no plug-in named");
    EXPECT_FALSE(ParseArgs({"a.so", "b.so"}, &options, &error));
    EXPECT_FALSE(ParseArgs({"a.so", "--blocks", "3", "--bars", "2"}, &options, &error));
    EXPECT_EQ(error, "give --blocks or --bars, not both");
    EXPECT_FALSE(ParseArgs({"a.so", "--block", "0"}, &options, &error));
    EXPECT_FALSE(ParseArgs({"a.so", "--tempo"}, &options, &error));
    EXPECT_EQ(error, "--tempo needs a value");
    EXPECT_FALSE(ParseArgs({"a.so", "--precision", "half"}, &options, &error));
    EXPECT_FALSE(ParseArgs({"a.so", "--param", "x=1"}, &options, &error));
    EXPECT_FALSE(ParseArgs({"a.so", "--param", "-1=1"}, &options, &error));
    EXPECT_FALSE(ParseArgs({"a.so", "--set", "Gain"}, &options, &error));
    EXPECT_FALSE(ParseArgs({"a.so", "--no-time=1"}, &options, &error));
    EXPECT_FALSE(ParseArgs({"a.so", "--loud"}, &options, &error));
    EXPECT_FALSE(ParseArgs({"a.so", "-x"}, &options, &error));
    EXPECT_FALSE(ParseArgs({"a.so", "--at", "# nothing"}, &options, &error));
    EXPECT_FALSE(ParseArgs({"a.so", "--at", "1 warp"}, &options, &error));
    EXPECT_EQ(error, "--at '1 warp': unknown action 'warp'");
    EXPECT_FALSE(ParseArgs({"a.so", "--script", "/nonexistent/host.script"}, &options, &error));
    EXPECT_NE(error.find("cannot open"), std::string::npos);
}
