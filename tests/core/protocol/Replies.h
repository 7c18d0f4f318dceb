// Reply fixtures of tests/data/replies, read as the transport would hand them over.
#pragma once

#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>

namespace oa::test {

inline std::string readReply(const std::string& name) {
    std::ifstream in(std::string(OA_TEST_DATA_DIR) + "/replies/" + name, std::ios::binary);
    if (!in) {
        throw std::runtime_error("missing reply fixture " + name);
    }
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace oa::test
