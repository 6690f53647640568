#include "settings/ComponentStream.h"

#include "platform/Cp1252.h"

#include <QtEndian>

#include <cmath>
#include <cstring>

TStreamValue TStreamValue::Integer(qint64 value) {
    TStreamValue v;
    v.type = TValueType::Int64;
    v.integer = value;
    return v;
}

TStreamValue TStreamValue::Boolean(bool value) {
    TStreamValue v;
    v.type = value ? TValueType::True : TValueType::False;
    return v;
}

TStreamValue TStreamValue::Text(const QString &value) {
    TStreamValue v;
    v.type = TValueType::LString;
    v.text = value;
    return v;
}

TStreamValue TStreamValue::Identifier(const QString &value) {
    TStreamValue v;
    v.type = TValueType::Ident;
    v.text = value;
    return v;
}

bool TStreamValue::IsInteger() const {
    return type == TValueType::Int8 || type == TValueType::Int16 || type == TValueType::Int32 ||
           type == TValueType::Int64;
}

bool TStreamValue::IsText() const {
    return type == TValueType::String || type == TValueType::LString ||
           type == TValueType::WString || type == TValueType::Utf8String;
}

namespace {

// --- 80-bit extended floats ---------------------------------------------------------------

double extendedToDouble(const uchar *p) {
    const quint64 mantissa = qFromLittleEndian<quint64>(p);
    const quint16 signExp = qFromLittleEndian<quint16>(p + 8);
    const bool negative = signExp & 0x8000;
    const int exponent = signExp & 0x7FFF;
    double value;
    if (exponent == 0 && mantissa == 0)
        value = 0;
    else if (exponent == 0x7FFF)
        value = (mantissa << 1) == 0 ? INFINITY : NAN;
    else
        value = std::ldexp(double(mantissa), exponent - 16383 - 63);
    return negative ? -value : value;
}

void doubleToExtended(double value, uchar *p) {
    quint64 mantissa = 0;
    quint16 signExp = std::signbit(value) ? 0x8000 : 0;
    value = std::fabs(value);
    if (std::isnan(value)) {
        signExp |= 0x7FFF;
        mantissa = 0xC000000000000000ull;
    } else if (std::isinf(value)) {
        signExp |= 0x7FFF;
        mantissa = 0x8000000000000000ull;
    } else if (value != 0) {
        int exponent = 0;
        const double fraction = std::frexp(value, &exponent); // value = fraction * 2^exponent
        mantissa = quint64(std::ldexp(fraction, 64));
        signExp |= quint16(exponent - 1 + 16383);
    }
    qToLittleEndian(mantissa, p);
    qToLittleEndian(signExp, p + 8);
}

// --- Reading --------------------------------------------------------------------------------

class Reader {
public:
    explicit Reader(const QByteArray &data)
        : m_p(reinterpret_cast<const uchar *>(data.constData())), m_size(data.size()) {}

    TStreamObject ReadStream() {
        if (Bytes(4) != QByteArrayLiteral("TPF0"))
            Fail(QStringLiteral("kein Komponentenstrom (Kennung TPF0 fehlt)"));
        // Bytes after the root object are not looked at, as the host's own reader leaves them.
        return ReadObject(0);
    }

private:
    [[noreturn]] void Fail(const QString &what) const {
        throw EReadError(
            QStringLiteral("Fehlerhafter Komponentenstrom an Byte %1: %2").arg(m_pos).arg(what));
    }

    void Need(qint64 count) const {
        if (count < 0 || count > m_size - m_pos)
            Fail(QStringLiteral("Länge über das Ende hinaus"));
    }

    quint8 Byte() {
        Need(1);
        return m_p[m_pos++];
    }

    quint8 PeekByte() const {
        Need(1);
        return m_p[m_pos];
    }

    QByteArray Bytes(qint64 count) {
        Need(count);
        QByteArray out(reinterpret_cast<const char *>(m_p + m_pos), qsizetype(count));
        m_pos += count;
        return out;
    }

    template <typename T>
    T Fixed() {
        Need(sizeof(T));
        const T value = qFromLittleEndian<T>(m_p + m_pos);
        m_pos += sizeof(T);
        return value;
    }

    QString ShortName() { return Cp1252::toQString(Bytes(Byte())); }

    void Enter(int depth) const {
        if (depth > ComponentStream::MaxDepth)
            Fail(QStringLiteral("zu tief verschachtelt"));
    }

