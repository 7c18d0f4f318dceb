// The form request every server call uses: a POST of ordered text fields, URL-encoded, or
// multipart once a file part is added (file parts are streamed from disk when sent).
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/transport/ASIHTTPRequest.h"
#include "core/transport/FormBody.h"

namespace oa {

class ASIFormDataRequest : public ASIHTTPRequest {
public:
    using Text = std::optional<std::string>;

    // A "POST" form request.
    static std::shared_ptr<ASIFormDataRequest> requestWithURL(std::string url);
    explicit ASIFormDataRequest(std::string url);

    // Removes every earlier field with this key, then appends the field: a key occurs once,
    // at the position of its last setting. An absent value is sent empty; a field without a
    // key is not added.
    void setPostValue(const Text& key, const Text& value);
    // Appends the field, keeping earlier ones with the same key.
    void addPostValue(const Text& key, const Text& value);

    // A file part read from `path` when the request is sent, named after the path's last
    // component and typed by its extension. A path that is not an existing regular file (or
    // none) fails the request at once with "No file exists at <path>". setFile replaces
    // earlier parts with the same key as setPostValue does; addFile appends.
    void setFile(const Text& key, const Text& path);
    void setFile(const Text& key, const Text& path, std::string fileName, std::string contentType);
    void addFile(const Text& key, const Text& path);
    void addFile(const Text& key, const Text& path, std::string fileName, std::string contentType);
    // A file part from bytes in memory, named "file" and typed "application/octet-stream"
    // unless given.
    void setData(const Text& key, std::string bytes, std::string fileName = "file",
                 std::string contentType = "application/octet-stream");
    void addData(const Text& key, std::string bytes, std::string fileName = "file",
                 std::string contentType = "application/octet-stream");

    const std::vector<FormField>& postData() const { return postData_; }
    const std::vector<FormFile>& fileData() const { return fileData_; }
    // The IANA name of the encoding of keys and values.
    std::string stringEncoding() const { return FormBody::kCharset; }

protected:
    std::optional<RequestError> buildRequestBody(RequestBody& body,
                                                 std::string& contentType) override;

private:
    void addFilePart(bool replace, const Text& key, const Text& path,
                     std::optional<std::string> fileName, std::optional<std::string> type);
    void addPart(bool replace, FormFile part);

    std::vector<FormField> postData_;
    std::vector<FormFile> fileData_;
};

}  // namespace oa
