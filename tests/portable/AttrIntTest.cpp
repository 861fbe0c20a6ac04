#include <gtest/gtest.h>

#include <climits>

#include "setupconfig/AttrInt.h"

namespace {

TEST(AttrInt, DecimalAndHexadecimalRules)
{
    struct Case {
        const wchar_t* text;
        int value;
    } cases[] = {
        {L"0x1F", 31},
        {L"0X1f", 31},
        {L"0x", 0},                 // too short for hexadecimal: decimal 0
        {L"0x1234567890", 0},       // 12 characters: decimal, stops at the x
        {L"0x123456789", 0},        // 11 characters: decimal as well
        {L"0xFFFFFFFF", -1},        // 10 characters: hexadecimal, all 32 bits
        {L"0x1G", 1},               // digits up to the first other character
        {L"0xZZ", 0},
        {L" 42", 42},
        {L"\t\t-7", -7},
        {L"+8", 8},
        {L"12abc", 12},
        {L"abc", 0},
        {L"", 0},
        {L"   ", 0},
        {L"0x168", 360},
        {L"2000", 2000},
        {L"99999999999", INT_MAX},  // saturates like the C library
        {L"-99999999999", INT_MIN},
        {L" 0x10", 16},
    };
    for (const Case& c : cases) EXPECT_EQ(ParseAttrInt(c.text), c.value) << '"' << testing::PrintToString(c.text) << '"';
}

}  // namespace
