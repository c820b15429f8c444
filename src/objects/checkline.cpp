#include "objects/checkline.h"

QString ObjectCheckLine::Rendered() const {
    const char* word = verdict == CheckVerdict::Ok        ? "ok"
                       : verdict == CheckVerdict::Notice  ? "notice"
                       : verdict == CheckVerdict::Warning ? "warning"
                                                          : "error";
    return QString::fromLatin1(word).leftJustified(8, ' ') +
           (attribute.isEmpty() ? text : attribute + ": " + text);
}

int CountVerdicts(const ObjectCheckLines& lines, CheckVerdict verdict) {
    int n = 0;
    for (const ObjectCheckLine& line : lines)
        n += line.verdict == verdict;
    return n;
}

QString CheckSummary(int objects, int warnings, int errors) {
    return QString("%1 %2: %3 warnings, %4 errors")
        .arg(objects)
        .arg(objects == 1 ? "object" : "objects")
        .arg(warnings)
        .arg(errors);
}
