// Document generators.
#include "server/DocumentMaker.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <map>

#include "server/HtmlPage.h"

namespace oa {

namespace {

// Decodes UTF-8 into code points; invalid bytes become U+FFFD.
std::vector<char32_t> codePoints(const std::string& in) {
    std::vector<char32_t> out;
    for (std::size_t i = 0; i < in.size();) {
        const auto b = static_cast<unsigned char>(in[i]);
        int extra = b < 0x80 ? 0 : (b >> 5) == 6 ? 1 : (b >> 4) == 14 ? 2 : (b >> 3) == 30 ? 3 : -1;
        char32_t cp = extra == 0 ? b : extra == 1 ? (b & 0x1F) : extra == 2 ? (b & 0x0F) : (b & 7);
        bool ok = extra >= 0;
        for (int k = 1; ok && k <= extra; ++k) {
            if (i + static_cast<std::size_t>(k) >= in.size()) {
                ok = false;
                break;
            }
            const auto c = static_cast<unsigned char>(in[i + static_cast<std::size_t>(k)]);
            ok = (c & 0xC0) == 0x80;
            cp = (cp << 6) | (c & 0x3F);
        }
        if (!ok) {
            out.push_back(0xFFFD);
            ++i;
            continue;
        }
        out.push_back(cp);
        i += static_cast<std::size_t>(extra) + 1;
    }
    return out;
}

bool looksNumeric(const std::string& cell) {
    if (cell.empty()) {
        return false;
    }
    std::size_t dots = 0;
    for (std::size_t i = 0; i < cell.size(); ++i) {
        if (cell[i] == '.') {
            ++dots;
        } else if (!(std::isdigit(static_cast<unsigned char>(cell[i])) ||
                     (i == 0 && cell[i] == '-'))) {
            return false;
        }
    }
    return dots <= 1 && cell != "-" && cell != ".";
}

}  // namespace

std::string DocumentMaker::text(const std::vector<std::string>& lines) {
    std::string out = "\xEF\xBB\xBF";
    for (const std::string& line : lines) {
        out += line + "\r\n";
    }
    return out;
}

std::string DocumentMaker::pdf(const std::vector<std::string>& lines) {
    std::string stream = "BT /F1 14 Tf 72 770 Td 18 TL\n";
    for (const std::string& line : lines) {
        std::string safe;
        for (char c : line) {
            const auto u = static_cast<unsigned char>(c);
            if (c == '(' || c == ')' || c == '\\') {
                safe += '\\';
                safe += c;
            } else {
                safe += (u >= 0x20 && u < 0x7F) ? c : '?';
            }
        }
        stream += "(" + safe + ") Tj T*\n";
    }
    stream += "ET\n";

    std::vector<std::string> objects = {
        "<< /Type /Catalog /Pages 2 0 R >>", "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
        "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 595 842] /Resources << /Font << /F1 4 0 R "
        ">> >> /Contents 5 0 R >>",
        "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>",
        "<< /Length " + std::to_string(stream.size()) + " >>\nstream\n" + stream + "endstream"};
    std::string out = "%PDF-1.4\n";
    std::vector<std::size_t> offsets;
    for (std::size_t i = 0; i < objects.size(); ++i) {
        offsets.push_back(out.size());
        out += std::to_string(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    const std::size_t xref = out.size();
    out += "xref\n0 " + std::to_string(objects.size() + 1) + "\n0000000000 65535 f \n";
    for (std::size_t offset : offsets) {
        char entry[32];
        std::snprintf(entry, sizeof entry, "%010zu 00000 n \n", offset);
        out += entry;
    }
    out += "trailer\n<< /Size " + std::to_string(objects.size() + 1) +
           " /Root 1 0 R >>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";
    return out;
}

std::string DocumentMaker::rtf(const std::vector<std::string>& paragraphs) {
    std::string out =
        "{\\rtf1\\ansi\\ansicpg936\\deff0{\\fonttbl{\\f0\\fnil\\fcharset134 SimSun;}}\\f0\\fs24\n";
    for (const std::string& paragraph : paragraphs) {
        for (char32_t cp : codePoints(paragraph)) {
            if (cp == '\\' || cp == '{' || cp == '}') {
                out += '\\';
                out += static_cast<char>(cp);
            } else if (cp >= 0x20 && cp < 0x80) {
                out += static_cast<char>(cp);
            } else if (cp < 0x20) {
                out += ' ';
            } else {
                auto unit = [&](char32_t u) {
                    out += "\\u" + std::to_string(static_cast<int>(static_cast<std::int16_t>(u))) +
                           "?";
                };
                if (cp > 0xFFFF) {
                    cp -= 0x10000;
                    unit(0xD800 + (cp >> 10));
                    unit(0xDC00 + (cp & 0x3FF));
                } else {
                    unit(cp);
                }
            }
        }
        out += "\\par\n";
    }
    out += "}\n";
    return out;
}

std::string DocumentMaker::spreadsheet(const std::string& sheetName,
                                       const std::vector<std::vector<std::string>>& rows) {
    std::string out =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<?mso-application progid=\"Excel.Sheet\"?>\n"
        "<Workbook xmlns=\"urn:schemas-microsoft-com:office:spreadsheet\" "
        "xmlns:ss=\"urn:schemas-microsoft-com:office:spreadsheet\">\n<Worksheet ss:Name=\"" +
        HtmlPage::escape(sheetName, false) + "\">\n<Table>\n";
    for (const auto& row : rows) {
        out += "<Row>";
        for (const std::string& cell : row) {
            out += std::string("<Cell><Data ss:Type=\"") +
                   (looksNumeric(cell) ? "Number" : "String") + "\">" +
                   HtmlPage::escape(cell, false) + "</Data></Cell>";
        }
        out += "</Row>\n";
    }
    out += "</Table>\n</Worksheet>\n</Workbook>\n";
    return out;
}

std::string DocumentMaker::extension(const std::string& fileName) {
    const auto dot = fileName.rfind('.');
    if (dot == std::string::npos || dot + 1 >= fileName.size()) {
        return {};
    }
    std::string ext = fileName.substr(dot + 1);
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return ext;
}

std::string DocumentMaker::mimeType(const std::string& fileName) {
    static const std::map<std::string, std::string> types = {
        {"png", "image/png"},
        {"jpg", "image/jpeg"},
        {"jpeg", "image/jpeg"},
        {"gif", "image/gif"},
        {"txt", "text/plain; charset=utf-8"},
        {"pdf", "application/pdf"},
        {"doc", "application/msword"},
        {"rtf", "application/rtf"},
        {"xls", "application/vnd.ms-excel"},
        {"amr", "audio/amr"},
        {"zip", "application/zip"},
    };
    const auto it = types.find(extension(fileName));
    return it == types.end() ? "application/octet-stream" : it->second;
}

}  // namespace oa
