#include <gtest/gtest.h>

#include "platform/cstring.h"
#include "platform/text.h"

TEST(FittingLength, CutsAtTheBufferWithoutSplittingACharacter) {
    struct Case {
        const char* name;
        std::string text;
        std::size_t buffer;
        std::size_t expected;
    };
    const Case cases[] = {
        {"short_text_whole", "abc", 50, 3},
        {"ascii_cut", std::string(60, 'a'), 50, 49},
        {"no_room", "abc", 0, 0},
        {"only_terminator", "abc", 1, 0},
        {"two_byte_split", std::string(48, 'a') + "\xC3\xA9", 50, 48},
        {"two_byte_fits", std::string(47, 'a') + "\xC3\xA9" + "b", 50, 49},
        {"three_byte_split", std::string(47, 'a') + "\xE2\x82\xAC", 50, 47},
        {"four_byte_split", std::string(46, 'a') + "\xF0\x9F\x98\x80", 50, 46},
        {"stray_continuations_cut_as_bytes", std::string(48, 'a') + "\x80\x80\x80", 50, 49},
        {"truncated_sequence_cut_as_bytes", std::string(48, 'a') + "\xE2\x82" + "b", 50, 49},
    };
    for (const Case& each : cases)
        EXPECT_EQ(FittingLength(each.text, each.buffer), each.expected) << each.name;
}

TEST(CStringFormat, FormatsAndKnowsItsLength) {
    CString text;
    text.Format("WSAStartup failed with error %d\n", 10091);
    EXPECT_STREQ(text, "WSAStartup failed with error 10091\n");
    EXPECT_EQ(text.str().size(), 35u);
    CString empty("");
    EXPECT_TRUE(empty.IsEmpty());
}