    TStreamObject ReadObject(int depth) {
        Enter(depth);
        TStreamObject object;
        if ((PeekByte() & 0xF0) == 0xF0) {
            const quint8 flags = Byte() & 0x0F;
            object.filerFlags = flags;
            if (flags & 0x02) {
                const TStreamValue position = ReadValue(depth + 1);
                if (!position.IsInteger())
                    Fail(QStringLiteral("Position ist keine Zahl"));
                object.childPosition = position.integer;
            }
        }
        object.className = ShortName();
        object.name = ShortName();
        object.properties = ReadProperties(depth);
        while (PeekByte() != 0)
            object.children.push_back(ReadObject(depth + 1));
        Byte();
        return object;
    }

    TStreamProperties ReadProperties(int depth) {
        TStreamProperties properties;
        while (PeekByte() != 0) {
            QString name = ShortName();
            properties.emplace_back(std::move(name), ReadValue(depth + 1));
        }
        Byte();
        return properties;
    }

    TStreamValue ReadValue(int depth) {
        Enter(depth);
        TStreamValue v;
        const quint8 tag = Byte();
        if (tag > quint8(TValueType::Utf8String))
            Fail(QStringLiteral("unbekannte Kennung %1").arg(tag));
        v.type = TValueType(tag);
        switch (v.type) {
        case TValueType::Null:
            Fail(QStringLiteral("Listenende an Stelle eines Werts"));
        case TValueType::List:
            while (PeekByte() != 0)
                v.list.push_back(ReadValue(depth + 1));
            Byte();
            break;
        case TValueType::Int8:
            v.integer = qint8(Byte());
            break;
        case TValueType::Int16:
            v.integer = Fixed<qint16>();
            break;
        case TValueType::Int32:
            v.integer = Fixed<qint32>();
            break;
        case TValueType::Int64:
            v.integer = Fixed<qint64>();
            break;
        case TValueType::Extended: {
            Need(10);
            v.real = extendedToDouble(m_p + m_pos);
            m_pos += 10;
            break;
        }
        case TValueType::Single: {
            const quint32 bits = Fixed<quint32>();
            float f;
            std::memcpy(&f, &bits, sizeof f);
            v.real = f;
            break;
        }
        case TValueType::Date: {
            const quint64 bits = Fixed<quint64>();
            std::memcpy(&v.real, &bits, sizeof v.real);
            break;
        }
        case TValueType::Currency:
            v.integer = Fixed<qint64>();
            break;
        case TValueType::String:
        case TValueType::Ident:
            v.text = ShortName();
            break;
        case TValueType::LString:
            v.text = Cp1252::toQString(Bytes(Fixed<quint32>()));
            break;
        case TValueType::Utf8String:
            v.text = QString::fromUtf8(Bytes(Fixed<quint32>()));
            break;
        case TValueType::WString: {
            const QByteArray raw = Bytes(qint64(Fixed<quint32>()) * 2);
            v.text.resize(raw.size() / 2);
            for (qsizetype i = 0; i < v.text.size(); ++i)
                v.text[i] = QChar(qFromLittleEndian<quint16>(raw.constData() + 2 * i));
            break;
        }
        case TValueType::Binary:
            v.bytes = Bytes(Fixed<quint32>());
            break;
        case TValueType::Set:
            for (QString name = ShortName(); !name.isEmpty(); name = ShortName())
                v.names << name;
            break;
        case TValueType::Collection:
            while (PeekByte() != 0) {
                TStreamItem item;
                if (PeekByte() != quint8(TValueType::List)) {
                    const TStreamValue order = ReadValue(depth + 1);
                    if (!order.IsInteger())
                        Fail(QStringLiteral("Reihenfolge eines Elements ist keine Zahl"));
                    item.order = order.integer;
                }
                if (Byte() != quint8(TValueType::List))
                    Fail(QStringLiteral("Element einer Sammlung beginnt nicht mit einer Liste"));
                item.properties = ReadProperties(depth + 1);
                v.items.push_back(std::move(item));
            }
            Byte();
            break;
        case TValueType::False:
        case TValueType::True:
        case TValueType::Nil:
            break;
        }
        return v;
    }

    const uchar *m_p;
    qint64 m_size;
    qint64 m_pos = 0;
};

// --- Writing --------------------------------------------------------------------------------

class Writer {
public:
    QByteArray Take() { return std::move(m_out); }

    void Object(const TStreamObject &object) {
        if (object.filerFlags || object.childPosition) {
            quint8 flags = object.filerFlags.value_or(0) & 0x0F;
            if (object.childPosition)
                flags |= 0x02;
            Byte(0xF0 | flags);
            if (object.childPosition)
                Value(TStreamValue::Integer(*object.childPosition));
        }
        ShortName(object.className);
        ShortName(object.name);
        Properties(object.properties);
        for (const TStreamObject &child : object.children)
            Object(child);
        Byte(0);
    }

