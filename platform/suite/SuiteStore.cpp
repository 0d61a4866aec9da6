#include "suite/SuiteStore.h"

#include <sqlite3.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <set>
#include <sstream>

#include "win32/HostReason.h"
#include "win32/Mbcs.h"
#include "win32/PlatformConfig.h"

namespace suite {

// ---------------------------------------------------------------- Statement

Statement::Statement(Statement&& other) noexcept : stmt_(other.stmt_) { other.stmt_ = nullptr; }

Statement& Statement::operator=(Statement&& other) noexcept
{
    if (this != &other) {
        if (stmt_) sqlite3_finalize(stmt_);
        stmt_ = other.stmt_;
        other.stmt_ = nullptr;
    }
    return *this;
}

Statement::~Statement()
{
    if (stmt_) sqlite3_finalize(stmt_);
}

Statement& Statement::Bind(int index, long long value)
{
    if (stmt_) sqlite3_bind_int64(stmt_, index, value);
    return *this;
}

Statement& Statement::BindText(int index, std::string_view cp932)
{
    return BindUtf8(index, mbcs::Cp932ToUtf8(cp932));
}

Statement& Statement::BindUtf8(int index, std::string_view utf8)
{
    if (stmt_) sqlite3_bind_text(stmt_, index, utf8.data(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
    return *this;
}

Statement& Statement::BindBlob(int index, const void* data, size_t size)
{
    if (stmt_) sqlite3_bind_blob(stmt_, index, data, static_cast<int>(size), SQLITE_TRANSIENT);
    return *this;
}

long Statement::Step()
{
    if (!stmt_) return SUITE_ERR_STORE;
    int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) return SUITE_OK;
    if (rc == SQLITE_DONE) return SUITE_EOD;
    return SUITE_ERR_STORE;
}

void Statement::Reset()
{
    if (!stmt_) return;
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
}

bool Statement::IsNull(int column) const
{
    return !stmt_ || sqlite3_column_type(stmt_, column) == SQLITE_NULL;
}

long long Statement::Int(int column) const { return stmt_ ? sqlite3_column_int64(stmt_, column) : 0; }

std::string Statement::Utf8(int column) const
{
    if (!stmt_) return {};
    const unsigned char* text = sqlite3_column_text(stmt_, column);
    if (!text) return {};
    return std::string(reinterpret_cast<const char*>(text), static_cast<size_t>(sqlite3_column_bytes(stmt_, column)));
}

std::string Statement::Text(int column) const { return mbcs::Utf8ToCp932(Utf8(column)); }

size_t Statement::BlobSize(int column) const
{
    if (!stmt_) return 0;
    sqlite3_column_blob(stmt_, column);
    return static_cast<size_t>(sqlite3_column_bytes(stmt_, column));
}

size_t Statement::Blob(int column, void* out, size_t capacity) const
{
    if (!stmt_ || !out) return 0;
    const void* data = sqlite3_column_blob(stmt_, column);
    size_t size = static_cast<size_t>(sqlite3_column_bytes(stmt_, column));
    size_t n = size < capacity ? size : capacity;
    if (data && n) std::memcpy(out, data, n);
    return n;
}

std::string Statement::ErrorText() const
{
    if (!stmt_) return "no statement";
    return sqlite3_errmsg(sqlite3_db_handle(stmt_));
}

// ---------------------------------------------------------- ReusedStatement

ReusedStatement::ReusedStatement(Statement&& own)
    : own_(std::make_unique<Statement>(std::move(own)))
{
    stmt_ = own_.get();
}

ReusedStatement::ReusedStatement(ReusedStatement&& other) noexcept
    : stmt_(other.stmt_), inUse_(other.inUse_), own_(std::move(other.own_))
{
    other.stmt_ = nullptr;
    other.inUse_ = nullptr;
}

ReusedStatement::~ReusedStatement()
{
    if (inUse_) {
        stmt_->Reset();
        *inUse_ = false;
    }
}

// ---------------------------------------------------------------- SuiteStore

namespace {

long long NextSerial()
{
    static long long serial = 0;
    return ++serial;
}

std::unique_ptr<SuiteStore>& CurrentStore()
{
    static std::unique_ptr<SuiteStore> store;
    return store;
}

bool FileExists(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

// The host's reason behind SQLite's text, when SQLite kept one.
std::string HostReasonOf(sqlite3* db)
{
    const int err = db ? sqlite3_system_errno(db) : 0;
    return err ? "; " + hostreason::Describe(err) : "";
}

}  // namespace

SuiteStore::~SuiteStore() { Close(); }

std::string SuiteStore::DefaultPath()
{
    return PlatformConfig::Get().storePath;
}

namespace {

std::string& TheSchemaPath()
{
    static std::string path;
    return path;
}

}  // namespace

void SuiteStore::SetSchemaPath(const std::string& hostPath) { TheSchemaPath() = hostPath; }

long SuiteStore::Open(const std::string& hostPath, std::string* why)
{
    Close();
    auto fail = [&](StoreProblem problem, const std::string& reason) {
        problem_ = problem;
        lastError_ = reason;
        if (why) *why = reason;
        if (db_) sqlite3_close_v2(db_);
        db_ = nullptr;
        return SUITE_ERR_NOSTORE;
    };
    if (hostPath.empty()) {
        const std::string& unresolved = PlatformConfig::Get().unresolved;
        if (!unresolved.empty()) return fail(StoreProblem::Unresolved, unresolved);
        return fail(StoreProblem::NoPath, "no store path is configured");
    }
    struct stat file {};
    if (::stat(hostPath.c_str(), &file) != 0) {
        const int err = errno;
        // A folder this user may not search hides whether the file is there.
        if (err == EACCES || err == EPERM)
            return fail(StoreProblem::NoAccess, "the store " + hostPath + " cannot be read: " +
                                                    hostreason::Describe(err) +
                                                    "; a folder on its path may not be searched by this user");
        if (err != ENOENT && err != ENOTDIR)
            return fail(StoreProblem::CannotOpen,
                        "the store " + hostPath + " cannot be opened: " + hostreason::Describe(err));
        const std::string folder = hostPath.substr(0, hostPath.find_last_of('/'));
        return fail(StoreProblem::Missing, "the store " + hostPath + " does not exist" +
                                               (!folder.empty() && !FileExists(folder)
                                                    ? " (nor does its folder " + folder + ")"
                                                    : std::string()));
    }
    // One thread (the program's) uses the connection: SQLite need not lock it
    // on every call, which costs a tenth of a walk over a large journal.
    if (sqlite3_open_v2(hostPath.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr) != SQLITE_OK) {
        return fail(StoreProblem::CannotOpen, "the store " + hostPath + " cannot be opened: " +
                                                  (db_ ? sqlite3_errmsg(db_) + HostReasonOf(db_) : "out of memory"));
    }
    ConfigureConnection();
    // A file that is no store (or not a database at all) fails here.
    sqlite3_stmt* st = nullptr;
    // Another program that keeps the store locked beyond the busy timeout is
    // no damage: the user is told which it is.
    auto failWith = [&](StoreProblem otherwise, const std::string& reason) {
        const std::string msg = sqlite3_errmsg(db_);
        switch (FailureNow()) {
        case StoreProblem::Locked:
            return fail(StoreProblem::Locked, "the store " + hostPath + " is locked by another program: " + msg);
        case StoreProblem::CannotOpen:
            return fail(StoreProblem::CannotOpen,
                        "the store " + hostPath + " cannot be opened: " + msg + HostReasonOf(db_));
        default: return fail(otherwise, reason + msg);
        }
    };
    if (sqlite3_prepare_v2(db_, "SELECT version FROM store_info WHERE id = 1", -1, &st, nullptr) != SQLITE_OK) {
        return failWith(StoreProblem::NotAStore, "the file " + hostPath + " is not a store of the suite: ");
    }
    int rc = sqlite3_step(st);
    if (rc != SQLITE_ROW && rc != SQLITE_DONE) {
        const long status = failWith(StoreProblem::Unreadable, "the store " + hostPath + " cannot be read: ");
        sqlite3_finalize(st);
        return status;
    }
    // Only the integer 1 is this format. A missing row, a NULL, or a value
    // of another type (which SQLite would convert on reading: '1a' and 1.5
    // read as 1) is a store of another version.
    const bool known = rc == SQLITE_ROW && sqlite3_column_type(st, 0) == SQLITE_INTEGER &&
                       sqlite3_column_int64(st, 0) == 1;
    sqlite3_finalize(st);
    if (!known) return fail(StoreProblem::OtherVersion, "the store " + hostPath + " has an unknown format version");
    path_ = hostPath;
    serial_ = NextSerial();
    lastError_.clear();
    problem_ = StoreProblem::None;
    return SUITE_OK;
}

StoreProblem SuiteStore::FailureNow() const
{
    const int code = db_ ? sqlite3_errcode(db_) & 0xFF : SQLITE_MISUSE;
    if (code == SQLITE_BUSY || code == SQLITE_LOCKED) return StoreProblem::Locked;
    // A file the host lets us see but not read or write (a folder's
    // permissions, a read-only file, a leftover journal of another user) is
    // no damage either.
    if (code == SQLITE_CANTOPEN || code == SQLITE_READONLY || code == SQLITE_PERM) return StoreProblem::CannotOpen;
    // So is a failed read or write that the host refused (a journal that is
    // a folder, a read-only file system); other I/O errors may be damage.
    if (code == SQLITE_IOERR) {
        const int err = sqlite3_system_errno(db_);
        if (err == EACCES || err == EPERM || err == EISDIR || err == ENOTDIR || err == EROFS)
            return StoreProblem::CannotOpen;
    }
    return StoreProblem::Unreadable;
}

void SuiteStore::ConfigureConnection()
{
    sqlite3_busy_timeout(db_, 5000);
    sqlite3_exec(db_, "PRAGMA foreign_keys = ON", nullptr, nullptr, nullptr);
}

long SuiteStore::Create(const std::string& hostPath, std::string* why)
{
    Close();
    std::string reason;
    if (TheSchemaPath().empty()) {
        reason = "no schema file is set to create the store " + hostPath + " from";
    } else if (FileExists(hostPath)) {
        reason = "the store " + hostPath + " already exists";
    } else if (sqlite3_open_v2(hostPath.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
        reason = "the store " + hostPath + " cannot be created";
    } else {
        path_ = hostPath;
        serial_ = NextSerial();
        if (ExecFile(TheSchemaPath()) == SUITE_OK) return SUITE_OK;
        reason = "the schema could not be applied: " + lastError_;
    }
    lastError_ = reason;
    if (why) *why = reason;
    if (db_) sqlite3_close_v2(db_);
    db_ = nullptr;
    path_.clear();
    return SUITE_ERR_NOSTORE;
}

void SuiteStore::Close()
{
    // Kept statements go first: a connection with open statements would
    // only close when the last of them is finalized.
    kept_.clear();
    dataIds_.clear();
    dataIdsVersion_ = StoreVersion();
    selectedVersion_ = StoreVersion();
    if (db_) sqlite3_close_v2(db_);  // deferred until open statements are finalized
    db_ = nullptr;
    path_.clear();
}

Statement SuiteStore::Prepare(std::string_view sql)
{
    if (!db_) {
        lastError_ = "the store is not open";
        return Statement();
    }
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db_, sql.data(), static_cast<int>(sql.size()), &st, nullptr) != SQLITE_OK) {
        lastError_ = sqlite3_errmsg(db_);
        if (st) sqlite3_finalize(st);
        return Statement();
    }
    return Statement(st);
}

ReusedStatement SuiteStore::Reuse(const std::string& sql)
{
    auto it = kept_.find(sql);
    if (it == kept_.end()) {
        if (!db_) {
            lastError_ = "the store is not open";
            return ReusedStatement();
        }
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v3(db_, sql.data(), static_cast<int>(sql.size()), SQLITE_PREPARE_PERSISTENT, &st,
                               nullptr) != SQLITE_OK) {
            lastError_ = sqlite3_errmsg(db_);
            if (st) sqlite3_finalize(st);
            return ReusedStatement();
        }
        auto kept = std::make_unique<Kept>();
        kept->stmt = Statement(st);
        it = kept_.emplace(sql, std::move(kept)).first;
    }
    Kept& kept = *it->second;
    if (kept.inUse) return ReusedStatement(Prepare(sql));
    kept.inUse = true;
    return ReusedStatement(&kept.stmt, &kept.inUse);
}

bool SuiteStore::Version(StoreVersion* version)
{
    if (!db_ || !version) return false;
    ReusedStatement st = Reuse("PRAGMA data_version");
    if (!st.Valid() || st->Step() != SUITE_OK) return false;
    version->serial = serial_;
    version->external = st->Int(0);
    version->internal = sqlite3_total_changes64(db_);
    return true;
}

long SuiteStore::Exec(const std::string& sql)
{
    if (!db_) {
        lastError_ = "the store is not open";
        return SUITE_ERR_NOSTORE;
    }
    char* err = nullptr;
    if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &err) != SQLITE_OK) {
        lastError_ = err ? err : sqlite3_errmsg(db_);
        sqlite3_free(err);
        return SUITE_ERR_STORE;
    }
    return SUITE_OK;
}

