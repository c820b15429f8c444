#pragma once
// Starting another program: the one way this program does it (posix_spawn, with signals as a
// freshly started program has them, whatever the starting thread blocks). Only the descriptors
// named reach the child.
#include "platform/result.h"

#include <QByteArray>
#include <QList>
#include <sys/types.h>

struct ChildDescriptor {
    int parent; // a descriptor of ours; -1 for /dev/null
    int child;  // the number it has in the child
};

struct ChildStart {
    QByteArray program;          // a full path
    QList<QByteArray> arguments; // after the program's own name
    QList<ChildDescriptor> descriptors;
    bool ownGroup = false; // the child leads a process group of its own
};

// The started child's process id, or the system's words for why it could not start.
Result<pid_t> StartChild(const ChildStart& start);
