/*
 * dbeng.h - the database engine's client interface.
 *
 * A plain C interface: the data-access components call nothing else, and any backend (the
 * in-process local server, a remote server) answers exactly these calls.
 *
 * Conventions, valid for every function below:
 *
 *  - Every function returns a DBRESULT: 0 (DBE_SUCCESS) on success, otherwise an error
 *    number. A few functions answer with a result that is not a failure; those are listed
 *    at the function (DbGetFilter's 5005/5037, for example). After any non-zero result,
 *    DbGetLastError gives that number and a German text that names the table file and what
 *    failed. The last error is kept per thread; a successful call does not clear it.
 *  - Handles are 32-bit numbers and are never 0. A table handle is also the "order" of the
 *    table's natural record order; an index handle is the order of one index tag. Functions
 *    that take an order accept either.
 *  - Texts are 8-bit Windows-1252 (one table for the whole program: Windows1252.h) and
 *    zero-terminated: field values, field and tag names, keys, filters, error texts. Where a
 *    function fills a caller's buffer, the length argument is in/out: in, the buffer's size in
 *    bytes; out, the length written without the terminating zero. A buffer that is too small
 *    gets as much as fits (always zero-terminated when its size is above 0) and the result
 *    DBE_INSUFFICIENT_BUFFER, with the length needed in the out value.
 *  - Paths are no texts: DbConnect's path, the table names of DbOpenTable and DbCreateTable and
 *    the name DbGetTableFilename gives are the file system's own bytes, passed through
 *    unchanged (on this system the UTF-8 of the path's characters), so that every folder a
 *    user can name opens, "/home/łukasz/Daten" as well as "/srv/Bäckerei 1/". "\" and "/"
 *    both separate. The rules for data paths (which path is a dictionary, which folder its
 *    tables lie in, names without regard to letter case) are in DataPath.h, one place for the
 *    engine and its callers.
 *  - An error text that quotes a path shows the path's characters in Windows-1252 where it has
 *    them and "?" for every other character (and for every byte that is not UTF-8): the
 *    folder "/home/łukasz/Daten" reads "/home/?ukasz/Daten", and the rest of the text stays
 *    intact. A path longer than 240 bytes is shortened at its front to "...".
 *  - Flags and text lengths are 16-bit, record and blob lengths 32-bit.
 *  - Fields are numbered from 1 in their stored order (DbGetFieldNum maps a name to its
 *    number, without regard to case).
 *  - Handles are not shared between threads.
 *
 * Record images. A table hands out fixed-length record images (DbGetRecord); field n lies at
 * DbGetFieldOffset(n) with DbGetFieldLength(n) bytes (for numeric fields the length is the
 * text width, for all other types the image width below). Multi-byte numbers are
 * little-endian. "Null" is the stored empty value; it reads as empty text.
 *
 *   type                     image                                       null
 *   1  logical               1 byte: 'T' or 'F'                          ' ' (blank)
 *   2  numeric               length bytes, right-aligned ASCII number    all zero bytes
 *                            with '.' before the decimals
 *   3  date, 9 compact date  4 bytes: int32 Julian day number            all zero bytes
 *   4  string, 20 ci-string  length bytes, Windows-1252, blank-padded    all zero bytes
 *   5  memo, 8 varchar,      8 bytes: uint32 blob reference, uint32      all zero bytes
 *   6  binary, 7 image       byte length (read the value with
 *                            DbGetBinary / DbGetField)
 *   10 double                8 bytes: IEEE 754 double                    all zero bytes
 *   11 integer               4 bytes: int32                              INT32_MIN
 *   12 short integer         2 bytes: int16                              -32768
 *   13 time                  4 bytes: int32 milliseconds since midnight  -1
 *   14 timestamp             8 bytes: int32 Julian day, int32 ms         all zero bytes
 *   15 autoincrement         4 bytes: int32                              -1
 *   16 raw                   length bytes                                all zero bytes
 *   17 currency double       8 bytes: IEEE 754 double                    all zero bytes
 *
 * Key order of an index: the segments compare in order; texts byte by byte with trailing
 * blanks not significant and the empty text first (ci-strings without regard to case),
 * numbers and dates numerically with null first, logicals false before true. Equal keys are
 * ordered by record number, so equal keys always stand next to each other.
 *
 * Cursor. Every table handle has one cursor. It stands before the first record (BOF), on a
 * record, or after the last record (EOF), in the order that last moved it. Skipping past
 * either end stops at that end; skipping back from EOF reaches the last record. A record
 * deleted under the cursor leaves the cursor at its place: it is not visible, and skipping
 * goes on from its key.
 *
 * Changes. DbSetField / DbSetFieldRaw / DbSetEmpty / DbSetBinary change a pending copy of the
 * current record (or of a new record after DbAppendRecord); DbWriteRecord stores it in one
 * durable transaction, DbCancelUpdate drops it. While a change is pending the cursor does not
 * move: moving, seeking and DbGotoRecord answer DBE_UPDATE_PENDING. DbDeleteRecord removes
 * the current record at once in its own transaction; a DbWriteRecord that directly follows it
 * (as the data-access components send one) confirms the stored deletion and answers 0.
 * DbBeginTransaction .. DbCommitTransaction group the writes of one table handle into one
 * durable transaction (bulk loading); without them every write is its own transaction.
 *
 * Transactions and closing. No write inside a transaction is lost because its handle closed
 * before the transaction ended; the same holds on both servers:
 *  - DbCloseTable inside a connection transaction (DbBeginConnectionTransaction) withdraws the
 *    handle at once (its record locks and a change not written end), but its writes stay part
 *    of the transaction: the commit stores them, the rollback undoes them.
 *  - A table opened or created while a connection transaction runs takes part in it.
 *  - DbCloseTable of a handle inside its own transaction (DbBeginTransaction) is refused with
 *    DBE_TRANSACTION_OPEN, and the handle and its transaction go on: nobody could end the
 *    transaction after the close. Commit or roll back first.
 *  - DbDisconnect inside a transaction of either kind rolls it back as a whole, closes the
 *    connection all the same and answers DBE_TRANSACTION_OPEN: nothing is half-written, and
 *    the caller learns that the changes are not stored.
 *
 * Locks. DbLockRecord takes the record lock for this table handle; it holds across processes
 * and ends with DbUnlockRecord, DbCloseTable or the end of the process, however it ends. A
 * write or delete of a record that another handle has locked fails with DBE_RECORD_LOCKED.
 */
