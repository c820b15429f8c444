#pragma once
// Each subsystem attaches its behaviour to the main window's controls here. They are called once
// from the window's constructor, after every control exists, in this order.
class TForm1;

void AttachTemplates(TForm1& form);       // templates/ui
void AttachEditing(TForm1& form);         // editing/ui
void AttachStore(TForm1& form);           // store/ui
void AttachMail(TForm1& form);            // mail/ui
void AttachLookups(TForm1& form);         // lookup/ui
void AttachDecor(TForm1& form);           // decor/ui
void AttachNameServerCheck(TForm1& form); // nscheck/ui
void AttachReplies(TForm1& form);         // replies/ui
