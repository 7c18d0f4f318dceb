// The tables of the demo server's database.
#pragma once

#include "server/Database.h"

namespace oa {

class Schema {
public:
    // Raised whenever a table changes shape; a database of another version is rebuilt.
    static constexpr int kVersion = 1;

    // Creates every table and index (the database must be empty) and records the version.
    static void create(Database& db);
    // The version recorded in the database, 0 when there is none (a new or foreign file).
    static int version(Database& db);
};

}  // namespace oa
