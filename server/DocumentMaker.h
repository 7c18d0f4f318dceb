// Small documents made in code for the attachments of the seed data: plain text, a PDF page, an
// RTF document (opened by word processors as ".doc") and a SpreadsheetML workbook (".xls").
#pragma once

#include <string>
#include <vector>

namespace oa {

class DocumentMaker {
public:
    // UTF-8 text with a byte-order mark, so that viewers pick the right charset.
    static std::string text(const std::vector<std::string>& lines);
    // One A4 page in Helvetica; the lines must be ASCII (other bytes are replaced by '?').
    static std::string pdf(const std::vector<std::string>& lines);
    // Paragraphs of UTF-8 text as RTF with \u escapes.
    static std::string rtf(const std::vector<std::string>& paragraphs);
    // One worksheet; each row is a list of cells, cells that look numeric are numbers.
    static std::string spreadsheet(const std::string& sheetName,
                                   const std::vector<std::vector<std::string>>& rows);

    // The MIME type the server sends for a file name's extension.
    static std::string mimeType(const std::string& fileName);
    // The extension of a file name without the dot, lower case; empty when there is none.
    static std::string extension(const std::string& fileName);
};

}  // namespace oa
