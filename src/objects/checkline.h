#pragma once
// What the check before mailing says about an object: one line per finding, "ok", "notice",
// "warning" or "error" padded to eight characters as the name-server check's lines are, then the
// attribute the finding is about and the finding in the registry's words (or the program's own).
#include <QString>
#include <vector>

// A notice (only the name-server check gives them) tells a fact that needs no change.
enum class CheckVerdict { Ok, Notice, Warning, Error };

struct ObjectCheckLine {
    CheckVerdict verdict = CheckVerdict::Ok;
    QString attribute; // the attribute at fault; empty for the object as a whole
    QString text;
    // "error   nic-hdl: Syntax error in FP1-fred (...)"
    QString Rendered() const;
};
using ObjectCheckLines = std::vector<ObjectCheckLine>;

int CountVerdicts(const ObjectCheckLines& lines, CheckVerdict verdict);
// "N objects: N warnings, N errors".
QString CheckSummary(int objects, int warnings, int errors);
