// The RDAP renderer on any JSON, as any kind of answer: it ends, and every line it gives is one
// line of text in which no control character and no bidirectional control can forge or reorder
// what the line says.
#include "fuzzinput.h"
#include "lookup/rdaprender.h"

#include <QJsonDocument>
#include <QJsonObject>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput input(data, size);
    const QJsonDocument document = QJsonDocument::fromJson(input.Rest());
    if (!document.isObject()) return 0;
    const QJsonObject answer = document.object();
    for (const char* kind : {"domain", "ip network", "autnum", "nameserver", "entity"})
        for (const QString& line : RenderRdap(answer, QString::fromLatin1(kind)))
            for (QChar c : line) {
                const char16_t u = c.unicode();
                if (c.category() == QChar::Other_Control)
                    PropertyFailed("a rendered line holds a control character", line.toUtf8());
                if (u == 0x061C || u == 0x200E || u == 0x200F || (u >= 0x202A && u <= 0x202E) ||
                    (u >= 0x2066 && u <= 0x2069))
                    PropertyFailed("a rendered line holds a bidirectional control", line.toUtf8());
            }
    RegistrarLink(answer);
    return 0;
}
