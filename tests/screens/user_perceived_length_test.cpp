#include "screens/user_perceived_length.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

TEST(UserPerceivedLength, CountsGraphemeClustersNotCodeUnits) {
    struct Case {
        const char16_t* text;
        qsizetype expected;
    };
    const Case cases[] = {
        {u"", 0},
        {u"abc", 3},
        {u"e\u0301a\u0308o\u0302", 3},                      // combining marks
        {u"\u1100\u1161\u11A8", 1},                         // a Hangul syllable in jamo
        {u"\U0001F468\u200D\U0001F469\u200D\U0001F467", 1}, // a family, joined by ZWJ
        {u"\U0001F44D\U0001F3FD", 1},                       // a skin tone modifier
        {u"\U0001F1E9\U0001F1EA\U0001F1EB\U0001F1F7", 2},   // two flags
        {u"\u2764\uFE0F", 1},                               // a variation selector
        {u"\U00010348\U00010348", 2},                       // surrogate pairs
        {u"\r\n", 1},
    };
    for (const Case& c : cases) {
        const QString text = QString::fromUtf16(c.text);
        EXPECT_EQ(userPerceivedLength(text), c.expected) << text.toStdString();
    }
}

} // namespace
} // namespace vantrel
