// The store of the suite libraries: one SQLite database in the suite home.
// A thin wrapper: open, prepared statements with binding and stepping, text
// conversion between the store's UTF-8 and the program's code page 932, and
// handle-based streaming cursors. Nothing here loads a whole table: a walk
// steps a live statement one row at a time.
//
// Only the suite libraries use this header; the program never includes it.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

#include "suite/SuiteTypes.h"

struct sqlite3;
struct sqlite3_stmt;

namespace suite {

// One prepared statement. Parameter indices are 1-based, column indices
// 0-based, as in SQLite. A default-constructed or failed statement is not
// Valid(); stepping it gives SUITE_ERR_STORE.
class Statement {
public:
    Statement() = default;
    Statement(Statement&& other) noexcept;
    Statement& operator=(Statement&& other) noexcept;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    ~Statement();

    bool Valid() const { return stmt_ != nullptr; }

    Statement& Bind(int index, long long value);
    Statement& BindText(int index, std::string_view cp932);  // stored as UTF-8
    Statement& BindUtf8(int index, std::string_view utf8);
    Statement& BindBlob(int index, const void* data, size_t size);

    // SUITE_OK when a row is available, SUITE_EOD when the statement is
    // done, SUITE_ERR_STORE on an error (its text in ErrorText()).
    long Step();
    // Back to the start, bindings cleared.
    void Reset();

    bool IsNull(int column) const;
    long long Int(int column) const;
    std::string Text(int column) const;  // converted to code page 932
    std::string Utf8(int column) const;
    size_t BlobSize(int column) const;
    // Copies at most `capacity` bytes of a blob column; returns the bytes copied.
    size_t Blob(int column, void* out, size_t capacity) const;

    std::string ErrorText() const;

private:
    friend class SuiteStore;
    explicit Statement(sqlite3_stmt* stmt) : stmt_(stmt) {}
    sqlite3_stmt* stmt_ = nullptr;
};

// A statement that the store keeps prepared for reuse. While the handle
// lives the statement is the holder's; when it goes, the statement is reset
// (its bindings cleared), so no finished or abandoned query keeps the
// store's read transaction open.
class ReusedStatement {
public:
    ReusedStatement() = default;
    ReusedStatement(ReusedStatement&& other) noexcept;
    ReusedStatement& operator=(ReusedStatement&&) = delete;
    ReusedStatement(const ReusedStatement&) = delete;
    ReusedStatement& operator=(const ReusedStatement&) = delete;
    ~ReusedStatement();

    bool Valid() const { return stmt_ != nullptr && stmt_->Valid(); }
    Statement& operator*() const { return *stmt_; }
    Statement* operator->() const { return stmt_; }

private:
    friend class SuiteStore;
    ReusedStatement(Statement* kept, bool* inUse) : stmt_(kept), inUse_(inUse) {}
    explicit ReusedStatement(Statement&& own);

    Statement* stmt_ = nullptr;
    bool* inUse_ = nullptr;          // the kept statement's flag, or null
    std::unique_ptr<Statement> own_;  // a statement of its own when the kept one was busy
};

// What a cached result depends on: which opened store, and how often its
// contents have changed through this connection (internal) and through any
// other (external). Two equal versions mean that nothing has changed between
// them.
struct StoreVersion {
    long long serial = 0;
    long long external = 0;
    long long internal = 0;
    bool operator==(const StoreVersion& other) const
    {
        return serial == other.serial && external == other.external && internal == other.internal;
    }
    bool operator!=(const StoreVersion& other) const { return !(*this == other); }
};

// Why the last Open of a store failed, for the message that tells the user
// what to do; the reason's text says the same for standard error.
enum class StoreProblem {
    None,          // opened
    NoPath,        // no store path is configured
    Unresolved,    // the configured path is relative to a start folder that is gone
    Missing,       // no file at the path
    NoAccess,      // a folder on the path may not be searched: whether the file exists is unknown
    CannotOpen,    // the file exists but cannot be opened (permissions, a folder, a journal it may not read)
    NotAStore,     // the file is not a store of the suite (or no database at all)
    Locked,        // another program holds the store locked beyond the wait
    Unreadable,    // the store's format row cannot be read
    OtherVersion,  // a store of another format version
};

class SuiteStore {
public:
    SuiteStore() = default;
    SuiteStore(const SuiteStore&) = delete;
    SuiteStore& operator=(const SuiteStore&) = delete;
    ~SuiteStore();

    // Host path of the store: ZELKOR_STORE when set, else "suite.db" in the
    // suite home; absolute (see PlatformConfig).
    static std::string DefaultPath();
    // Sets the host path of the schema file that Create applies; empty until
    // set. The deliverables only open stores (the sqlite3 shell makes them
    // from schema.sql), so no path of the source tree is built into them; the
    // tests and tools that create stores name the file.
    static void SetSchemaPath(const std::string& hostPath);

