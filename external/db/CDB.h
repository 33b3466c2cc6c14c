#pragma once

#include "external/db/CONN_INFO.h"

#include <memory>
#include <string>

// An open connection to a data source of one kind. Every statement of the engine and the editor
// goes through this interface. Status codes: 0 is success; kNoRow from fetch means the result
// has no further row; kError is a failure whose text is in errorText.
class CDB {
public:
    static constexpr int kOK = 0;
    static constexpr int kNoRow = 100;
    static constexpr int kError = -1;

    // A new, unconnected object of that kind; null for a kind that is not known.
    static std::unique_ptr<CDB> newDB(DS_TYPE type);
    // Nonzero when the status code means success.
    static int isOK(int code) { return code == kOK ? 1 : 0; }

    virtual ~CDB() = default;

    virtual int connect(const CONN_INFO* info) = 0;
    virtual int disconnect() = 0;
    // Runs a statement. Its rows, if any, are read with fetch and getData.
    virtual int execute(const std::string& statement, int = 0) = 0;
    // Advances to the next row of the current result.
    virtual int fetch(int = 0) = 0;
    // The value of a column (1 = first) of the current row as text; NULL gives an empty text.
    virtual int getData(int column, std::string* out, int = 0, int = 0, int = 0) = 0;
    // The name of a column (1 = first) of the current result, readable while getData is; kError
    // from a kind of database that does not tell.
    virtual int columnName(int /*column*/, std::string* out)
    {
        out->clear();
        errorText = "column names are not available";
        return kError;
    }
    // Releases whatever the previous statement left open, also a half-read result.
    virtual int closeCursor(int = 0) = 0;
    // Makes a statement running on another thread return with an error soon. Thread-safe.
    virtual void cancel() = 0;

    // The driver's own text of the last error, trimmed of trailing line breaks; never a password.
    std::string errorText;
    // Nonzero while the connection is usable.
    int connected = 0;
};
