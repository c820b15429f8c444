// The object reader on any text (a WHOIS answer, a file, a mail body): every object written and
// read again is written the same, with the same attributes and the same clean values (what the
// check judges is what goes out); no line written ends in a blank. An object holding a malformed
// line is left out: the check refuses it, so it is never mailed.
#include "fuzzinput.h"
#include "objects/rpslobject.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput input(data, size);
    const std::vector<RpslObject> objects = ParseObjects(QString::fromUtf8(input.Rest()));
    for (const RpslObject& object : objects) {
        bool malformed = false;
        for (const RpslAttribute& a : object.attributes)
            malformed = malformed || a.malformed;
        if (malformed) continue;
        const QString text = ObjectText(object);
        for (const QString& line : ObjectLines(object))
            if (line.endsWith(' ') || line.endsWith('\t'))
                PropertyFailed("a written line ends in a blank", line.toUtf8());
        const std::vector<RpslObject> again = ParseObjects(text);
        if (again.size() != 1)
            PropertyFailed("an object written reads as another number of objects", text.toUtf8());
        RequireEqual(ObjectText(again.front()).toUtf8(), text.toUtf8(),
                     "an object written and read again is written otherwise");
        const auto& before = object.attributes;
        const auto& after = again.front().attributes;
        Require(before.size() == after.size(), "attributes lost or gained in writing");
        for (size_t i = 0; i < before.size(); ++i) {
            RequireEqual(after[i].name.toUtf8(), before[i].name.toUtf8(),
                         "an attribute's name changed in writing");
            RequireEqual(after[i].Clean().toUtf8(), before[i].Clean().toUtf8(),
                         "an attribute's clean value changed in writing");
        }
    }
    return 0;
}
