// The bench's JSON writer and reader: what is written reads back with the same values, and
// malformed documents are refused.
#include "json.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(Json, WrittenDocumentReadsBack)
{
    JsonWriter json;
    json.beginObject();
    json.text("name", "quote \" and \\ and\nnewline");
    json.number("ms", 12.345678);
    json.number("whole", 3.0, 0);
    json.integer("count", -42);
    json.boolean("ok", true);
    json.number("bad", std::nan(""));
    json.beginArray("items");
    json.beginObject();
    json.number("x", 1.5);
    json.endObject();
    json.integer(nullptr, 7);
    json.endArray();
    json.beginObject("empty");
    json.endObject();
    json.endObject();

    JsonValue root;
    std::string error;
    ASSERT_TRUE(parseJson(json.out, root, error)) << error << "\n" << json.out;
    EXPECT_EQ(jsonMember(root, "name")->text, "quote \" and \\ and\nnewline");
    EXPECT_DOUBLE_EQ(jsonMember(root, "ms")->number, 12.35);  // two decimals by default
    EXPECT_DOUBLE_EQ(jsonMember(root, "whole")->number, 3.0);
    EXPECT_DOUBLE_EQ(jsonMember(root, "count")->number, -42.0);
    EXPECT_TRUE(jsonMember(root, "ok")->boolean);
    EXPECT_EQ(jsonMember(root, "bad")->kind, JsonKind::null);
    const JsonValue* items = jsonMember(root, "items");
    ASSERT_NE(items, nullptr);
    ASSERT_EQ(items->values.size(), 2u);
    EXPECT_DOUBLE_EQ(jsonMember(items->values[0], "x")->number, 1.5);
    EXPECT_DOUBLE_EQ(items->values[1].number, 7.0);
    EXPECT_EQ(jsonPath(root, {"empty"})->kind, JsonKind::object);
    EXPECT_EQ(jsonPath(root, {"items", "x"}), nullptr);
}

TEST(Json, RefusesMalformedDocuments)
{
    const char* const bad[] = {
        "",
        "{",
        "{\"a\" 1}",
        "{\"a\": 1,}",
        "[1 2]",
        "{\"a\": 01}",
        "{\"a\": 1.}",
        "{\"a\": -}",
        "{\"a\": tru}",
        "\"unterminated",
        "{\"a\": \"\\q\"}",
        "{} extra",
        "{\"a\": \"tab\there\"}",
    };
    for (const char* text : bad) {
        JsonValue value;
        std::string error;
        EXPECT_FALSE(parseJson(text, value, error)) << text;
        EXPECT_FALSE(error.empty()) << text;
    }
}

TEST(Json, ReadsTheFullNumberAndEscapeGrammar)
{
    JsonValue value;
    std::string error;
    ASSERT_TRUE(parseJson(" [ -0.5e+2, 1E3, 0, \"\\u0041\\/\", null, false ] ", value, error)) << error;
    ASSERT_EQ(value.values.size(), 6u);
    EXPECT_DOUBLE_EQ(value.values[0].number, -50.0);
    EXPECT_DOUBLE_EQ(value.values[1].number, 1000.0);
    EXPECT_EQ(value.values[3].text, "A/");
    EXPECT_EQ(value.values[4].kind, JsonKind::null);
    EXPECT_EQ(value.values[5].kind, JsonKind::boolean);
    EXPECT_FALSE(value.values[5].boolean);
}
