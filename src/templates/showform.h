#pragma once
// What Show Form does for a kind, apart from the window: check the name, write the template (and
// its record file), load the written lines into the kind's text holder, then update the name list.
// The window's Show Form buttons and `regiscribe-cli write` both run it.
#include "templates/templatewriters.h"

#include <functional>

// "You did not enter a domain name on the TYPE tab." and the host and contact texts.
QString EmptyNameMessage(RecordKind kind);

struct ShowFormSteps {
    // Puts the written template's lines into the kind's text holder; may be empty.
    std::function<void(const QStringList& lines)> loadHolder;
    // The record store's name-list step (add a New name, remove a Delete name with its files);
    // may be empty.
    std::function<void(const Record& record, const TemplateFiles& files)> updateNameList;
};

// False, after the empty-name message box, when the record has no name. A refused name or a file
// error raises EInOutError; the holder and the name list then keep their previous state.
bool ShowFormFlow(const Record& record, TemplateFiles& files, const ShowFormSteps& steps);
