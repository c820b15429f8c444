#include "lookup/cwinsock.h"

#include "lookup/lcerrors.h"

CWinsock::CWinsock(QObject* parent) : QObject(parent) {}

CWinsock::~CWinsock() {
    raiseOnError_ = false;
    SetWinsockLoaded(false);
}

void CWinsock::SetWinsockLoaded(bool on) {
    if (on == loaded_) return;
    loaded_ = on;
    info_ = on ? QStringLiteral("BSD sockets, version 1.1 compatible") : QString();
}

void CWinsock::RaiseError(int code, const QString& text) {
    lastError_ = code;
    lastErrorText_ = text.isNull() ? LcErrorText(code) : text;
    if (raiseOnError_) throw ElcIPPort(code, lastErrorText_);
}
