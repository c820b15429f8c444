#pragma once
// The socket-interface base of the line-oriented client: the loaded state of the interface, the
// last error, and the one place where errors are recorded and raised.
#include <QObject>
#include <QString>
#include <functional>

// OnError (Sender, ErrorCode, Description).
using TErrorEvent = std::function<void(QObject* sender, int errorCode, const QString& description)>;

class CWinsock : public QObject {
    Q_OBJECT
public:
    explicit CWinsock(QObject* parent = nullptr);
    ~CWinsock() override;

    // The POSIX socket interface is always present, so loading only records the state. Until it is
    // loaded every socket operation fails with 10093.
    bool WinsockLoaded() const { return loaded_; }
    void SetWinsockLoaded(bool on);
    QString WinsockInfo() const { return info_; }
    QString WinsockStatus() const {
        return loaded_ ? QStringLiteral("Running") : QStringLiteral("Down");
    }

    int LastError() const { return lastError_; }
    QString LastErrorText() const { return lastErrorText_; }

    TErrorEvent OnError;

protected:
    // Records the error (with `text`, or the error text of the code when `text` is null) and,
    // while raising is on, throws ElcIPPort. Callers return after it: it may not throw.
    void RaiseError(int code, const QString& text = QString());
    bool raiseOnError_ = true;

private:
    bool loaded_ = false;
    QString info_;
    int lastError_ = 0;
    QString lastErrorText_;
};
