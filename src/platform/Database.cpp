#include "platform/Database.h"

#include <QFileInfo>
#include <algorithm>
#include <new>
#include <sqlite3.h>
#include <utility>

namespace tombolix {

namespace {

QString engineText(sqlite3* db) {
    return db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("out of memory");
}

// A prepared statement, taken from the connection's idle statements when the
// same text ran before and handed back to them when done.
class Statement {
public:
    Statement(Connection& connection, const QString& sql)
        : connection_(connection), db_(connection.handle()), sql_(sql),
          stmt_(connection.takeIdleStatement(sql)) {
        if (stmt_)
            return;
        const QByteArray text = sql.toUtf8();
        const char* tail = nullptr;
        if (sqlite3_prepare_v2(db_, text.constData(), int(text.size()), &stmt_, &tail) != SQLITE_OK)
            throw DbError(engineText(db_));
        // Only one statement per call: text left over means a value broke out
        // of its literal, and it must not run.
        if (tail && QByteArray(tail).trimmed().size() > 0 && QByteArray(tail).trimmed() != ";") {
            sqlite3_finalize(stmt_);
            throw DbError(QStringLiteral("more than one statement in: %1").arg(sql));
        }
        if (!stmt_)
            throw DbError(QStringLiteral("no statement in: %1").arg(sql));
    }
    ~Statement() {
        sqlite3_reset(stmt_);
        sqlite3_clear_bindings(stmt_);
        // Kept only for the handle it was prepared on.
        if (connection_.isOpen() && connection_.handle() == db_)
            connection_.keepIdleStatement(sql_, stmt_);
        else
            sqlite3_finalize(stmt_);
    }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    void bind(const QVariantList& values) {
        for (int i = 0; i < values.size(); ++i) {
            const QVariant& v = values[i];
            int rc;
            if (v.isNull()) {
                rc = sqlite3_bind_null(stmt_, i + 1);
            } else if (v.typeId() == QMetaType::Bool || v.typeId() == QMetaType::Int ||
                       v.typeId() == QMetaType::LongLong || v.typeId() == QMetaType::UInt) {
                rc = sqlite3_bind_int64(stmt_, i + 1, v.toLongLong());
            } else if (v.typeId() == QMetaType::Double) {
                rc = sqlite3_bind_double(stmt_, i + 1, v.toDouble());
            } else {
                const QByteArray text = v.toString().toUtf8();
                rc = sqlite3_bind_text(stmt_, i + 1, text.constData(), int(text.size()),
                                       SQLITE_TRANSIENT);
            }
            if (rc != SQLITE_OK)
                throw DbError(engineText(db_));
        }
    }

    // True while there is a row.
    bool step() {
        const int rc = sqlite3_step(stmt_);
        if (rc == SQLITE_ROW)
            return true;
        if (rc == SQLITE_DONE)
            return false;
        throw DbError(engineText(db_));
    }

    QVariant column(int i) const {
        switch (sqlite3_column_type(stmt_, i)) {
        case SQLITE_INTEGER:
            return QVariant(qint64(sqlite3_column_int64(stmt_, i)));
        case SQLITE_FLOAT:
            return QVariant(sqlite3_column_double(stmt_, i));
        case SQLITE_TEXT:
            return QVariant(
                QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt_, i)),
                                  sqlite3_column_bytes(stmt_, i)));
        case SQLITE_BLOB:
            return QVariant(QByteArray(static_cast<const char*>(sqlite3_column_blob(stmt_, i)),
                                       sqlite3_column_bytes(stmt_, i)));
        default:
            return QVariant();
        }
    }

    sqlite3_stmt* get() const { return stmt_; }

private:
    Connection& connection_;
    sqlite3* db_;
    QString sql_;
    sqlite3_stmt* stmt_ = nullptr;
};

QString quotedName(const QString& name) {
    QString n = name;
    n.replace(QLatin1Char(']'), QStringLiteral("]]"));
    return QLatin1Char('[') + n + QLatin1Char(']');
}

