// AttachmentFiles: where the attachment viewer keeps what it downloads and where it saves: a
// fresh name under the app's tmp/ per download, the picture album folder, names that do not
// overwrite, and copies that are complete or absent.
#pragma once

#include <QString>
#include <optional>

namespace oa {

class AttachmentFiles {
public:
    // A path under AppPaths::current().temporary() (created when missing) that no other
    // download uses, keeping the extension of the attachment's name; empty when tmp/ cannot be
    // made.
    static QString newDownloadPath(const QString& attachmentName);

    // A name the server or a page proposes, as SafeFileName leaves it: no folders, no controls,
    // at most 120 bytes. Empty when nothing usable is left.
    static QString safeName(const QString& name);

    // The file name an attachment address carries: its "ATTACHMENT_NAME" query field, else the
    // last part of its path, as safeName leaves it. Empty when the address names nothing.
    static QString attachmentName(const QString& url);

    // Whether `url` is the server's attachment file download ("/inc/attach_file.php") of a
    // file that is no web page: the viewer fetches it itself rather than letting a web view
    // show the server's error text or a bare text file.
    static bool isFileDownload(const QString& url);

    // The text of a downloaded ".txt" file of at most kMaxTextBytes of UTF-8; nothing for any
    // other file.
    static constexpr qint64 kMaxTextBytes = 1024 * 1024;
    static std::optional<QString> readText(const QString& path);

    // $OA_ALBUM when set, else the user's pictures folder.
    static QString albumFolder();

    // `name` in `folder`, or "name (2).ext", "name (3).ext", ... when that exists.
    static QString freePath(const QString& folder, const QString& name);

    // Copies `from` to `to` through a temporary file that replaces `to` only once complete;
    // creates the folder of `to` when missing. False (and nothing at `to`) on any failure.
    static bool copyComplete(const QString& from, const QString& to);
};

}  // namespace oa
