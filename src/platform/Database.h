#pragma once

#include "platform/Error.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace tombolix {

// One connection to an encrypted database file. The connection string is a
// list of `name=value;` pairs, values optionally between double quotes; the
// pairs read are `Data Source` (the file) and `Jet OLEDB:Database Password`
// (the key). The file must exist: the program never creates its database.
class Connection {
public:
    Connection() = default;
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    void setConnectionString(const QString& text) { connectionString_ = text; }
    const QString& connectionString() const { return connectionString_; }

    // Raises DbError with the engine's text when the file cannot be opened or
    // the key does not fit. Does nothing when already open.
    void open();
    void close();
    bool isOpen() const { return db_ != nullptr; }

    // Opens an existing file or creates a new one with the key; for the
    // companion tool, which makes new event databases.
    void openFile(const QString& path, const QString& key, bool create);

    // Runs a command; returns the rows it changed (0 when it matched none).
    int execute(const QString& sql);
    // Runs a command whose values are bound, not written into the text.
    int execute(const QString& sql, const QVariantList& values);
    qint64 lastInsertId() const;
    // Runs several statements separated by ';' (a schema); nothing is bound.
    void executeScript(const QString& sql);

    sqlite3* handle() const;
    // The engine's latest message for this connection.
    QString engineMessage() const;

    static QString connectionValue(const QString& connectionString, const QString& name);

    // Prepared statements kept for their text's next run, which saves most
    // of the cost of a short query. A statement is taken while it runs and
    // handed back reset.
    sqlite3_stmt* takeIdleStatement(const QString& sql);
    void keepIdleStatement(const QString& sql, sqlite3_stmt* stmt);

private:
    void finalizeIdleStatements();

    QString connectionString_;
    sqlite3* db_ = nullptr;
    int savepointDepth_ = 0;
    std::vector<std::pair<QString, sqlite3_stmt*>> idleStatements_;
    friend class Transaction;
};

// Everything written inside the guard is committed together by commit(), or
// not at all when the guard goes out of scope first (an error, a return).
// Guards nest: an inner guard is a savepoint inside the outer one.
class Transaction {
public:
    explicit Transaction(Connection& connection);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    void commit();

private:
    Connection& connection_;
    QString name_;
    bool done_ = false;
};

// The rows of a select, fixed when it opens (a static cursor): changes made by
// other statements show only after close and open. Rows changed through the
// data set are written to its table at once and show in it at once. A data
// set over one table can edit, append, insert and delete rows; the table is
// the one the select reads, and rows are identified by their RecNo.
class DataSet {
public:
    enum class State { Inactive, Browse, Edit, Insert };
    enum LocateOption { NoOptions = 0, CaseInsensitive = 1 };

    // Sets defaults for an appended or inserted row.
    using NewRecordHook = std::function<void(DataSet&)>;
    // Reacts to a field set while editing (may raise to refuse the value).
    using FieldChangeHook = std::function<void(DataSet&, const QString& field)>;

    explicit DataSet(Connection& connection, const QString& sql = QString());
    virtual ~DataSet();
    DataSet(const DataSet&) = delete;
    DataSet& operator=(const DataSet&) = delete;

    Connection& connection() const { return connection_; }
    void setSql(const QString& sql);
    const QString& sql() const { return sql_; }

    void open();
    void close();
    bool isOpen() const { return state_ != State::Inactive; }
    State state() const { return state_; }

    bool isEmpty() const;
    int recordCount() const;
    void first();
    void next();
    bool eof() const;
    // 0-based position of the current row; recordCount() past the end.
    int position() const { return pos_; }

    QStringList fieldNames() const;
    bool hasField(const QString& name) const;
    QVariant value(const QString& name) const;
    QVariant value(int index) const;
    QString asString(const QString& name) const;
    int asInteger(const QString& name) const;
    bool asBoolean(const QString& name) const;
    // Field 0 of the first row of a one-value query as an integer.
    int scalarInteger() const;

    // Moves to the first row, in the data set's order, whose fields (names
    // separated by ';') equal the values; tells whether one was found. Values
    // are compared as texts.
    bool locate(const QString& fields, const QVariantList& values, int options = NoOptions);

    void edit();
    void append();
    void insert();
    void setField(const QString& name, const QVariant& value);
    void post();
    void cancel();
    void remove();

    void setNewRecordHook(NewRecordHook hook) { newRecordHook_ = std::move(hook); }
    void setFieldChangeHook(FieldChangeHook hook) { fieldChangeHook_ = std::move(hook); }
    // A read-only field whose value is `resultField` of the row of `source`
    // whose `sourceKey` equals this row's `keyField`.
    void addLookupField(const QString& name, const QString& keyField, DataSet* source,
                        const QString& sourceKey, const QString& resultField);

private:
    struct Lookup {
        QString keyField;
        DataSet* source;
        QString sourceKey;
        QString resultField;
    };
    using Row = std::vector<QVariant>;

    int columnIndex(const QString& name) const;
    int requireColumn(const QString& name) const;
    const Row& currentRow() const;
    void requireTable() const;
    void requireRow() const;
    struct Index {
        std::vector<int> columns;
        bool ignoreCase;
        QHash<QString, int> firstRow; // key text -> first row with it
    };
    void finishPendingChange();
    void resetIndexes();
    // After a post: what a write of row `row` (formerly `before`, when
    // edited) leaves true of the indexes is kept, the rest is dropped.
    void updateIndexesAfterAppend(int row);
    void updateIndexesAfterEdit(const Row& before, int row);
    const QHash<QString, int>& indexFor(const QString& fields, bool ci) const;
    Row readBack(qint64 recNo) const;

    Connection& connection_;
    QString sql_;
    QString table_;
    QStringList columns_;
    QHash<QString, int> columnByName_; // lower-case and as-spelled name -> index
    std::vector<Row> rows_;
    int pos_ = 0;
    State state_ = State::Inactive;
    Row buffer_;
    std::vector<bool> changed_;
    int insertAt_ = 0;
    NewRecordHook newRecordHook_;
    FieldChangeHook fieldChangeHook_;
    QHash<QString, Lookup> lookups_; // lower-case name -> lookup
    // Lazily built per field list and option.
    mutable QHash<QString, Index> indexes_;
};

// A select or a single command on the connection, made and freed within the
// routine that runs it.
class Query : public DataSet {
public:
    using DataSet::DataSet;
    // Runs a command and returns the rows it changed.
    int execSql(const QString& sql) { return connection().execute(sql); }
};

} // namespace tombolix
