#pragma once
// Records and expected template texts shared by the writer tests.
#include "templates/recordmodel.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

// 7 March 2026, 14:05:09 UTC, and the line the US English locale makes of it.
QDateTime FixedTime();
extern const char* const kFixedProcessedLine;

// Stamps templates with FixedTime() in US English while it lives.
struct FixedTemplateClock {
    FixedTemplateClock();
    ~FixedTemplateClock();
};

// A record of `kind` whose every field holds "v-" + its control name, with every selector
// picked from its list (the last item), action "M" and public flag "Y".
Record FilledRecord(RecordKind kind);

// The expected file text with LF line ends, turned into the file's bytes: CR LF after every line.
QByteArray CrLf(const char* text);
// The agreement's source text as CR LF lines.
QByteArray AgreementBytes();