#ifndef DUPCHECK_DBENG_H
#define DUPCHECK_DBENG_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef uint32_t DBRESULT;
typedef uint32_t DBHANDLE;

/* --- Results -------------------------------------------------------------------------- */
#define DBE_SUCCESS 0
#define DBE_INVALID_ARGUMENT 5004     /* a null pointer, a bad option, an invalid text */
#define DBE_INSUFFICIENT_BUFFER 5005  /* also DbGetFilter/DbGetOptFilter: "a filter is set" */
#define DBE_INVALID_HANDLE 5010       /* no such handle, or a handle of the wrong kind */
#define DBE_INVALID_FIELD 5012        /* field number out of range, or no such field name */
#define DBE_INVALID_FIELD_TYPE 5013   /* the operation does not suit the field's type */
#define DBE_VALUE_INVALID 5014        /* a text that does not convert to the field's type */
#define DBE_RECORD_NOT_FOUND 5022     /* DbGotoBookmark/DbGotoRecord: the record is gone */
#define DBE_TABLES_CLOSED 5024        /* DbDisconnect closed tables that were still open */
#define DBE_INDEX_NOT_FOUND 5026      /* no index tag of that name */
#define DBE_FILE_NOT_FOUND 5029       /* a missing data folder or table file */
#define DBE_NOT_A_TABLE 5030          /* a file that is not one of our table files */
#define DBE_TABLE_DAMAGED 5031        /* a table file whose definitions are damaged */
#define DBE_RECORD_LOCKED 5035        /* the record is locked by another user */
#define DBE_NO_FILTER 5037            /* DbGetFilter/DbGetOptFilter: no filter is set */
#define DBE_TABLE_EXISTS 5040         /* DbCreateTable: the file exists already */
#define DBE_INDEX_EXISTS 5041         /* DbCreateIndex: the tag exists already */
#define DBE_READONLY 5042             /* a change on a table opened read-only */
#define DBE_EXPRESSION 5043           /* a filter expression the engine does not understand */
#define DBE_UPDATE_PERMISSION 5054    /* recorded by a client: no update permission */
#define DBE_STATIC_VIEW 5064          /* DbLockRecord: the table cannot be locked (static view) */
#define DBE_NO_CURRENT_RECORD 5068    /* the cursor stands at BOF, EOF or on a deleted record */
#define DBE_UPDATE_PENDING 5070       /* a move or seek while a change is pending */
#define DBE_NO_UPDATE_PENDING 5085    /* DbCancelUpdate/DbWriteRecord with nothing pending */
#define DBE_DUPLICATE_KEY 5090        /* a write that breaks a unique index */
#define DBE_NOT_IN_DICTIONARY 5132    /* a dictionary open of a table the dictionary lacks */
#define DBE_TRANSACTION_OPEN 5140     /* a close or disconnect inside a transaction */
#define DBE_SERVER_NOT_AVAILABLE 6420 /* the server type is not available, or not reachable */
#define DBE_LOGIN_FAILED                                                                           \
    6430                       /* the remote server refused the user name or password,             \
                                  or asks for a password that was not given */
