// Decoding of the HTML character references that the message server writes into the texts it
// sends (it keeps what was typed as HTML).
#pragma once

#include <string>
#include <string_view>

namespace oa {

// The text with its character references decoded: the named ones of HTML 4 and "&apos;", the
// decimal "&#NNN;" and the hexadecimal "&#xHH;" ones (the ";" of a numeric one may be missing, as
// browsers allow), and "&amp", "&lt", "&gt", "&quot" and "&nbsp" without their ";". "&nbsp;" is
// an ordinary space: the server writes typed spaces that way, and a no-break space would keep a
// bubble from wrapping there. A numeric reference to no character (0, a surrogate, beyond
// U+10FFFF) gives U+FFFD, one of 0x80-0x9F the windows-1252 character browsers show for it.
// Everything else, an unknown name or a lone "&" included, stays as written.
std::string decodeHtmlReferences(std::string_view text);

}  // namespace oa
