// The JSON readers on cJSON: defaults for missing or
// mistyped members, case-insensitive names, and the flat string objects the
// reports print.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "report/JsonReaders.h"

namespace {

int ReadErrno(const char* text)
{
    const JsonTree tree = ParseJson(text);
    return JsonReadInt(tree.get(), "errno", 1);
}

TEST(JsonReaders, ErrnoRules)
{
    const struct {
        const char* answer;
        int errnoValue;
    } cases[] = {
        {R"({"errno":0})", 0},
        {R"({"errno":5,"data":{}})", 5},
        {R"({"data":{"status":"1"}})", 1},  // no errno: rejected with the default 1
        {R"({"ERRNO":0})", 0},              // names match without regard to case
        {R"({"ErrNo":0})", 0},
        {R"({"errno":"0"})", 1},            // a string is not a number
        {R"({"errno":null})", 1},
        {R"({"errno":true})", 1},
        {R"({"errno":{}})", 1},
        {R"({"errno":-3})", -3},
        {R"({"errno":2.9})", 2},
        {R"({"errno":1e30})", INT_MAX},
        {R"({"errno":-1e30})", INT_MIN},
        {R"({"errno":0} trailing text)", 0},
        {R"([{"errno":0}])", 1},            // not an object
        {R"(0)", 1},
        {R"("errno")", 1},
        {R"({"errno":0)", 1},               // malformed
        {"garbage", 1},
        {"", 1},
        {"   ", 1},
        {"<html><body>502 Bad Gateway</body></html>", 1},
    };
    for (const auto& c : cases) EXPECT_EQ(ReadErrno(c.answer), c.errnoValue) << c.answer;
}

TEST(JsonReaders, NullTreesGiveDefaults)
{
    EXPECT_EQ(JsonReadInt(nullptr, "errno", 1), 1);
    EXPECT_EQ(JsonReadString(nullptr, "url", "none"), "none");
    EXPECT_EQ(JsonReadObject(nullptr, "data"), nullptr);
    const JsonTree tree = ParseJson(R"({"errno":0})");
    EXPECT_EQ(JsonReadInt(tree.get(), nullptr, 7), 7);
}

TEST(JsonReaders, StringMembers)
{
    const JsonTree tree = ParseJson(R"({"status":0,"Url":"http://q.example/a?b=1","name":"\u5378\u8f7d","empty":"",)"
                                    R"("flag":true,"nothing":null,"list":["x"]})");
    ASSERT_NE(tree, nullptr);
    EXPECT_EQ(JsonReadString(tree.get(), "status", "dflt"), "dflt");  // the number 0 is not read as "0"
    EXPECT_EQ(JsonReadString(tree.get(), "STATUS", "0"), "0");
    EXPECT_EQ(JsonReadString(tree.get(), "url", ""), "http://q.example/a?b=1");
    EXPECT_EQ(JsonReadString(tree.get(), "name", ""), "\xE5\x8D\xB8\xE8\xBD\xBD");  // UTF-8 out
    EXPECT_EQ(JsonReadString(tree.get(), "empty", "dflt"), "");
    EXPECT_EQ(JsonReadString(tree.get(), "flag", "dflt"), "dflt");
    EXPECT_EQ(JsonReadString(tree.get(), "nothing", "dflt"), "dflt");
    EXPECT_EQ(JsonReadString(tree.get(), "list", "dflt"), "dflt");
    EXPECT_EQ(JsonReadString(tree.get(), "missing", "dflt"), "dflt");
}

TEST(JsonReaders, NestedQuestionnaireAnswer)
{
    const JsonTree tree = ParseJson(
        R"({"errno":0,"Data":{"uninstall_questionnaire":{"status":"1","url":"http://q.example/form"}}})");
    ASSERT_EQ(JsonReadInt(tree.get(), "errno", 1), 0);
    const cJSON* data = JsonReadObject(tree.get(), "data");
    ASSERT_NE(data, nullptr);
    const cJSON* questionnaire = JsonReadObject(data, "uninstall_questionnaire");
    ASSERT_NE(questionnaire, nullptr);
    EXPECT_EQ(JsonReadString(questionnaire, "status", "0"), "1");
    EXPECT_EQ(JsonReadString(questionnaire, "url", ""), "http://q.example/form");

    const JsonTree notObject = ParseJson(R"({"data":"text","list":[1]})");
    EXPECT_EQ(JsonReadObject(notObject.get(), "data"), nullptr);
    EXPECT_EQ(JsonReadObject(notObject.get(), "list"), nullptr);
}

TEST(JsonReaders, ParsesOnlyTheGivenLength)
{
    const std::string buffer = R"({"errno":0}{"errno":9})";
    const JsonTree tree = ParseJson(std::string_view(buffer).substr(0, 11));
    EXPECT_EQ(JsonReadInt(tree.get(), "errno", 1), 0);
    EXPECT_EQ(ParseJson(std::string_view(buffer).substr(0, 10)), nullptr);
    EXPECT_EQ(ParseJson(std::string("{\"errno\":\0}", 11)), nullptr);
}

TEST(JsonReaders, DeepNestingIsRefusedWithoutCrashing)
{
    const std::string deep = std::string(100000, '[') + std::string(100000, ']');
    EXPECT_EQ(ParseJson(deep), nullptr);
    const std::string deepObject = std::string(50000, '{');
    EXPECT_EQ(ParseJson(deepObject), nullptr);
}

TEST(JsonReaders, BuildsFlatStringObjectsInOrderWithoutFormatting)
{
    EXPECT_EQ(BuildJsonStringObject({{"type", "set"},
                                     {"pid", "home"},
                                     {"mid", "0123ABCD"},
                                     {"mid2", ""},
                                     {"appver", "1.2.1.8888"},
                                     {"modver", "1.2.1.8888"},
                                     {"appname", "zuzire"}}),
              R"({"type":"set","pid":"home","mid":"0123ABCD","mid2":"","appver":"1.2.1.8888",)"
              R"("modver":"1.2.1.8888","appname":"zuzire"})");
    EXPECT_EQ(BuildJsonStringObject({}), "{}");
    // Quotes, backslashes and control characters are escaped; UTF-8 passes through.
    EXPECT_EQ(BuildJsonStringObject({{"v", "a\"b\\c\n\xE5\x8D\xB8"}}), "{\"v\":\"a\\\"b\\\\c\\n\xE5\x8D\xB8\"}");
}

TEST(JsonReaders, BuiltObjectsReadBack)
{
    JsonTree object = NewJsonObject();
    ASSERT_NE(object, nullptr);
    EXPECT_TRUE(AddJsonString(object.get(), "pid", "zorizu"));
    EXPECT_TRUE(AddJsonString(object.get(), "text", "\xE5\x8D\xB8\"quoted\""));
    EXPECT_FALSE(AddJsonString(nullptr, "pid", "x"));
    const std::string printed = PrintJsonUnformatted(object.get());
    EXPECT_EQ(PrintJsonUnformatted(nullptr), "");

    const JsonTree back = ParseJson(printed);
    EXPECT_EQ(JsonReadString(back.get(), "PID", ""), "zorizu");
    EXPECT_EQ(JsonReadString(back.get(), "text", ""), "\xE5\x8D\xB8\"quoted\"");
}

}  // namespace