#define DBE_IO_ERROR 6100      /* the operating system refused a file operation */
#define DBE_STORAGE_ERROR 7200 /* the storage layer failed; text carries NativeError */

/* --- Open options and constants ----------------------------------------------------- */
#define DB_SERVER_LOCAL 1
#define DB_SERVER_REMOTE 2
#define DB_SERVER_INTERNET 4

#define DB_CONNECT_CREATE 0x10000 /* DbConnect option: make the remote data set if missing */
/* DbConnect option (remote server only): the connection begins inside its connection transaction,
 * as after DbBeginConnectionTransaction, and a data set that DB_CONNECT_CREATE makes is made in
 * it: until DbCommitConnectionTransaction nobody else sees it, and a rollback or a disconnect
 * before the commit leaves nothing of it. */
#define DB_CONNECT_IN_TRANSACTION 0x20000

#define DB_TABLE_DICTIONARY 0 /* table types of DbOpenTable */
#define DB_TABLE_NTX 1
#define DB_TABLE_CDX 2
#define DB_TABLE_NATIVE 3

#define DB_CHARTYPE_ANSI 1
#define DB_CHARTYPE_OEM 2
#define DB_LOCKTYPE_COMPATIBLE 0
#define DB_LOCKTYPE_PROPRIETARY 1
#define DB_RIGHTS_CHECK 1
#define DB_RIGHTS_IGNORE 2

#define DB_OPEN_EXCLUSIVE 1
#define DB_OPEN_READONLY 2
#define DB_OPEN_UPDATE_PERMITTED 32 /* reported by DbGetTableOpenOptions, never passed in */
#define DB_OPEN_REINDEX 256
#define DB_OPEN_IGNORE_COLLATION 512

#define DB_RESPECT_FILTERS 1 /* DbGetRecordCount */
#define DB_IGNORE_FILTERS 2
#define DB_RESPECT_SCOPES 3

#define DB_KEY_RAW 1 /* DbSeek key types */
#define DB_KEY_TEXT 2
#define DB_SEEK_HARD 1 /* found only on an exact key, otherwise EOF */
#define DB_SEEK_SOFT 2 /* not found: the cursor stands on the next greater key (or EOF) */
/* Added to DB_SEEK_HARD: a key not found leaves the cursor where it stood, on the record it was
 * on and as it had read it, instead of at EOF (going back costs the remote server nothing). */
#define DB_SEEK_STAY 256
/* Added to either: the record found comes with the seek, for a caller that reads it next (on the
 * remote server in the same round trip; without it a seek reads the key alone). */
#define DB_SEEK_READ_RECORD 512

#define DB_INDEX_UNIQUE 2 /* DbCreateIndex options */

#define DB_RESOLVE_DYNAMIC 2 /* DbSetOptFilter option */

#define DB_TRIM_NONE 0 /* DbGetField options */
#define DB_TRIM_RIGHT 1

#define DB_PERMISSION_READ 1 /* DbGetColumnPermissions */
#define DB_PERMISSION_WRITE 2

#define DB_MAX_KEY_LENGTH 4082
#define DB_MAX_ERROR_TEXT 600

