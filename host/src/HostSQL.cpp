// SQL for ExprEnv::ExecuteFileSQL: each database file of this host is an in-memory SQLite database
// that lives as long as the process, so statements of one file see each other's tables.
#include "Guard.h"

#include <sqlite3.h>

#include <map>
#include <mutex>

namespace {

struct Databases {
    std::mutex mutex;
    std::map<std::u16string, sqlite3*> open;
    ~Databases() {
        for (auto& [name, db] : open) sqlite3_close(db);
    }
} gDatabases;

constexpr fmx::errcode kSQLError = 8310;  // the host's error for a statement that fails

sqlite3* databaseFor(const std::u16string& fileName) {
    sqlite3*& db = gDatabases.open[fileName];
    if (!db && sqlite3_open(":memory:", &db) != SQLITE_OK) {
        sqlite3_close(db);
        db = nullptr;
    }
    return db;
}

void bind(sqlite3_stmt* statement, int index, const fmhost::DataImpl& value) {
    switch (value.type) {
        case fmx::kDTNumber:
        case fmx::kDTBoolean: sqlite3_bind_double(statement, index, static_cast<double>(value.number.v)); break;
        case fmx::kDTInvalid: sqlite3_bind_null(statement, index); break;
        default: {
            const std::string text = fmhost::toUTF8(fmhost::dataToText(value));
            sqlite3_bind_text(statement, index, text.c_str(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
        }
    }
}

std::unique_ptr<fmhost::DataImpl> column(sqlite3_stmt* statement, int i) {
    auto d = std::make_unique<fmhost::DataImpl>();
    switch (sqlite3_column_type(statement, i)) {
        case SQLITE_INTEGER:
        case SQLITE_FLOAT:
            d->type = fmx::kDTNumber;
            d->number.v = sqlite3_column_double(statement, i);
            d->empty = false;
            break;
        case SQLITE_NULL: d->type = fmx::kDTText; break;
        default: {
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, i));
            d->type = fmx::kDTText;
            d->text.s = fmhost::fromUTF8(text ? text : "");
            d->empty = d->text.s.empty();
        }
    }
    return d;
}

}  // namespace

fmx::errcode FM_ExprEnv_ExecuteFileSQL(const fmx::ExprEnv*, const fmx::Text& expression, const fmx::Text& fileName,
                                       const fmx::DataVect& parameters, fmx::RowVect& result, fmx::_fmxcpt& _x) {
    using namespace fmhost;
    return guarded(_x, kSQLError, [&] {
        std::lock_guard<std::mutex> lock(gDatabases.mutex);
        impl(result).rows.clear();
        sqlite3* db = databaseFor(impl(fileName).s);
        if (!db) return kSQLError;
        const std::string sql = toUTF8(impl(expression).s);
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK) return kSQLError;
        const auto& params = impl(parameters).items;
        for (size_t i = 0; i < params.size(); ++i) bind(statement, static_cast<int>(i + 1), *params[i]);
        int rc;
        while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
            auto row = std::make_unique<DataVectImpl>();
            for (int c = 0; c < sqlite3_column_count(statement); ++c) row->items.push_back(column(statement, c));
            impl(result).rows.push_back(std::move(row));
        }
        sqlite3_finalize(statement);
        return rc == SQLITE_DONE ? fmx::errcode(0) : kSQLError;
    });
}
