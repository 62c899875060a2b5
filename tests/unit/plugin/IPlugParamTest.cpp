#include <gtest/gtest.h>

#include <string>

#include "framework/plugin/IPlugParam.h"

namespace {
std::string Format(const IPlugParam& param, double value, bool normalized = false)
{
    char text[IPlugParam::MAX_DISPLAY_TEXT_LEN];
    param.FormatValue(value, normalized, text);
    return text;
}
}  // namespace

TEST(IPlugParam, NormalisedMappingRoundsAllButDoubles)
{
    IPlugParam intParam;
    intParam.DefineInt("Count", 0, 0, 10);
    intParam.SetFromNormalized(0.26);
    EXPECT_EQ(intParam.Value(), 3.0);
    intParam.SetFromNormalized(1.0);
    EXPECT_EQ(intParam.Value(), 10.0);
    intParam.SetFromNormalized(1.7);  // only the top is clamped
    EXPECT_EQ(intParam.Value(), 10.0);
    EXPECT_DOUBLE_EQ(intParam.ToNormalized(5.0), 0.5);
    EXPECT_DOUBLE_EQ(intParam.ToNormalized(-4.0), 0.0);

    IPlugParam doubleParam;
    doubleParam.DefineDouble("Amount", 0.5, 0.1, 4.0, 0.01);
    doubleParam.SetFromNormalized(0.123456);
    EXPECT_DOUBLE_EQ(doubleParam.Value(), 0.123456 * 3.9 + 0.1);
}

TEST(IPlugParam, DefineRulesForRangeKindAndPrecision)
{
    IPlugParam param;
    param.DefineDouble("X", 0.0, 0.0, 0.5, 1.0);
    EXPECT_EQ(param.Max(), 1.0);  // at least one step above the minimum

    IPlugParam precise;
    precise.DefineDouble("X", 0.0, 0.0, 1.0, 0.01);
    EXPECT_EQ(precise.DisplayPrecision(), 2);
    precise.DefineDouble("X", 0.0, 0.0, 1.0, 0.1234567);
    EXPECT_EQ(precise.DisplayPrecision(), 6);

    // The outermost Define decides the kind.
    IPlugParam boolParam;
    boolParam.DefineBool("On", true);
    EXPECT_EQ(boolParam.Kind(), ParamKind_Bool);
    EXPECT_EQ(boolParam.Value(), 1.0);
    IPlugParam enumParam;
    enumParam.DefineEnum("Mode", 2, 4);
    EXPECT_EQ(enumParam.Kind(), ParamKind_Enum);
    EXPECT_EQ(enumParam.Max(), 3.0);
}

TEST(IPlugParam, DisplayTexts)
{
    IPlugParam boolParam;
    boolParam.DefineBool("On", false);
    EXPECT_EQ(Format(boolParam, 1.0), "on");
    EXPECT_EQ(Format(boolParam, 0.0), "off");

    IPlugParam doubleParam;
    doubleParam.DefineDouble("Amount", 0.0, 0.0, 1.0, 0.01);
    EXPECT_EQ(Format(doubleParam, 0.0), "0");
    EXPECT_EQ(Format(doubleParam, 0.5), "0.50");
    EXPECT_EQ(Format(doubleParam, 0.25, true), "0.25");
    doubleParam.SetNegateDisplay(true);
    EXPECT_EQ(Format(doubleParam, 0.5), "-0.50");

    IPlugParam enumParam;
    enumParam.DefineEnum("Mode", 0, 3);
    enumParam.AddDisplayText(0, "Forward");
    enumParam.AddDisplayText(1, "");
    EXPECT_EQ(Format(enumParam, 0.0), "Forward");
    EXPECT_EQ(Format(enumParam, 1.0), "1");  // an empty text falls back to the number
    EXPECT_EQ(Format(enumParam, 2.0), "2");
    int value = -1;
    EXPECT_TRUE(enumParam.ParseDisplayText("Forward", &value));
    EXPECT_EQ(value, 0);
    EXPECT_FALSE(enumParam.ParseDisplayText("forward", &value));

    // Texts longer than the display width are cut, never overrun.
    IPlugParam longText;
    longText.DefineEnum("L", 0, 1);
    longText.AddDisplayText(0, "a text that is much longer than thirty-one characters");
    EXPECT_EQ(Format(longText, 0.0).size(), 31u);
}