/* Field types. */
#define DB_TYPE_LOGICAL 1
#define DB_TYPE_NUMERIC 2
#define DB_TYPE_DATE 3
#define DB_TYPE_STRING 4
#define DB_TYPE_MEMO 5
#define DB_TYPE_BINARY 6
#define DB_TYPE_IMAGE 7
#define DB_TYPE_VARCHAR 8
#define DB_TYPE_COMPACTDATE 9
#define DB_TYPE_DOUBLE 10
#define DB_TYPE_INTEGER 11
#define DB_TYPE_SHORTINT 12
#define DB_TYPE_TIME 13
#define DB_TYPE_TIMESTAMP 14
#define DB_TYPE_AUTOINC 15
#define DB_TYPE_RAW 16
#define DB_TYPE_CURDOUBLE 17
#define DB_TYPE_CISTRING 20

/* --- Engine defaults (process-wide) ---------------------------------------------------- */
/* A date format of at most 11 characters from the letters D, M, Y, C (either case) and
 * separators; longer texts are cut. Anything else is refused with DBE_INVALID_ARGUMENT. */
DBRESULT DbSetDateFormat(const char *format);
DBRESULT DbGetDateFormat(char *buf, uint16_t *len);
DBRESULT DbSetDecimals(uint16_t decimals); /* decimals of doubles given as text */
DBRESULT DbGetDecimals(uint16_t *decimals);
DBRESULT DbShowDeleted(uint16_t show);
DBRESULT DbGetShowDeleted(uint16_t *show);
DBRESULT DbSetServerType(uint16_t types); /* sum of DB_SERVER_*; 0 is refused */
DBRESULT DbCacheOpenCursors(uint16_t count);
DBRESULT DbCacheOpenTables(uint16_t count);

/* --- Connections ------------------------------------------------------------------------ */
/* path: a data folder, or a dictionary file (its tables lie in its folder); a path with ".DIC"
 * anywhere in it, in any letter case, is a dictionary connection, where opens with table type
 * DB_TABLE_DICTIONARY answer DBE_NOT_IN_DICTIONARY (DataPath.h). types: the sum of DB_SERVER_*
 * the caller accepts; the local server is used when DB_SERVER_LOCAL is among them, else the
 * remote server when DB_SERVER_REMOTE is. options: compression and connection flags, accepted
 * and ignored, and DB_CONNECT_CREATE.
 *
 * The remote server: path names a data set on a PostgreSQL server (UTF-8, compared without
 * regard to case, "\" and "/" alike). The server is the one libpq's environment names (PGHOST,
 * PGPORT, PGDATABASE, PGSERVICE with its service file, PGUSER, the password file PGPASSFILE);
 * user and password, when not empty, take precedence over it. A server that cannot be
 * reached within the connect timeout (PGCONNECT_TIMEOUT, else 5 seconds) answers
 * DBE_SERVER_NOT_AVAILABLE; one that refuses the login, or asks for a password that was not
 * given, DBE_LOGIN_FAILED (a caller may ask the user and connect again); a path that names no
 * data set DBE_FILE_NOT_FOUND, unless options has DB_CONNECT_CREATE, which makes it. Tables and
 * index tags can be made inside a transaction there (their making is undone by its rollback),
 * so that several tables come into being together or not at all. */
DBRESULT DbConnect(const char *path, uint16_t types, const char *user, const char *password,
                   uint32_t options, DBHANDLE *connection);
/* Closes every table still open on the connection (answering DBE_TABLES_CLOSED then). A
 * transaction still running is rolled back (answering DBE_TRANSACTION_OPEN then). */
DBRESULT DbDisconnect(DBHANDLE connection);
DBRESULT DbGetServerType(DBHANDLE connection, uint16_t *type);

/* --- Tables ---------------------------------------------------------------------------- */
/* name: a table file path: absolute, relative to the working directory when its folder is
 * there, else relative to the connection's folder (a bare file name lives there); a file that
 * does not exist under its exact name is looked up in its folder without regard to case. */
DBRESULT DbOpenTable(DBHANDLE connection, const char *name, const char *alias, uint16_t tableType,
                     uint16_t charType, uint16_t lockType, uint16_t rights, uint32_t options,
                     DBHANDLE *table);
/* Inside a transaction see "Transactions and closing" above. */
DBRESULT DbCloseTable(DBHANDLE table);
/* fields: "NAME,TYPE,LENGTH,DECIMALS;..." with TYPE a DB_TYPE_* number; LENGTH is needed for
 * string, ci-string, numeric and raw fields and ignored for the others. The new table is
 * opened (exclusive: no) and its handle returned. */
