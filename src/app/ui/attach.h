#pragma once
// Each subsystem attaches its behaviour to the main window's controls here. They are called once
// from the window's constructor, after every control exists, in this order; each is handed what
// it needs of the others (the record store owns the settings the mail part follows) and, where it
// works on the registration pages, the pages themselves.
class TForm1;
class TMailSubmission;
class TRecordPages;
class TStore;
class TTemplates;

TTemplates& AttachTemplates(TForm1& form, const TRecordPages& pages);                // templates/ui
void AttachEditing(TForm1& form, const TRecordPages& pages);                         // editing/ui
TStore& AttachStore(TForm1& form, const TRecordPages& pages, TTemplates& templates); // store/ui
TMailSubmission& AttachMail(TForm1& form, const TRecordPages& pages, TStore& store); // mail/ui
void AttachLookups(TForm1& form);                                                    // lookup/ui
void AttachDecor(TForm1& form);                                                      // decor/ui
void AttachNameServerCheck(TForm1& form);                                            // nscheck/ui
void AttachReplies(TForm1& form, const TStore& store, TMailSubmission& mail);        // replies/ui
void AttachObjects(TForm1& form, const TStore& store, TMailSubmission& mail);        // objects/ui
