#include "platform/Exception.h"

Exception::Exception(QString message) : m_message(std::move(message)) {
    m_utf8 = m_message.toStdString();
}

Exception::~Exception() = default;

void Exception::setMessage(const QString &message) {
    m_message = message;
    m_utf8 = m_message.toStdString();
}

void Abort() {
    throw EAbort(QStringLiteral("Operation abgebrochen"));
}
