// The program's exception hierarchy. Every failure is an exception that carries a message
// text; the root is Exception, so one catch clause sees them all. EAbort is the silent
// exception: it ends an operation and is shown nowhere.
#pragma once

#include <QString>

#include <exception>
#include <string>

class Exception : public std::exception {
public:
    explicit Exception(QString message = {});
    ~Exception() override;

    const QString &message() const { return m_message; }
    void setMessage(const QString &message);
    const char *what() const noexcept override { return m_utf8.c_str(); }

    // Lets a catch site that holds only a reference rethrow the exception's real type.
    [[noreturn]] virtual void raise() const { throw *this; }

private:
    QString m_message;
    std::string m_utf8;
};

#define DUPCHECK_EXCEPTION_CLASS(Name, Base)                                                       \
    class Name : public Base {                                                                     \
    public:                                                                                        \
        using Base::Base;                                                                          \
        [[noreturn]] void raise() const override { throw *this; }                                  \
    };

DUPCHECK_EXCEPTION_CLASS(EAbort, Exception)
DUPCHECK_EXCEPTION_CLASS(EConvertError, Exception)
DUPCHECK_EXCEPTION_CLASS(EInOutError, Exception)
DUPCHECK_EXCEPTION_CLASS(EDatabaseError, Exception)

// Ends the running operation without any message.
[[noreturn]] void Abort();
