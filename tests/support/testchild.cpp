#include "support/testchild.h"

#include <QByteArray>
#include <map>
#include <string>

namespace {
const char kVariable[] = "REGISCRIBE_TEST_CHILD";

std::map<std::string, TestChildMain>& Children() {
    static std::map<std::string, TestChildMain> children;
    return children;
}
} // namespace

TestChild::TestChild(const char* name, TestChildMain main) {
    Children()[name] = main;
}

int RunRequestedTestChild() {
    const QString request = qEnvironmentVariable(kVariable);
    if (request.isEmpty()) return -1;
    const qsizetype colon = request.indexOf(':');
    const auto child = Children().find(request.left(colon).toStdString());
    if (child == Children().end()) return 2;
    return child->second(colon < 0 ? QString() : request.mid(colon + 1));
}

QString TestChildVariable(const char* name, const QString& argument) {
    return QString(kVariable) + '=' + name + ':' + argument;
}
