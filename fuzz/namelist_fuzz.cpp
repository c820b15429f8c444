// The name-list reader on any file: writing the names read and reading them again gives the same
// names.
#include "fuzzinput.h"
#include "store/namelist.h"

#include <QFile>
#include <QTemporaryDir>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static QTemporaryDir folder;
    static const QString path = folder.filePath("names.cbx");
    FuzzInput input(data, size);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return 0;
    file.write(input.Rest());
    file.close();

    const QStringList names = ReadNameList(path);
    for (const QString& name : names)
        Require(!name.contains('\r') && !name.contains('\n'), "a name holds a line end");
    WriteNameList(path, names);
    const QStringList again = ReadNameList(path);
    if (again != names)
        PropertyFailed("the names read back differ", again.join('|').toUtf8(),
                       names.join('|').toUtf8());
    return 0;
}
