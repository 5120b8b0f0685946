#pragma once

#include <QString>
#include <stdexcept>

namespace endomira {

// A database failure as the client library reports it; the text is the client's own.
class TShellDatabaseError : public std::runtime_error {
public:
    explicit TShellDatabaseError(const QString& text)
        : std::runtime_error(text.toStdString()), Text_(text) {}
    const QString& Text() const { return Text_; }

private:
    QString Text_;
};

// What the main window and the about box need of the data module.
class IShellDatabase {
public:
    virtual ~IShellDatabase() = default;
    // Connects to "localhost:" + path, waits 300 ms, starts the transaction and opens the
    // patient list. Throws TShellDatabaseError with the client's message.
    virtual void Open(const QString& path) = 0;
    // DB_VERSION of the first row of DB_INFO. Throws TShellDatabaseError.
    virtual QString Version() = 0;
    // The maintenance panel's "Alter Table": drops INTEG_6 and makes PAC_CPF optional, stopping
    // at the first statement that fails. Throws TShellDatabaseError.
    virtual void AlterPatientTable() = 0;
};

} // namespace endomira