QString keyText(const std::vector<QVariant>& row, const std::vector<int>& cols, bool ci) {
    QString key;
    for (int c : cols) {
        key += ci ? row[size_t(c)].toString().toLower() : row[size_t(c)].toString();
        key += QChar(0x1f);
    }
    return key;
}

} // namespace

// ---- Connection ------------------------------------------------------------

Connection::~Connection() {
    close();
}

QString Connection::connectionValue(const QString& connectionString, const QString& name) {
    // name=value pairs separated by ';'; a value may stand between double
    // quotes, where a ';' is part of it.
    int i = 0;
    const int n = int(connectionString.size());
    while (i < n) {
        const int eq = int(connectionString.indexOf(QLatin1Char('='), i));
        if (eq < 0)
            break;
        const QString key = connectionString.mid(i, eq - i).trimmed();
        int j = eq + 1;
        QString value;
        if (j < n && connectionString[j] == QLatin1Char('"')) {
            const int close = int(connectionString.indexOf(QLatin1Char('"'), j + 1));
            value = connectionString.mid(j + 1, close < 0 ? -1 : close - j - 1);
            j = close < 0 ? n : close + 1;
            const int semi = int(connectionString.indexOf(QLatin1Char(';'), j));
            j = semi < 0 ? n : semi + 1;
        } else {
            const int semi = int(connectionString.indexOf(QLatin1Char(';'), j));
            value = connectionString.mid(j, semi < 0 ? -1 : semi - j);
            j = semi < 0 ? n : semi + 1;
        }
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return value;
        i = j;
    }
    return QString();
}

void Connection::open() {
    if (isOpen())
        return;
    openFile(connectionValue(connectionString_, QStringLiteral("Data Source")),
             connectionValue(connectionString_, QStringLiteral("Jet OLEDB:Database Password")),
             false);
}

void Connection::openFile(const QString& path, const QString& key, bool create) {
    close();
    // The engine takes an empty file for a new database; for an event's file
    // that means it was lost, which must show when connecting.
    if (!create && QFileInfo(path).isFile() && QFileInfo(path).size() == 0)
        throw DbError(QStringLiteral("file is empty, not a database: %1").arg(path));
    sqlite3* db = nullptr;
    const int flags = SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0);
    const QByteArray file = QFileInfo(path).absoluteFilePath().toUtf8();
    if (sqlite3_open_v2(file.constData(), &db, flags, nullptr) != SQLITE_OK) {
        const QString text = engineText(db);
        sqlite3_close(db);
        throw DbError(QStringLiteral("%1: %2").arg(text, path));
    }
    const QByteArray k = key.toUtf8();
    try {
        // An empty key means a plain file: the engine refuses to set it.
        if (!k.isEmpty() && sqlite3_key(db, k.constData(), int(k.size())) != SQLITE_OK)
            throw DbError(engineText(db));
        db_ = db;
        // Reading the schema proves the key: a wrong key or a file that is
        // not an encrypted database fails here with the engine's text.
        execute(QStringLiteral("select count(*) from sqlite_master"));
        // Another copy of the program may hold the file: wait for its lock
        // instead of failing at once.
        sqlite3_busy_timeout(db, 5000);
        // A posted row is on disk when the call returns.
        execute(QStringLiteral("PRAGMA journal_mode=WAL"));
        execute(QStringLiteral("PRAGMA synchronous=FULL"));
    } catch (const DbError&) {
        finalizeIdleStatements();
        db_ = nullptr;
        sqlite3_close(db);
        throw;
    }
}

void Connection::close() {
    if (db_) {
        finalizeIdleStatements();
        sqlite3_close_v2(db_);
        db_ = nullptr;
        savepointDepth_ = 0;
    }
}

sqlite3_stmt* Connection::takeIdleStatement(const QString& sql) {
    for (auto it = idleStatements_.begin(); it != idleStatements_.end(); ++it) {
        if (it->first == sql) {
            sqlite3_stmt* stmt = it->second;
            idleStatements_.erase(it);
            return stmt;
        }
    }
    return nullptr;
}

