#pragma once

#include "external/db/PasswordMask.h"

#include <string>

class CSysReg;

// Kinds of data source. A project file may name any other number: it is kept as it is, written
// back unchanged and never connects (hence the fixed underlying type, which makes every int a
// value of the enum).
enum DS_TYPE : int {
    DS_SQLITE = 0,   // target: database file path; empty means a private in-memory database
    DS_POSTGRES = 1, // target: libpq connection string or URI
    DS_ODBC = 2,     // target: a DSN name, or a full connection string with DRIVER=
};

// The description of a database connection.
class CONN_INFO {
public:
    DS_TYPE type = DS_SQLITE;
    std::string target;
    std::string user;
    std::string password;
    int savePassword = 0;

    // Reads the description from the section named `prefix`; missing values leave the defaults.
    void Load(CSysReg* store, const std::string& prefix);
    // Writes the section named `prefix`: "type", "target", "user", and "password" only when
    // savePassword is set (the store then becomes readable by its owner only).
    void Save(CSysReg* store, const std::string& prefix) const;

    // One line describing the connection. Never shows a password, also not one inside the target.
    std::string ConInfo() const;

    // Nonzero when both describe the same connection (kind, target, user and password).
    int operator==(const CONN_INFO& other) const;
};
