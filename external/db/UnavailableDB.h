#pragma once

#include "external/db/CDB.h"

// A connection of a kind whose module cannot be loaded: every operation fails with the text that
// says so, which the engine logs like any failed connect.
class UnavailableDB final : public CDB {
public:
    explicit UnavailableDB(std::string why);

    int connect(const CONN_INFO* info) override;
    int disconnect() override;
    int execute(const std::string& statement, int) override;
    int fetch(int) override;
    int getData(int column, std::string* out, int, int, int) override;
    int closeCursor(int) override;
    void cancel() override;

private:
    int Fail();

    std::string why_;
};