void Connection::keepIdleStatement(const QString& sql, sqlite3_stmt* stmt) {
    if (!stmt)
        return;
    // The least recently used statement goes when the list is full; texts
    // with literals in them seldom come again.
    constexpr size_t kMaxIdle = 48;
    if (idleStatements_.size() >= kMaxIdle) {
        sqlite3_finalize(idleStatements_.front().second);
        idleStatements_.erase(idleStatements_.begin());
    }
    try {
        idleStatements_.emplace_back(sql, stmt);
    } catch (const std::bad_alloc&) {
        sqlite3_finalize(stmt); // called from a destructor: nothing may escape
    }
}

void Connection::finalizeIdleStatements() {
    for (auto& idle : idleStatements_)
        sqlite3_finalize(idle.second);
    idleStatements_.clear();
}

sqlite3* Connection::handle() const {
    if (!db_)
        throw DbError(QStringLiteral("The database connection is not open."));
    return db_;
}

QString Connection::engineMessage() const {
    return engineText(db_);
}

int Connection::execute(const QString& sql) {
    return execute(sql, {});
}

int Connection::execute(const QString& sql, const QVariantList& values) {
    Statement stmt(*this, sql);
    stmt.bind(values);
    while (stmt.step()) {
    }
    return sqlite3_column_count(stmt.get()) > 0 ? 0 : sqlite3_changes(db_);
}

void Connection::executeScript(const QString& sql) {
    char* message = nullptr;
    if (sqlite3_exec(handle(), sql.toUtf8().constData(), nullptr, nullptr, &message) != SQLITE_OK) {
        const QString text = message ? QString::fromUtf8(message) : engineMessage();
        sqlite3_free(message);
        throw DbError(text);
    }
}

qint64 Connection::lastInsertId() const {
    return sqlite3_last_insert_rowid(handle());
}

// ---- Transaction -----------------------------------------------------------

Transaction::Transaction(Connection& connection) : connection_(connection) {
    if (connection_.savepointDepth_ == 0) {
        // Take the write lock now: a deferred start could fail half-way when
        // another copy of the program writes at the same time.
        connection_.execute(QStringLiteral("BEGIN IMMEDIATE"));
    } else {
        name_ = QStringLiteral("tx%1").arg(connection_.savepointDepth_);
        connection_.execute(QStringLiteral("SAVEPOINT ") + name_);
    }
    ++connection_.savepointDepth_;
}

Transaction::~Transaction() {
    if (done_ || !connection_.isOpen())
        return;
    --connection_.savepointDepth_;
    try {
        if (name_.isEmpty()) {
            connection_.execute(QStringLiteral("ROLLBACK"));
        } else {
            connection_.execute(QStringLiteral("ROLLBACK TO ") + name_);
            connection_.execute(QStringLiteral("RELEASE ") + name_);
        }
    } catch (const DbError&) {
        // Rolling back can only fail when the engine has already rolled back.
    }
}

void Transaction::commit() {
    if (done_)
        return;
    connection_.execute(name_.isEmpty() ? QStringLiteral("COMMIT")
                                        : QStringLiteral("RELEASE ") + name_);
    done_ = true;
    --connection_.savepointDepth_;
}

// ---- DataSet ---------------------------------------------------------------

DataSet::DataSet(Connection& connection, const QString& sql) : connection_(connection), sql_(sql) {}

DataSet::~DataSet() = default;

void DataSet::setSql(const QString& sql) {
    close();
    sql_ = sql;
}

