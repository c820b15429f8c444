#pragma once
// The record a command line describes, for the commands that act on a page's template (`write`,
// `submit`): KIND NAME [--set FIELD=VALUE]... [--action N|M|D] [--public Y|N].
#include "templates/recordmodel.h"

#include <QStringList>

struct RecordArguments {
    RecordKind kind = RecordKind::Domain;
    QString name;
    QStringList settings; // the --set values in order
    QString action;       // "N", "M" or "D"
    QString publicFlag;   // "Y" or "N"; contacts only
    bool publicGiven = false;
};

// Takes the words apart; a malformed command line raises CliUsageError.
RecordArguments ParseRecordArguments(QStringList args);

// The record as the window would hold it: every field empty, then the name's record file when it
// exists (as typing the name does), then each --set, the action and the public flag. An unsafe
// name or an unreadable record file raises its file error; a bad --set raises CliUsageError.
Record BuildRecord(const RecordArguments& parsed);