DBRESULT DbCreateTable(DBHANDLE connection, const char *name, const char *fields, DBHANDLE *table);
/* fields: one or more field names separated by ";". */
DBRESULT DbCreateIndex(DBHANDLE table, const char *tag, const char *fields, uint32_t options,
                       DBHANDLE *index);

DBRESULT DbGetTableFilename(DBHANDLE table, char *buf, uint16_t *len);
DBRESULT DbGetRecordLength(DBHANDLE table, uint32_t *length);
DBRESULT DbGetTableOpenOptions(DBHANDLE table, uint32_t *options);
DBRESULT DbGetNumFields(DBHANDLE table, uint16_t *count);
DBRESULT DbGetFieldName(DBHANDLE table, uint16_t field, char *buf, uint16_t *len);
DBRESULT DbGetFieldNum(DBHANDLE table, const char *name, uint16_t *field);
DBRESULT DbGetFieldType(DBHANDLE table, uint16_t field, uint16_t *type);
DBRESULT DbGetFieldLength(DBHANDLE table, uint16_t field, uint32_t *length);
DBRESULT DbGetFieldDecimals(DBHANDLE table, uint16_t field, uint16_t *decimals);
DBRESULT DbGetFieldOffset(DBHANDLE table, uint16_t field, uint32_t *offset);
DBRESULT DbGetColumnPermissions(DBHANDLE table, uint16_t field, uint16_t *permissions);

/* --- Indexes -------------------------------------------------------------------------- */
/* Tags are found without regard to case. A missing tag answers DBE_INDEX_NOT_FOUND. */
DBRESULT DbGetIndexHandle(DBHANDLE table, const char *tag, DBHANDLE *index);
DBRESULT DbGetNumIndexes(DBHANDLE table, uint16_t *count);
/* number: 1 .. DbGetNumIndexes, in the engine's order (the order of creation). */
DBRESULT DbGetIndexHandleByOrder(DBHANDLE table, uint16_t number, DBHANDLE *index);
DBRESULT DbGetIndexName(DBHANDLE index, char *buf, uint16_t *len);
/* The segment field names joined by ";". */
DBRESULT DbGetIndexExpr(DBHANDLE index, char *buf, uint16_t *len);
DBRESULT DbGetIndexCondition(DBHANDLE index, char *buf, uint16_t *len);        /* empty: none */
DBRESULT DbGetScope(DBHANDLE index, uint16_t which, char *buf, uint16_t *len); /* empty */
DBRESULT DbIsIndexUnique(DBHANDLE index, uint16_t *unique);
DBRESULT DbIsIndexCustom(DBHANDLE index, uint16_t *custom);

/* --- Moving ----------------------------------------------------------------------------- */
DBRESULT DbGotoBOF(DBHANDLE order);    /* before the first record of the order */
DBRESULT DbGotoTop(DBHANDLE order);    /* the first visible record, or EOF when none */
DBRESULT DbGotoBottom(DBHANDLE order); /* the last visible record, or BOF when none */
DBRESULT DbSkip(DBHANDLE order, int32_t count);
/* Moves forward as DbSkip(order, 1) does, but first passes over records whose key neither
 * neighbour in the order shares (texts compared as DbGetField gives them, without trailing
 * blanks), at most `most` of them: it stops on the first record that shares its key with the
 * record before or after it, after `most` passed records, or at EOF. *passed is the number of
 * records left behind between the record the cursor stood on and the one it stops on (at EOF:
 * before it). A walk that only looks for equal neighbouring keys reads the others this way
 * without a call per record. On the table order (no key) it moves one record. */
DBRESULT DbSkipToSharedKey(DBHANDLE order, uint32_t most, uint32_t *passed);
DBRESULT DbAtEOF(DBHANDLE table, uint16_t *eof);
DBRESULT DbAtBOF(DBHANDLE table, uint16_t *bof);
/* Whether the current record exists and passes the filters; DBE_NO_CURRENT_RECORD (with
 * *visible 0) at BOF, at EOF and on a deleted record. */
DBRESULT DbIsRecordVisible(DBHANDLE order, uint16_t *visible);
DBRESULT DbGetRecordNum(DBHANDLE table, uint32_t *recno);
/* The bookmark is the record number. DbGetBookmark answers it also while the cursor stands on
 * a record that is gone (deleted by this handle or by another user); only BOF and EOF have none.
 * DbGotoBookmark positions in the order that last moved the cursor; a record that is gone
 * answers DBE_RECORD_NOT_FOUND and leaves the cursor at EOF. */