void DataSet::open() {
    if (isOpen())
        return;
    Statement stmt(connection_, sql_);
    // A kept statement is prepared again for a changed schema only by its
    // first step, so the columns are read after it.
    bool more = stmt.step();
    const int count = sqlite3_column_count(stmt.get());
    QStringList columns;
    QHash<QString, int> byName;
    QString table;
    bool oneTable = count > 0;
    for (int i = 0; i < count; ++i) {
        const QString name = QString::fromUtf8(sqlite3_column_name(stmt.get(), i));
        columns << name;
        const QString lower = name.toLower();
        if (!byName.contains(lower))
            byName.insert(lower, i);
        // The name as spelled, too, so the usual lookup needs no lowering; only
        // where it leads to the same column the case-blind lookup does.
        if (byName.value(lower) == i && !byName.contains(name))
            byName.insert(name, i);
        const char* t = sqlite3_column_table_name(stmt.get(), i);
        const QString tableName = t ? QString::fromUtf8(t) : QString();
        if (tableName.isEmpty() || (!table.isEmpty() && tableName != table))
            oneTable = false;
        table = tableName;
    }
    std::vector<Row> rows;
    for (; more; more = stmt.step()) {
        Row row(static_cast<size_t>(count));
        for (int i = 0; i < count; ++i)
            row[size_t(i)] = stmt.column(i);
        rows.push_back(std::move(row));
    }
    columns_ = columns;
    columnByName_ = byName;
    table_ = oneTable ? table : QString();
    rows_ = std::move(rows);
    pos_ = 0;
    state_ = State::Browse;
    resetIndexes();
}

void DataSet::close() {
    state_ = State::Inactive;
    rows_.clear();
    rows_.shrink_to_fit();
    buffer_.clear();
    pos_ = 0;
    resetIndexes();
}

void DataSet::resetIndexes() {
    indexes_.clear();
}

bool DataSet::isEmpty() const {
    return recordCount() == 0;
}

int DataSet::recordCount() const {
    if (!isOpen())
        throw DbError(QStringLiteral("Cannot perform this operation on a closed dataset"));
    return int(rows_.size());
}

void DataSet::first() {
    recordCount();
    finishPendingChange();
    pos_ = 0;
}

void DataSet::next() {
    finishPendingChange();
    if (!eof())
        ++pos_;
}

// Moving away from a row being edited or inserted posts what was changed in
// it (and drops an untouched one), so the row read back lands where it was.
void DataSet::finishPendingChange() {
    if (state_ != State::Edit && state_ != State::Insert)
        return;
    if (std::find(changed_.begin(), changed_.end(), true) != changed_.end())
        post();
    else
        cancel();
}

bool DataSet::eof() const {
    return pos_ >= recordCount();
}

QStringList DataSet::fieldNames() const {
    QStringList names = columns_;
    for (auto it = lookups_.cbegin(); it != lookups_.cend(); ++it)
        names << it.key();
    return names;
}

bool DataSet::hasField(const QString& name) const {
    return columnIndex(name) >= 0 || lookups_.contains(name.toLower());
}

int DataSet::columnIndex(const QString& name) const {
    const auto exact = columnByName_.constFind(name);
    return exact != columnByName_.constEnd() ? *exact : columnByName_.value(name.toLower(), -1);
}

int DataSet::requireColumn(const QString& name) const {
    const int i = columnIndex(name);
    if (i < 0)
        throw DbError(QStringLiteral("Field '%1' not found").arg(name));
    return i;
}

void DataSet::requireRow() const {
    if (eof())
        throw DbError(QStringLiteral("Either BOF or EOF is True, or the current record has "
                                     "been deleted."));
}

const DataSet::Row& DataSet::currentRow() const {
    if (state_ == State::Edit || state_ == State::Insert)
        return buffer_;
    requireRow();
    return rows_[size_t(pos_)];
}

QVariant DataSet::value(const QString& name) const {
    const auto lookup = lookups_.constFind(name.toLower());
    if (lookup != lookups_.constEnd()) {
        const QVariant key = value(lookup->keyField);
        if (!lookup->source || !lookup->source->isOpen())
            return QVariant();
        const auto& index = lookup->source->indexFor(lookup->sourceKey, false);
        const auto hit = index.constFind(key.toString() + QChar(0x1f));
        if (hit == index.constEnd())
            return QVariant();
        return lookup->source
            ->rows_[size_t(*hit)][size_t(lookup->source->requireColumn(lookup->resultField))];
    }
    return currentRow()[size_t(requireColumn(name))];
}

QVariant DataSet::value(int index) const {
    const Row& row = currentRow();
    if (index < 0 || size_t(index) >= row.size())
        throw DbError(QStringLiteral("Field %1 not found").arg(index));
    return row[size_t(index)];
}