long SuiteStore::ExecFile(const std::string& hostPath)
{
    std::ifstream in(hostPath, std::ios::binary);
    if (!in) {
        lastError_ = "cannot read " + hostPath;
        return SUITE_ERR_PARAM;
    }
    std::ostringstream text;
    text << in.rdbuf();
    return Exec(text.str());
}

std::string SuiteStore::LastError() const { return lastError_; }

// Every library call looks its dataset up by ID, some once per record they
// hand out: the answers are kept while the store stays unchanged.
long SuiteStore::FindDataNo(LPCDATAID dataId, long long* dataNo, const StoreVersion* known)
{
    if (!dataId || !dataNo) return SUITE_ERR_PARAM;
    const std::string key(reinterpret_cast<const char*>(dataId), SUITE_DATAID_SIZE);
    StoreVersion now;
    const bool versioned = known ? (now = *known, true) : Version(&now);
    if (versioned && now == dataIdsVersion_) {
        auto it = dataIds_.find(key);
        if (it != dataIds_.end()) {
            *dataNo = it->second;
            return SUITE_OK;
        }
    }
    ReusedStatement st = Reuse("SELECT data_no FROM datasets WHERE data_id = ?1");
    if (!st.Valid()) return SUITE_ERR_STORE;
    st->BindBlob(1, dataId, SUITE_DATAID_SIZE);
    long rc = st->Step();
    if (rc == SUITE_EOD) return SUITE_ERR_NODATA;
    if (rc != SUITE_OK) {
        lastError_ = st->ErrorText();
        return SUITE_ERR_STORE;
    }
    *dataNo = st->Int(0);
    if (versioned) {
        if (now != dataIdsVersion_) {
            dataIds_.clear();
            dataIdsVersion_ = now;
        }
        dataIds_[key] = *dataNo;
    }
    return SUITE_OK;
}

