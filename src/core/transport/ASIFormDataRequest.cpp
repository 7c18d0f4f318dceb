// ASIFormDataRequest: field order rules and the choice between the two body forms.
#include "core/transport/ASIFormDataRequest.h"

#include <sys/stat.h>

#include <algorithm>
#include <variant>

#include "core/transport/MimeTypes.h"

namespace oa {

std::shared_ptr<ASIFormDataRequest> ASIFormDataRequest::requestWithURL(std::string url) {
    return std::make_shared<ASIFormDataRequest>(std::move(url));
}

ASIFormDataRequest::ASIFormDataRequest(std::string url) : ASIHTTPRequest(std::move(url)) {
    setRequestMethod("POST");
}

void ASIFormDataRequest::setPostValue(const Text& key, const Text& value) {
    if (!key) {
        return;
    }
    std::erase_if(postData_, [&](const FormField& field) { return field.key == *key; });
    postData_.push_back({*key, value.value_or("")});
}

void ASIFormDataRequest::addPostValue(const Text& key, const Text& value) {
    if (!key) {
        return;
    }
    postData_.push_back({*key, value.value_or("")});
}

void ASIFormDataRequest::setFile(const Text& key, const Text& path) {
    addFilePart(true, key, path, std::nullopt, std::nullopt);
}

void ASIFormDataRequest::setFile(const Text& key, const Text& path, std::string fileName,
                                 std::string contentType) {
    addFilePart(true, key, path, std::move(fileName), std::move(contentType));
}

void ASIFormDataRequest::addFile(const Text& key, const Text& path) {
    addFilePart(false, key, path, std::nullopt, std::nullopt);
}

void ASIFormDataRequest::addFile(const Text& key, const Text& path, std::string fileName,
                                 std::string contentType) {
    addFilePart(false, key, path, std::move(fileName), std::move(contentType));
}

void ASIFormDataRequest::setData(const Text& key, std::string bytes, std::string fileName,
                                 std::string contentType) {
    if (key) {
        addPart(true, {*key, std::nullopt, std::move(bytes), std::move(fileName),
                       std::move(contentType)});
    }
}

void ASIFormDataRequest::addData(const Text& key, std::string bytes, std::string fileName,
                                 std::string contentType) {
    if (key) {
        addPart(false, {*key, std::nullopt, std::move(bytes), std::move(fileName),
                        std::move(contentType)});
    }
}

void ASIFormDataRequest::addFilePart(bool replace, const Text& key, const Text& path,
                                     std::optional<std::string> fileName,
                                     std::optional<std::string> type) {
    if (!key) {
        return;
    }
    struct stat info {};
    if (!path || ::stat(path->c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
        failWithError(RequestError::make(RequestErrorType::FileMissing, path.value_or("(null)")));
        return;
    }
    if (!fileName) {
        const auto slash = path->find_last_of('/');
        fileName = slash == std::string::npos ? *path : path->substr(slash + 1);
    }
    if (!type) {
        type = MimeTypes::forPath(*path);
    }
    addPart(replace, {*key, *path, {}, std::move(*fileName), std::move(*type)});
}

void ASIFormDataRequest::addPart(bool replace, FormFile part) {
    if (replace) {
        std::erase_if(fileData_, [&](const FormFile& file) { return file.key == part.key; });
    }
    fileData_.push_back(std::move(part));
}

std::optional<RequestError> ASIFormDataRequest::buildRequestBody(RequestBody& body,
                                                                 std::string& contentType) {
    if (fileData_.empty()) {
        if (!postData_.empty()) {
            body.append(FormBody::urlEncoded(postData_));
            contentType = FormBody::kUrlEncodedContentType;
        }
        return std::nullopt;
    }
    const std::string boundary = FormBody::newBoundary();
    auto built = FormBody::multipart(postData_, fileData_, boundary);
    if (auto* missing = std::get_if<std::string>(&built)) {
        return RequestError::make(RequestErrorType::FileMissing, *missing);
    }
    body = std::move(std::get<RequestBody>(built));
    contentType = std::string("multipart/form-data; charset=") + FormBody::kCharset +
                  "; boundary=" + boundary;
    return std::nullopt;
}

}  // namespace oa