QString DataSet::asString(const QString& name) const {
    return value(name).toString();
}

int DataSet::asInteger(const QString& name) const {
    return value(name).toInt();
}

bool DataSet::asBoolean(const QString& name) const {
    return value(name).toLongLong() != 0;
}

int DataSet::scalarInteger() const {
    if (recordCount() == 0)
        return 0;
    return rows_.front().empty() ? 0 : rows_.front().front().toInt();
}

const QHash<QString, int>& DataSet::indexFor(const QString& fields, bool ci) const {
    const QString id = fields.toLower() + (ci ? QStringLiteral("|i") : QStringLiteral("|c"));
    auto it = indexes_.find(id);
    if (it != indexes_.end())
        return it->firstRow;
    Index index{{}, ci, {}};
    for (const QString& f : fields.split(QLatin1Char(';'), Qt::SkipEmptyParts))
        index.columns.push_back(requireColumn(f.trimmed()));
    index.firstRow.reserve(int(rows_.size()));
    for (int r = int(rows_.size()) - 1; r >= 0; --r)
        index.firstRow.insert(keyText(rows_[size_t(r)], index.columns, ci), r);
    return indexes_.insert(id, std::move(index))->firstRow;
}

void DataSet::updateIndexesAfterAppend(int row) {
    // A row behind all others is the first of its key only when the key is new.
    for (Index& index : indexes_) {
        const QString key = keyText(rows_[size_t(row)], index.columns, index.ignoreCase);
        if (!index.firstRow.contains(key))
            index.firstRow.insert(key, row);
    }
}

void DataSet::updateIndexesAfterEdit(const Row& before, int row) {
    for (auto it = indexes_.begin(); it != indexes_.end();) {
        if (keyText(before, it->columns, it->ignoreCase) ==
            keyText(rows_[size_t(row)], it->columns, it->ignoreCase))
            ++it;
        else
            it = indexes_.erase(it);
    }
}

bool DataSet::locate(const QString& fields, const QVariantList& values, int options) {
    const bool ci = options & CaseInsensitive;
    const auto& index = indexFor(fields, ci);
    QString key;
    for (const QVariant& v : values) {
        key += ci ? v.toString().toLower() : v.toString();
        key += QChar(0x1f);
    }
    const auto hit = index.constFind(key);
    if (hit == index.constEnd())
        return false;
    if (state_ == State::Edit || state_ == State::Insert)
        cancel();
    pos_ = *hit;
    return true;
}

void DataSet::requireTable() const {
    if (!isOpen())
        throw DbError(QStringLiteral("Cannot perform this operation on a closed dataset"));
    if (table_.isEmpty() || columnIndex(QStringLiteral("RecNo")) < 0)
        throw DbError(QStringLiteral("The data set cannot be changed: %1").arg(sql_));
}

void DataSet::edit() {
    requireTable();
    if (state_ == State::Edit || state_ == State::Insert)
        return;
    requireRow();
    buffer_ = rows_[size_t(pos_)];
    changed_.assign(buffer_.size(), false);
    state_ = State::Edit;
}

void DataSet::append() {
    requireTable();
    if (state_ == State::Edit || state_ == State::Insert)
        post();
    buffer_.assign(size_t(columns_.size()), QVariant());
    changed_.assign(buffer_.size(), false);
    insertAt_ = int(rows_.size());
    state_ = State::Insert;
    if (newRecordHook_)
        newRecordHook_(*this);
}

void DataSet::insert() {
    requireTable();
    if (state_ == State::Edit || state_ == State::Insert)
        post();
    buffer_.assign(size_t(columns_.size()), QVariant());
    changed_.assign(buffer_.size(), false);
    insertAt_ = std::min(pos_, int(rows_.size()));
    state_ = State::Insert;
    if (newRecordHook_)
        newRecordHook_(*this);
}