long SuiteStore::SelectedDataNo(long long* dataNo, const StoreVersion* known)
{
    if (!dataNo) return SUITE_ERR_PARAM;
    StoreVersion now;
    const bool versioned = known ? (now = *known, true) : Version(&now);
    if (versioned && now == selectedVersion_) {
        *dataNo = selectedNo_;
        return SUITE_OK;
    }
    ReusedStatement st = Reuse(
        "SELECT d.data_no FROM selection AS s JOIN datasets AS d ON d.data_no = s.data_no WHERE s.id = 1");
    if (!st.Valid()) return SUITE_ERR_STORE;
    long rc = st->Step();
    if (rc == SUITE_EOD) return SUITE_ERR_NOUSER;
    if (rc != SUITE_OK) {
        lastError_ = st->ErrorText();
        return SUITE_ERR_STORE;
    }
    *dataNo = st->Int(0);
    if (versioned) {
        selectedNo_ = *dataNo;
        selectedVersion_ = now;
    }
    return SUITE_OK;
}

long SuiteStore::ResolveDataNo(LPCDATAID dataIdOrNull, long long* dataNo, const StoreVersion* known)
{
    return dataIdOrNull ? FindDataNo(dataIdOrNull, dataNo, known) : SelectedDataNo(dataNo, known);
}