DBRESULT DbGetBookmark(DBHANDLE table, uint32_t *bookmark);
DBRESULT DbGotoBookmark(DBHANDLE table, uint32_t bookmark);
/* Positions on the stored record with that number (read afresh, never from a read-ahead). */
DBRESULT DbGotoRecord(DBHANDLE table, uint32_t recno);
DBRESULT DbGetRecordCount(DBHANDLE order, uint16_t filterOption, uint32_t *count);

/* --- Reading ------------------------------------------------------------------------------ */
/* The whole record image of the current record (or of the pending change). */
DBRESULT DbGetRecord(DBHANDLE table, uint8_t *buf, uint32_t *len);
/* One field as text: strings as stored (DB_TRIM_RIGHT drops trailing blanks), numbers with
 * '.', dates in the engine's date format, logicals "T"/"F", memos their text, raw fields their
 * bytes, null "". */
DBRESULT DbGetField(DBHANDLE table, uint16_t field, char *buf, uint32_t *len, uint16_t options);
/* One field's image bytes (the layout above). */
DBRESULT DbGetFieldRaw(DBHANDLE table, uint16_t field, uint8_t *buf, uint32_t *len);
DBRESULT DbIsEmpty(DBHANDLE table, uint16_t field, uint16_t *empty);
DBRESULT DbGetBinaryLength(DBHANDLE table, uint16_t field, uint32_t *len);
DBRESULT DbGetBinary(DBHANDLE table, uint16_t field, uint32_t offset, uint8_t *buf, uint32_t *len);

/* --- Seeking ------------------------------------------------------------------------------- */
/* DbInitRawKey starts a key for the index: the field setters below then fill a scratch
 * record instead of the current one, until DbBuildRawKey turns the first segments that were
 * set into a key (at most DB_MAX_KEY_LENGTH bytes) and ends the scratch mode. A string
 * segment set with fewer bytes than the field's length matches as a prefix. */
DBRESULT DbInitRawKey(DBHANDLE index);
DBRESULT DbBuildRawKey(DBHANDLE index, uint8_t *key, uint16_t *len);
/* keyType DB_KEY_RAW: a key from DbBuildRawKey. DB_KEY_TEXT: the text of the first segment,
 * converted to its type (a string compares exactly, trailing blanks not significant).
 * *found is 1 only on an exact key, and that record is then current. Seeks, like skipping,
 * only meet records that pass the filters. */
DBRESULT DbSeek(DBHANDLE index, const uint8_t *key, uint16_t len, uint16_t keyType,
                uint16_t seekType, uint16_t *found);

/* --- Filters -------------------------------------------------------------------------------- */
/* The expressions understood: terms joined by " AND ", each one of
 *   (empty(F))   (F=.TRUE.)   (F=.FALSE.)   (F=number)   (F="text")
 *   (F=ctod("date"))   (F=ctot("time"))   (F=ctots("timestamp"))
 *   (UPPER(F)=UPPER("text"))
 * where a text may contain "+ Chr(34) +" joints for double quotes. With exact off a text
 * matches every value that begins with it; with exact on (the default) the whole value must
 * equal it, trailing blanks not significant. Anything else answers DBE_EXPRESSION. */
DBRESULT DbSetFilter(DBHANDLE table, const char *expression);
DBRESULT DbSetOptFilter(DBHANDLE table, const char *expression, uint16_t options);
/* Answer DBE_INSUFFICIENT_BUFFER (5005) when a filter is set and does not fit (a call with a
 * zero-length buffer only asks whether one is set), DBE_NO_FILTER (5037) when none is set. */
DBRESULT DbGetFilter(DBHANDLE table, char *buf, uint16_t *len);
DBRESULT DbGetOptFilter(DBHANDLE table, char *buf, uint16_t *len);
DBRESULT DbClearFilter(DBHANDLE table);
DBRESULT DbClearOptFilter(DBHANDLE table);
DBRESULT DbGetExact(uint16_t *exact);
DBRESULT DbSetExact(uint16_t exact);
/* Evaluates an expression on the current record. */
DBRESULT DbEvalLogicalExpr(DBHANDLE table, const char *expression, uint16_t *result);

