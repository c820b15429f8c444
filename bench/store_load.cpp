// Benchmark peer of store_configparser.py: loads a domain record file the way typing its name
// does (LoadRecordFile: 53 keys, the file opened once per key), a given number of times.
//   store_load make FILE      writes a filled 53-key domain record file
//   store_load load FILE N    loads it N times
#include "store/recordstore.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 3 && args[1] == "make") {
        Record r = EmptyRecord(RecordKind::Domain);
        for (const FieldInfo& f : RecordFields(RecordKind::Domain))
            r.text[f.control] = "value of " + f.control + " for the benchmark";
        r.text["PurposeEdit"] = "A web site\r\nand mail";
        SaveRecordFile(args[2], r);
        return 0;
    }
    if (args.size() != 4 || args[1] != "load") {
        std::fprintf(stderr, "usage: store_load make FILE | load FILE N\n");
        return 2;
    }
    const int n = args[3].toInt();
    qsizetype total = 0;
    for (int i = 0; i < n; ++i) {
        auto loaded = LoadRecordFile(args[2], RecordKind::Domain);
        if (!loaded || loaded->fields.size() != 53) return 1;
        for (const QString& v : loaded->fields)
            total += v.size();
    }
    std::printf("%lld characters read\n", static_cast<long long>(total));
    return 0;
}