SuiteStore* SuiteStore::Current() { return CurrentStore().get(); }

void SuiteStore::SetCurrent(std::unique_ptr<SuiteStore> store)
{
    // Walks of the old store end with it.
    SuiteCursor::ReleaseAll();
    CurrentStore() = std::move(store);
}

// ---------------------------------------------------------------- SuiteCursor

namespace {

std::set<SuiteCursor*>& Cursors()
{
    static std::set<SuiteCursor*> cursors;
    return cursors;
}

}  // namespace

SuiteCursor::~SuiteCursor() = default;

SUITECURSOR SuiteCursor::Register(std::unique_ptr<SuiteCursor> cursor)
{
    if (!cursor) return nullptr;
    SuiteCursor* raw = cursor.release();
    Cursors().insert(raw);
    return reinterpret_cast<SUITECURSOR>(raw);
}

SuiteCursor* SuiteCursor::Find(SUITECURSOR handle)
{
    auto* raw = reinterpret_cast<SuiteCursor*>(handle);
    return Cursors().count(raw) ? raw : nullptr;
}

bool SuiteCursor::Release(SUITECURSOR handle)
{
    auto* raw = reinterpret_cast<SuiteCursor*>(handle);
    if (!Cursors().erase(raw)) return false;
    delete raw;
    return true;
}

void SuiteCursor::ReleaseAll()
{
    auto all = std::move(Cursors());
    Cursors().clear();
    for (SuiteCursor* c : all) delete c;
}

size_t SuiteCursor::OpenCount() { return Cursors().size(); }

}  // namespace suite
