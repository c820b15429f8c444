#include "templatetestdata.h"

#include "support/tempdir.h"
#include "templates/templatetime.h"

const char* const kFixedProcessedLine = "Processed 3/7/26 2:05:09 PM";

QDateTime FixedTime() {
    return QDateTime(QDate(2026, 3, 7), QTime(14, 5, 9), Qt::UTC);
}

FixedTemplateClock::FixedTemplateClock() {
    SetTemplateClock(FixedTime);
    SetTemplateLocale(QLocale(QLocale::English, QLocale::UnitedStates));
}

FixedTemplateClock::~FixedTemplateClock() {
    SetTemplateClock({});
    ResetTemplateLocale();
}

Record FilledRecord(RecordKind kind) {
    Record r = EmptyRecord(kind);
    for (const FieldInfo& f : RecordFields(kind)) {
        r.text[f.control] = "v-" + f.control;
        if (f.type == FieldType::Selector) r.selected[f.control] = SelectorItems(f.control).last();
    }
    r.action = "M";
    if (kind == RecordKind::Contact) r.publicFlag = "Y";
    return r;
}

QByteArray CrLf(const char* text) {
    QByteArray bytes(text);
    bytes.replace("\n", "\r\n");
    return bytes;
}

QByteArray AgreementBytes() {
    QByteArray bytes = ReadAll(QString(TESTS_SOURCE_DIR) + "/../src/templates/agreement.txt");
    bytes.replace("\n", "\r\n");
    return bytes;
}