    void Raw(const char *bytes, qsizetype n) { m_out.append(bytes, n); }

private:
    void Byte(quint8 b) { m_out.append(char(b)); }
    void Tag(TValueType t) { Byte(quint8(t)); }

    template <typename T>
    void Fixed(T value) {
        char buf[sizeof(T)];
        qToLittleEndian(value, buf);
        m_out.append(buf, sizeof buf);
    }

    void ShortName(const QString &name) {
        const QByteArray bytes = Cp1252::fromQString(name).left(255);
        Byte(quint8(bytes.size()));
        m_out.append(bytes);
    }

    void Properties(const TStreamProperties &properties) {
        for (const auto &[name, value] : properties) {
            ShortName(name);
            Value(value);
        }
        Byte(0);
    }

    void IntegerValue(qint64 v) {
        if (v >= -128 && v <= 127) {
            Tag(TValueType::Int8);
            Byte(quint8(qint8(v)));
        } else if (v >= -32768 && v <= 32767) {
            Tag(TValueType::Int16);
            Fixed(qint16(v));
        } else if (v >= INT32_MIN && v <= INT32_MAX) {
            Tag(TValueType::Int32);
            Fixed(qint32(v));
        } else {
            Tag(TValueType::Int64);
            Fixed(v);
        }
    }

    void TextValue(const QString &text) {
        bool ansi = true;
        for (QChar c : text)
            ansi = ansi && Cp1252::isRepresentable(c);
        if (!ansi) {
            const QByteArray utf8 = text.toUtf8();
            Tag(TValueType::Utf8String);
            Fixed(quint32(utf8.size()));
            m_out.append(utf8);
            return;
        }
        const QByteArray bytes = Cp1252::fromQString(text);
        if (bytes.size() <= 255) {
            Tag(TValueType::String);
            Byte(quint8(bytes.size()));
        } else {
            Tag(TValueType::LString);
            Fixed(quint32(bytes.size()));
        }
        m_out.append(bytes);
    }

    void Value(const TStreamValue &v) {
        switch (v.type) {
        case TValueType::Int8:
        case TValueType::Int16:
        case TValueType::Int32:
        case TValueType::Int64:
            IntegerValue(v.integer);
            break;
        case TValueType::String:
        case TValueType::LString:
        case TValueType::Utf8String:
            TextValue(v.text);
            break;
        case TValueType::WString:
            Tag(TValueType::WString);
            Fixed(quint32(v.text.size()));
            for (QChar c : v.text)
                Fixed(quint16(c.unicode()));
            break;
        case TValueType::Ident:
            Tag(TValueType::Ident);
            ShortName(v.text);
            break;
        case TValueType::List:
            Tag(TValueType::List);
            for (const TStreamValue &element : v.list)
                Value(element);
            Byte(0);
            break;
        case TValueType::Extended: {
            Tag(TValueType::Extended);
            uchar buf[10];
            doubleToExtended(v.real, buf);
            m_out.append(reinterpret_cast<const char *>(buf), 10);
            break;
        }
        case TValueType::Single: {
            Tag(TValueType::Single);
            const float f = float(v.real);
            quint32 bits;
            std::memcpy(&bits, &f, sizeof bits);
            Fixed(bits);
            break;
        }
        case TValueType::Date: {
            Tag(TValueType::Date);
            quint64 bits;
            std::memcpy(&bits, &v.real, sizeof bits);
            Fixed(bits);
            break;
        }
        case TValueType::Currency:
            Tag(TValueType::Currency);
            Fixed(v.integer);
            break;
        case TValueType::Binary:
            Tag(TValueType::Binary);
            Fixed(quint32(v.bytes.size()));
            m_out.append(v.bytes);
            break;
        case TValueType::Set:
            Tag(TValueType::Set);
            for (const QString &name : v.names)
                ShortName(name);
            Byte(0);
            break;
        case TValueType::Collection:
            Tag(TValueType::Collection);
            for (const TStreamItem &item : v.items) {
                if (item.order)
                    IntegerValue(*item.order);
                Tag(TValueType::List);
                Properties(item.properties);
            }
            Byte(0);
            break;
        case TValueType::False:
        case TValueType::True:
        case TValueType::Nil:
        case TValueType::Null:
            Tag(v.type == TValueType::Null ? TValueType::Nil : v.type);
            break;
        }
    }

    QByteArray m_out;
};

} // namespace

namespace ComponentStream {

TStreamObject Read(const QByteArray &stream) {
    return Reader(stream).ReadStream();
}

QByteArray Write(const TStreamObject &root) {
    Writer w;
    w.Raw("TPF0", 4);
    w.Object(root);
    return w.Take();
}

} // namespace ComponentStream
