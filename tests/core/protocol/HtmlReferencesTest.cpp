// Message texts as typed: the server's HTML references decoded, every other character kept.
#include "core/protocol/HtmlReferences.h"

#include <gtest/gtest.h>

namespace oa {
namespace {

TEST(HtmlReferences, DecodeToTheTextAsTyped) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"下午三点开会;请准时&nbsp;到", "下午三点开会;请准时 到"},
        {"a&amp;b", "a&b"},
        {"&lt;b&gt; &quot;x&quot; &apos;y&#39;", "<b> \"x\" 'y'"},
        {"&eacute;&copy;&euro;&hellip;&Omega;&rArr;", "é©€…Ω⇒"},
        {"&#20320;&#x597D;&#X597d;&#65", "你好好A"},
        {"&#0;|&#xD800;|&#x110000;|&#99999999999999999999;", "\uFFFD|\uFFFD|\uFFFD|\uFFFD"},
        {"&#128;&#x9d;", "€\xC2\x9D"},
        {"&amp &lt&gt&quot&nbspx", "& <>\" x"},
        {"&amp;lt;", "&lt;"},
        {"&unknown; & &# &#x; &; &AMP; &copy", "&unknown; & &# &#x; &; &AMP; &copy"},
        {"", ""},
    };
    for (const auto& [text, decoded] : cases) {
        EXPECT_EQ(decodeHtmlReferences(text), decoded) << text;
    }
}

}  // namespace
}  // namespace oa
