// The server's small mobile web pages: escaping, the page frame with its style sheet, the read
// page of an item, and conversions between stored HTML content and plain text.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace oa {

class HtmlPage {
public:
    struct Meta {
        std::string label;
        std::string value;
    };

    // Escapes &, <, > and ", and ' unless told not to (the spreadsheet XML keeps it as is).
    static std::string escape(std::string_view text, bool apostrophe = true);
    // Plain text as HTML: escaped, line breaks as <br>.
    static std::string fromPlainText(std::string_view text);
    // HTML content as one line of plain text: tags dropped, the common entities decoded,
    // white space folded.
    static std::string toPlainText(std::string_view html);

    // A complete page: `bodyHtml` is inserted as it is.
    static std::string document(std::string_view title, std::string_view bodyHtml);
    // The read page of an item: title, label/value lines, the content (HTML as stored) and
    // the attachment block (HTML).
    static std::string readPage(std::string_view title, const std::vector<Meta>& meta,
                                std::string_view contentHtml, std::string_view attachmentsHtml,
                                std::string_view titleColour = {});
};

}  // namespace oa