/* --- Changing ------------------------------------------------------------------------------- */
/* recno 0 means the current record. */
DBRESULT DbLockRecord(DBHANDLE table, uint32_t recno);
DBRESULT DbUnlockRecord(DBHANDLE table, uint32_t recno);
DBRESULT DbIsRecordLocked(DBHANDLE table, uint32_t recno, uint16_t *locked);
/* Starts a new record (all fields null); DbWriteRecord appends it and makes it current. */
DBRESULT DbAppendRecord(DBHANDLE table);
/* Sets a field from text (converted as DbGetField writes it). len is the text's length; a zero
 * byte ends the text early, and only zero bytes and blanks may follow it (raw fields take all
 * len bytes). The value is stored exactly or refused with DBE_VALUE_INVALID, naming the field
 * and the reason, and the field keeps its value: a text longer than a string or raw field
 * (blanks past its end aside) and a zero byte with more text after it. The same holds for keys: a
 * key text longer than its field is refused, never cut to a match. */
DBRESULT DbSetField(DBHANDLE table, uint16_t field, const char *text, uint32_t len);
/* The field's image bytes; a string or raw image may be longer when the rest is padding
 * (blanks or zero bytes), and a string image must not go on after a zero byte. */
DBRESULT DbSetFieldRaw(DBHANDLE table, uint16_t field, const uint8_t *buf, uint32_t len);
DBRESULT DbSetEmpty(DBHANDLE table, uint16_t field);
DBRESULT DbSetBinary(DBHANDLE table, uint16_t field, const uint8_t *buf, uint32_t len);
DBRESULT DbWriteRecord(DBHANDLE table);
DBRESULT DbCancelUpdate(DBHANDLE table);
DBRESULT DbDeleteRecord(DBHANDLE table);
/* One transaction around the writes and deletes of this table handle until commit or
 * rollback; a failed write inside it leaves the others. Not nested. On the remote server all
 * tables of a connection share one session, so the writes of the connection's other tables
 * made meanwhile belong to it as well. */
DBRESULT DbBeginTransaction(DBHANDLE table);
DBRESULT DbCommitTransaction(DBHANDLE table);
DBRESULT DbRollbackTransaction(DBHANDLE table);
/* One transaction around everything the connection's open tables read and write until commit
 * or rollback, for a change that must rest on what it has just read (the deletion's checks
 * and the deletion). While it runs no other connection writes to those tables: the local
 * server holds each writable table's write lock (one transaction per table file, committed
 * one after another), the remote server one transaction that locks the tables against other
 * writers (a lock not had within 15 s answers DBE_RECORD_LOCKED). Record locks of other
 * connections still hold: a write or delete of a locked record fails with DBE_RECORD_LOCKED
 * and leaves the transaction usable. Not nested, and not together with DbBeginTransaction. */
DBRESULT DbBeginConnectionTransaction(DBHANDLE connection);
DBRESULT DbCommitConnectionTransaction(DBHANDLE connection);
DBRESULT DbRollbackConnectionTransaction(DBHANDLE connection);

/* --- Checking ------------------------------------------------------------------------------ */
/* Checks the whole table file with the storage's own integrity check: every record, every
 * index entry and the file's structure. *problems is the number of findings, 0 when it found
 * none; buf gets them, one per line (German where the engine knows the finding), as much as
 * fits as with DbGetField. It reads the whole file: it takes long on a big table. */
DBRESULT DbCheckTable(DBHANDLE table, uint32_t *problems, char *buf, uint32_t *len);

/* --- Errors ------------------------------------------------------------------------------------
 */
/* The text has at most DB_MAX_ERROR_TEXT characters. */
DBRESULT DbGetLastError(uint32_t *error, char *buf, uint16_t *len);
DBRESULT DbGetErrorString(uint32_t error, char *buf, uint16_t *len);
/* The record the last error concerns when that is not the failing call's own record, else 0: on
 * the remote server, a record appended inside a transaction whose key a unique tag has already
 * is refused only when its batch is sent (by a later write, a read or the commit); the
 * DBE_DUPLICATE_KEY of that call names the refused record's number here, so that a caller can
 * tell which of its records it was. */
DBRESULT DbGetLastErrorRecord(uint32_t *recno);
DBRESULT DbSetLastError(uint32_t error, const char *text);
/* Writes the last error with the title to the standard error stream. */
DBRESULT DbShowError(const char *title);

#ifdef __cplusplus
}
#endif

#endif /* DUPCHECK_DBENG_H */
