#include "grid/GridSearch.h"

#include "data/DataSet.h"
#include "data/Field.h"
#include "platform/Convert.h"
#include "platform/Exception.h"

GridSearch::Result GridSearch::Type(QChar c) {
    const char16_t code = c.unicode();
    if (code == 27) {
        const bool was = Active();
        m_text.clear();
        return was ? Result::Closed : Result::Ignored;
    }
    if (code == 8) {
        if (!Active())
            return Result::Ignored;
        m_text.chop(1);
        return Active() ? Result::Changed : Result::Closed;
    }
    if (code == u' ' || code >= 42) {
        m_text += c;
        return Result::Changed;
    }
    return Result::Ignored;
}

GridSearch::Result GridSearch::Paste(const QString &clipboard) {
    const bool was = Active();
    m_text = Convert::trim(clipboard).left(MaxPastedLength);
    if (Active())
        return Result::Changed;
    return was ? Result::Closed : Result::Ignored;
}

std::optional<QVariant> SearchValueFor(const TField *field, const QString &text) {
    if (!field)
        return std::nullopt;
    switch (field->DataType()) {
    case ftString:
        return QVariant(text);
    case ftBoolean: {
        const std::optional<qint64> number = Convert::toInt64(text);
        if (!number)
            return QVariant(false);
        if (*number == 0 || *number == 1)
            return QVariant(*number == 1);
        return std::nullopt;
    }
    case ftSmallint:
    case ftInteger:
    case ftAutoInc:
    case ftFloat:
    case ftCurrency:
    case ftDate:
    case ftDateTime:
        try {
            const QVariant value = field->Convert(QVariant(text));
            // A text of blanks converts to null, which is no value to search for.
            if (!value.isValid() || value.isNull())
                return std::nullopt;
            return value;
        } catch (const Exception &) {
            return std::nullopt;
        }
    default:
        return std::nullopt;
    }
}
