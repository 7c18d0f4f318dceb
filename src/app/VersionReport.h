// What `oa-client --version` prints: the version, and where this program finds its resources
// and its modules, so that an installation can be checked without loading any of them.
#pragma once

#include <string>

namespace oa {

// Needs a QCoreApplication (the modules are looked for from the program's folder).
std::string versionReport();

}  // namespace oa