void DataSet::setField(const QString& name, const QVariant& v) {
    if (lookups_.contains(name.toLower()))
        throw DbError(QStringLiteral("Field '%1' cannot be modified").arg(name));
    if (state_ == State::Browse)
        edit();
    if (state_ != State::Edit && state_ != State::Insert)
        throw DbError(QStringLiteral("Dataset not in edit or insert mode"));
    const int i = requireColumn(name);
    if (i == columnIndex(QStringLiteral("RecNo")))
        throw DbError(QStringLiteral("Field 'RecNo' cannot be modified"));
    buffer_[size_t(i)] = v;
    changed_[size_t(i)] = true;
    if (fieldChangeHook_)
        fieldChangeHook_(*this, columns_[i]);
}

DataSet::Row DataSet::readBack(qint64 recNo) const {
    Statement stmt(connection_,
                   QStringLiteral("select * from %1 where RecNo = ?").arg(quotedName(table_)));
    stmt.bind({recNo});
    Row row(size_t(columns_.size()));
    if (!stmt.step())
        return row;
    const int count = sqlite3_column_count(stmt.get());
    for (int c = 0; c < count; ++c) {
        const int i = columnIndex(QString::fromUtf8(sqlite3_column_name(stmt.get(), c)));
        if (i >= 0)
            row[size_t(i)] = stmt.column(c);
    }
    return row;
}

void DataSet::post() {
    if (state_ != State::Edit && state_ != State::Insert)
        return;
    QStringList names;
    QVariantList values;
    for (int i = 0; i < columns_.size(); ++i) {
        if (changed_[size_t(i)]) {
            names << quotedName(columns_[i]);
            values << buffer_[size_t(i)];
        }
    }
    const int recNoCol = columnIndex(QStringLiteral("RecNo"));
    if (state_ == State::Edit) {
        const qint64 recNo = buffer_[size_t(recNoCol)].toLongLong();
        if (!names.isEmpty()) {
            values << recNo;
            connection_.execute(QStringLiteral("update %1 set %2 = ? where RecNo = ?")
                                    .arg(quotedName(table_), names.join(QStringLiteral(" = ?, "))),
                                values);
        }
        // Read back first: when that fails the cursor keeps the row it had.
        Row fresh = readBack(recNo);
        const Row before = std::exchange(rows_[size_t(pos_)], std::move(fresh));
        updateIndexesAfterEdit(before, pos_);
    } else {
        QString sql;
        if (names.isEmpty()) {
            sql = QStringLiteral("insert into %1 default values").arg(quotedName(table_));
        } else {
            QStringList marks;
            for (int i = 0; i < names.size(); ++i)
                marks << QStringLiteral("?");
            sql = QStringLiteral("insert into %1 (%2) values (%3)")
                      .arg(quotedName(table_), names.join(QLatin1Char(',')),
                           marks.join(QLatin1Char(',')));
        }
        connection_.execute(sql, values);
        rows_.insert(rows_.begin() + insertAt_, readBack(connection_.lastInsertId()));
        pos_ = insertAt_;
        // A row put in between moves the rows behind it.
        if (pos_ == int(rows_.size()) - 1)
            updateIndexesAfterAppend(pos_);
        else
            resetIndexes();
    }
    state_ = State::Browse;
    buffer_.clear();
}

void DataSet::cancel() {
    if (state_ == State::Edit || state_ == State::Insert) {
        state_ = State::Browse;
        buffer_.clear();
    }
}

void DataSet::remove() {
    if (state_ == State::Insert) {
        cancel();
        return;
    }
    requireTable();
    cancel();
    requireRow();
    const qint64 recNo =
        rows_[size_t(pos_)][size_t(columnIndex(QStringLiteral("RecNo")))].toLongLong();
    connection_.execute(QStringLiteral("delete from %1 where RecNo = ?").arg(quotedName(table_)),
                        {recNo});
    rows_.erase(rows_.begin() + pos_);
    resetIndexes();
}

void DataSet::addLookupField(const QString& name, const QString& keyField, DataSet* source,
                             const QString& sourceKey, const QString& resultField) {
    lookups_.insert(name.toLower(), Lookup{keyField, source, sourceKey, resultField});
}

} // namespace tombolix
