// Page frame and text conversions.
#include "server/HtmlPage.h"

#include <cctype>

namespace oa {

namespace {

constexpr const char* kStyle = R"css(
body{margin:0;padding:12px;font-family:sans-serif;font-size:15px;color:#333;background:#fbe685}
.card{background:#fff;border-radius:6px;padding:12px;box-shadow:0 1px 3px rgba(0,0,0,.15)}
h1{font-size:18px;margin:0 0 8px}
.meta{font-size:12px;color:#7f7f7f;margin:2px 0}
.content{margin-top:10px;line-height:1.6;word-wrap:break-word}
.content img{max-width:100%}
.attachments{margin-top:12px;border-top:1px solid #ddd;padding-top:8px}
.attach{margin:6px 0}
.attach img{max-width:100%;display:block;margin-top:4px}
a.button{display:inline-block;padding:6px 14px;margin:4px 8px 4px 0;background:#4682b4;color:#fff;
border-radius:4px;text-decoration:none}
ul.list{list-style:none;padding:0;margin:0}
ul.list li{background:#fff;border-radius:6px;margin:0 0 8px;padding:10px}
ul.list li a{color:#333;text-decoration:none;display:block}
.done{color:#2e8b57}
.pending{color:#c0392b}
)css";

}  // namespace

std::string HtmlPage::escape(std::string_view text, bool apostrophe) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                if (apostrophe) {
                    out += "&#39;";
                } else {
                    out += c;
                }
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string HtmlPage::fromPlainText(std::string_view text) {
    std::string out;
    for (char c : text) {
        if (c == '\n') {
            out += "<br>";
        } else if (c != '\r') {
            out += escape(std::string_view(&c, 1));
        }
    }
    return out;
}

std::string HtmlPage::toPlainText(std::string_view html) {
    std::string out;
    bool inTag = false;
    bool space = false;
    auto put = [&](std::string_view piece) {
        if (space && !out.empty()) {
            out += ' ';
        }
        space = false;
        out += piece;
    };
    for (std::size_t i = 0; i < html.size(); ++i) {
        const char c = html[i];
        if (inTag) {
            inTag = c != '>';
            continue;
        }
        if (c == '<') {
            inTag = true;
            space = true;
            continue;
        }
        if (std::isspace(static_cast<unsigned char>(c))) {
            space = true;
            continue;
        }
        if (c == '&') {
            static const std::pair<std::string_view, std::string_view> entities[] = {
                {"&amp;", "&"},   {"&lt;", "<"},  {"&gt;", ">"},
                {"&quot;", "\""}, {"&#39;", "'"}, {"&nbsp;", " "}};
            bool decoded = false;
            for (const auto& [entity, plain] : entities) {
                if (html.substr(i, entity.size()) == entity) {
                    put(plain);
                    i += entity.size() - 1;
                    decoded = true;
                    break;
                }
            }
            if (decoded) {
                continue;
            }
        }
        put(std::string_view(&c, 1));
    }
    return out;
}

std::string HtmlPage::document(std::string_view title, std::string_view bodyHtml) {
    std::string page =
        "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\">"
        "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\"><title>";
    page += escape(title);
    page += "</title><style>";
    page += kStyle;
    page += "</style></head><body>\n";
    page += bodyHtml;
    page += "\n</body></html>\n";
    return page;
}

std::string HtmlPage::readPage(std::string_view title, const std::vector<Meta>& meta,
                               std::string_view contentHtml, std::string_view attachmentsHtml,
                               std::string_view titleColour) {
    std::string body = "<div class=\"card\"><h1";
    if (!titleColour.empty()) {
        body += " style=\"color:" + escape(titleColour) + "\"";
    }
    body.append(">").append(escape(title)).append("</h1>");
    for (const Meta& line : meta) {
        if (!line.value.empty()) {
            body += "<p class=\"meta\">" + escape(line.label) + "：" + escape(line.value) + "</p>";
        }
    }
    body += "<div class=\"content\">";
    body += contentHtml;
    body += "</div>";
    if (!attachmentsHtml.empty()) {
        body += "<div class=\"attachments\"><p class=\"meta\">附件</p>";
        body += attachmentsHtml;
        body += "</div>";
    }
    body += "</div>";
    return document(title, body);
}

}  // namespace oa
