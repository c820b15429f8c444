#pragma once
// The record store's steps inside the template jobs. The writers and the companion call them at
// their places in the order; the record store installs them, and until it does each step does
// nothing.
#include "templates/recordmodel.h"
#include "templates/templatefiles.h"

#include <functional>

struct RecordStoreSteps {
    // Every writer, right after the text file is closed: saves the record to its record file
    // (section "DomainReg", "HostReg" or "ContactReg", the displayed texts as values).
    std::function<void(const Record& record, const QString& recordFile)> saveRecordFile;
    // The companion, before its field settings: fills `record` from its record file when that
    // exists, as typing the name in the window does.
    std::function<void(Record& record, const QString& recordFile)> loadRecordFile;
    // The companion, after the template is written: the name-list step of Show Form on the list
    // file in the current directory, the name counting as picked when the list holds it.
    std::function<void(const Record& record, const TemplateFiles& files)> updateNameListFile;
};

RecordStoreSteps& StoreSteps();
