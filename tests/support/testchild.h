#pragma once
// A test that needs a program of its own to end abruptly (a kill while a box is open) starts its
// own test program again as a child: the child runs one registered function, after the program's
// application object exists, instead of the tests. The variable REGISCRIBE_TEST_CHILD names it;
// its value is the child's argument.
#include <QString>

using TestChildMain = int (*)(const QString& argument);

// Registers a child under `name` (at static initialisation).
struct TestChild {
    TestChild(const char* name, TestChildMain main);
};

// The exit code of the child the environment asks for, or -1 when it asks for none.
int RunRequestedTestChild();
// The environment entry that starts the child `name` with `argument`.
QString TestChildVariable(const char* name, const QString& argument);
