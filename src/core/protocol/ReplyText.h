// Text operations shared by the reply parsers and the request builders: the integer value of a
// server id, the cleaning of dialog replies, joined attachment lists and relative image sources.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace oa {

// The integer at the start of a text, read the way the server's ids are compared: leading white
// space is skipped, an optional sign is accepted, reading stops at the first non-digit. No digits
// give 0; values beyond the 64-bit range saturate instead of wrapping.
long long integerValue(std::string_view text);

// The text without white space and line breaks at both ends (ASCII and Unicode spaces alike).
std::string trimWhitespace(std::string_view text);

// The pieces between separators, empty pieces kept: "a,b," gives "a", "b", "".
std::vector<std::string> splitKeepingEmpty(std::string_view text, char separator);

// The message server writes typed line breaks raw into the strings of its JSON, which no JSON
// parser takes. Trims, and inside strings writes each raw line break ("\r\n", "\n" or "\r") as
// "\n" and any other control character as "\u00XX"; every other character stays as it is (the
// texts' HTML references are decoded after parsing, see HtmlReferences.h).
std::string cleanDialogReply(std::string_view reply);

// Puts `base` in front of every image source written as img src="..." that is not already an
// absolute address (a scheme such as "http:" or "data:", or a "//" network path).
std::string rewriteImageSources(std::string_view content, std::string_view base);

}  // namespace oa
