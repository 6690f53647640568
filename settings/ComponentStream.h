// The binary component stream in which the host stores whole objects (the address grid's cells,
// Ident 754, and the automatic document actions, Ident 1511), read into a neutral tree and
// written back from it.
//
// Format (all integers little-endian):
//   stream     "TPF0" object
//   object     [prefix] class-name object-name property* 0 object* 0
//   prefix     one byte 0xF0..0xFF whose low bits are filer flags; with flag value 2 (child
//              position) an integer value follows
//   name       one length byte and that many bytes
//   property   name value
//   value      a tag byte, then:
//     0 end of list          1 list: value* 0          2/3/4 integer of 1/2/4 bytes (signed)
//     5 extended float (10 bytes)    6 text, length byte    7 identifier, length byte
//     8 false   9 true       10 binary, 4-byte length   11 set: names ended by an empty one
//     12 text, 4-byte length         13 nil             14 collection: item* 0
//     15 single float        16 currency (8 bytes, value times 10000)     17 date (8 bytes)
//     18 UTF-16 text, 4-byte length in characters     19 64-bit integer
//     20 UTF-8 text, 4-byte length
//   item       [integer value: the item's order] 1 property* 0
// Texts of tags 6 and 12 are Windows-1252 bytes. Properties at their default are not written.
//
// The reader checks every length against the bytes left and refuses unknown tags and nesting
// deeper than MaxDepth, raising EReadError: a damaged stream never reads past its end.
#pragma once

#include "platform/Exception.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>
#include <utility>
#include <vector>

DUPCHECK_EXCEPTION_CLASS(EReadError, Exception)

enum class TValueType : quint8 {
    Null = 0,
    List = 1,
    Int8 = 2,
    Int16 = 3,
    Int32 = 4,
    Extended = 5,
    String = 6,
    Ident = 7,
    False = 8,
    True = 9,
    Binary = 10,
    Set = 11,
    LString = 12,
    Nil = 13,
    Collection = 14,
    Single = 15,
    Currency = 16,
    Date = 17,
    WString = 18,
    Int64 = 19,
    Utf8String = 20,
};

struct TStreamValue;
using TStreamProperties = std::vector<std::pair<QString, TStreamValue>>;

struct TStreamItem {
    std::optional<qint64> order;
    TStreamProperties properties;
};

struct TStreamValue {
    TValueType type = TValueType::Nil;
    qint64 integer = 0; // Int8 .. Int64; Currency as its value times 10000
    double real = 0;    // Extended, Single, Date
    QString text;       // texts and identifiers
    QByteArray bytes;   // Binary
    QStringList names;  // Set
    std::vector<TStreamValue> list;
    std::vector<TStreamItem> items;

    static TStreamValue Integer(qint64 value);
    static TStreamValue Boolean(bool value);
    static TStreamValue Text(const QString &value);
    static TStreamValue Identifier(const QString &value);

    bool IsInteger() const;
    bool IsText() const;
    bool IsBoolean() const { return type == TValueType::False || type == TValueType::True; }
};

struct TStreamObject {
    QString className;
    QString name;
    std::optional<quint8> filerFlags;
    std::optional<qint64> childPosition;
    TStreamProperties properties;
    std::vector<TStreamObject> children;
};

namespace ComponentStream {

constexpr int MaxDepth = 32;

// Raises EReadError for a damaged stream.
TStreamObject Read(const QByteArray &stream);
// The stream for an object: integers in the smallest tag, texts as Windows-1252 (tag 6, or 12
// above 255 bytes) unless they hold a character without a Windows-1252 code (tag 20).
QByteArray Write(const TStreamObject &root);

} // namespace ComponentStream
