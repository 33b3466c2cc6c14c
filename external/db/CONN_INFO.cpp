#include "external/db/CONN_INFO.h"

#include "external/support/CSysReg.h"

#include <algorithm>
#include <cctype>

namespace {

const char* KindName(DS_TYPE type)
{
    switch (type) {
    case DS_SQLITE:
        return "SQLite";
    case DS_POSTGRES:
        return "PostgreSQL";
    case DS_ODBC:
        return "ODBC";
    }
    return "Unknown";
}

} // namespace

void CONN_INFO::Load(CSysReg* store, const std::string& prefix)
{
    int kind = type;
    store->Read(prefix, "type", &kind, DS_SQLITE);
    type = static_cast<DS_TYPE>(kind);
    store->Read(prefix, "target", &target, "");
    store->Read(prefix, "user", &user, "");
    savePassword = store->Read(prefix, "password", &password, "") == 0 ? 1 : 0;
}

void CONN_INFO::Save(CSysReg* store, const std::string& prefix) const
{
    store->Save(prefix, "type", static_cast<int>(type));
    store->Save(prefix, "target", target);
    store->Save(prefix, "user", user);
    if (savePassword != 0) {
        store->Save(prefix, "password", password);
        store->MarkPrivate();
    }
}

std::string CONN_INFO::ConInfo() const
{
    std::string text = KindName(type);
    text += ": ";
    if (type == DS_SQLITE && target.empty())
        text += "private in-memory database";
    else
        text += MaskPasswords(target);
    if (!user.empty())
        text += ", user " + user;
    return text;
}

int CONN_INFO::operator==(const CONN_INFO& other) const
{
    return type == other.type && target == other.target && user == other.user && password == other.password;
}
