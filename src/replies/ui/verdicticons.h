#pragma once
// The marks of an object's result in the reply pane: a green tick for done, a red cross for
// refused. Drawn at run time at the screen's pixel ratio, like the program's other pictures.
#include "replies/replyverdict.h"

#include <QIcon>

QIcon VerdictIcon(ReplyStatus result);
