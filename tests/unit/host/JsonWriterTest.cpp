#include <gtest/gtest.h>

#include <cmath>

#include "session/JsonWriter.h"

TEST(JsonQuote, EscapesWhatJsonRequires)
{
    EXPECT_EQ(JsonQuote("a\"b\\c"), "\"a\\\"b\\\\c\"");
    EXPECT_EQ(JsonQuote("\n\r\t"), "\"\\n\\r\\t\"");
    EXPECT_EQ(JsonQuote(std::string("x\0y\x1f\x7f", 5)), "\"x\\u0000y\\u001f\\u007f\"");
}

TEST(JsonQuote, KeepsValidUtf8AndReadsOtherBytesAsLatin1)
{
    EXPECT_EQ(JsonQuote("G\xC3\xA4in \xE2\x82\xAC \xF0\x9F\x8E\xB9"), "\"G\xC3\xA4in \xE2\x82\xAC \xF0\x9F\x8E\xB9\"");
    EXPECT_EQ(JsonQuote("G\xE4in"), "\"G\\u00e4in\"");                  // Latin-1
    EXPECT_EQ(JsonQuote("\xC3"), "\"\\u00c3\"");                        // truncated sequence
    EXPECT_EQ(JsonQuote("\xC0\x80"), "\"\\u00c0\\u0080\"");             // overlong NUL
    EXPECT_EQ(JsonQuote("\xED\xA0\x80"), "\"\\u00ed\\u00a0\\u0080\"");  // surrogate
}

TEST(JsonWriter, IndentsContainersAndKeepsCompactOnesOnOneLine)
{
    JsonWriter json;
    json.BeginObject();
    json.Key("n");
    json.Integer(-3);
    json.Key("list");
    json.BeginArray();
    json.BeginObject(true);
    json.Key("v");
    json.Number(0.5);
    json.Key("bad");
    json.Number(NAN);
    json.EndObject();
    json.EndArray();
    json.Key("empty");
    json.BeginArray();
    json.EndArray();
    json.EndObject();
    EXPECT_EQ(json.Text(),
              "{\n"
              "  \"n\": -3,\n"
              "  \"list\": [\n"
              "    {\"v\": 0.500000, \"bad\": null}\n"
              "  ],\n"
              "  \"empty\": []\n"
              "}\n");
}
