// The base of the directory lookups' request objects: a module logic with a search by named terms.
#pragma once

#include <map>
#include <string>
#include <utility>

#include "core/protocol/BaseBO.h"

namespace oa {

class OtherBaseBO : public BaseBO {
public:
    // Search terms by name ("name", "dept", "city", ...).
    using Terms = std::map<std::string, std::string>;

    explicit OtherBaseBO(std::string func_type) : BaseBO(std::move(func_type)) {}

    // Sends the module's search on the calling thread and posts its result there under the
    // module's notification. The base has no search and does nothing.
    virtual void search(const Terms& terms) const;

protected:
    // The value under `key`; empty when the terms lack it.
    static std::string term(const Terms& terms, const char* key);
};

}  // namespace oa