    // Opens an existing store. On failure the store stays closed and `why`
    // (when given) holds the technical reason as UTF-8 text, and Problem()
    // says which kind of failure it was.
    long Open(const std::string& hostPath, std::string* why = nullptr);
    StoreProblem Problem() const { return problem_; }
    // What the last failed call of an open store met: Locked (another program
    // holds it), CannotOpen (the host refused a file of the store, such as a
    // leftover journal this user may not read) or Unreadable (anything else:
    // damage, another format).
    StoreProblem FailureNow() const;
    // Creates a new store file from the schema; fails when the file exists.
    long Create(const std::string& hostPath, std::string* why = nullptr);
    void Close();
    bool IsOpen() const { return db_ != nullptr; }
    const std::string& Path() const { return path_; }

    // A prepared statement; not Valid() on an error (text in LastError()).
    Statement Prepare(std::string_view sql);
    // A statement of a fixed text, prepared once and reused; for the small
    // queries that the libraries make over and over (look-ups by key). When
    // the kept statement is in use (a nested query of the same text), the
    // handle brings a statement of its own.
    ReusedStatement Reuse(const std::string& sql);
    // The store's version now; false when it cannot be read (then nothing
    // may be cached).
    bool Version(StoreVersion* version);
    // Runs a script of statements (UTF-8).
    long Exec(const std::string& sql);
    long ExecFile(const std::string& hostPath);
    std::string LastError() const;

    // The dataset number of a data ID (the address of a dataset record whose
    // first 16 bytes are the dataset's ID). SUITE_ERR_PARAM for a null ID,
    // SUITE_ERR_NODATA when no dataset has that ID.
    // `known`, when given, is the store's version just read (saves reading
    // it again).
    long FindDataNo(LPCDATAID dataId, long long* dataNo, const StoreVersion* known = nullptr);
    // The dataset number of the current user's selection: SUITE_ERR_NOUSER
    // when there is no selection or it names no dataset.
    long SelectedDataNo(long long* dataNo, const StoreVersion* known = nullptr);
    // FindDataNo for a data ID, SelectedDataNo for a null one.
    long ResolveDataNo(LPCDATAID dataIdOrNull, long long* dataNo, const StoreVersion* known = nullptr);

    // The process-wide store, opened by the connection's Initiate and closed
    // by Terminate; null while none is open.
    static SuiteStore* Current();
    // Makes `store` the process-wide store (the previous one is closed).
    static void SetCurrent(std::unique_ptr<SuiteStore> store);

private:
    struct Kept {
        Statement stmt;
        bool inUse = false;
    };
    void ConfigureConnection();

    sqlite3* db_ = nullptr;
    std::string path_;
    std::string lastError_;
    StoreProblem problem_ = StoreProblem::None;
    long long serial_ = 0;  // distinguishes every opening of a store
    std::unordered_map<std::string, std::unique_ptr<Kept>> kept_;
    // The data IDs already looked up, valid for dataIdsVersion_.
    std::unordered_map<std::string, long long> dataIds_;
    StoreVersion dataIdsVersion_;
    // The selected dataset, valid for selectedVersion_.
    long long selectedNo_ = 0;
    StoreVersion selectedVersion_;
};

// A streaming cursor of a walk. The library gives the program a SUITECURSOR
// handle; handles are checked against the registry, so a stale or foreign
// handle yields an error status instead of a crash. Libraries derive from it
// when a walk needs more state than the statement.
class SuiteCursor {
public:
    virtual ~SuiteCursor();

    Statement stmt;      // the live statement of the walk
    bool ready = false;  // set when the walk has been prepared

    // Takes ownership; returns the handle.
    static SUITECURSOR Register(std::unique_ptr<SuiteCursor> cursor);
    // The cursor of a handle; null for an unknown handle.
    static SuiteCursor* Find(SUITECURSOR handle);
    // Releases a handle: false when it was unknown.
    static bool Release(SUITECURSOR handle);

    // The steps every set object's cursor calls share, for its own cursor
    // type `C`: the cursor of a handle when it is a `C` (else null); a new
    // one (SUITE_ERR_NOSTORE, and a null handle, without a store); and its
    // release (SUITE_ERR_CURSOR for a handle that is not a `C`).
    template <class C>
    static C* FindAs(SUITECURSOR handle)
    {
        return dynamic_cast<C*>(Find(handle));
    }
    template <class C>
    static long Open(SUITECURSOR* pCursor)
    {
        if (!pCursor)
            return SUITE_ERR_PARAM;
        *pCursor = nullptr;
        if (!SuiteStore::Current())
            return SUITE_ERR_NOSTORE;
        *pCursor = Register(std::make_unique<C>());
        return SUITE_OK;
    }
    template <class C>
    static long ReleaseAs(SUITECURSOR handle)
    {
        if (!FindAs<C>(handle))
            return SUITE_ERR_CURSOR;
        Release(handle);
        return SUITE_OK;
    }
    // Releases every cursor (the store is about to close).
    static void ReleaseAll();
    static size_t OpenCount();
};

}  // namespace suite
