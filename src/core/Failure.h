#pragma once

#include <QString>
#include <exception>

// A failure as the window reports it: an error number, the help-context number
// that the status label shows after "ERROR:", and a description for people.
//
// Conversion and index failures carry 1000000 + their error number as help
// context; socket failures carry their Winsock-style code as both numbers.
class Failure : public std::exception {
public:
    enum Number : int {
        Overflow = 6,
        SubscriptOutOfRange = 9,
        TypeMismatch = 13,
        // Counts as success wherever a send reports its result.
        TreatedAsSuccess = 126,
    };
    static constexpr int ConversionHelpBase = 1000000;

    Failure(int number, int helpContext, QString description)
        : m_number(number), m_helpContext(helpContext), m_description(std::move(description))
    {
    }

    static Failure typeMismatch(const QString& what);
    static Failure overflow(const QString& what);
    static Failure subscriptOutOfRange(const QString& what);
    static Failure socket(int code, const QString& what);

    int number() const { return m_number; }
    int helpContext() const { return m_helpContext; }
    const QString& description() const { return m_description; }
    const char* what() const noexcept override { return "Tarnel failure"; }

private:
    int m_number;
    int m_helpContext;
    QString m_description;
};
