#include "app/ui/attach.h"
#include "app/ui/form1.h"
#include "app/ui/recordpage.h"
#include "editing/ui/actionselectors.h"
#include "editing/ui/blockediting.h"
#include "editing/ui/clearallbuttons.h"
#include "editing/ui/clearundo.h"
#include "editing/ui/cryptbuttons.h"
#include "editing/ui/schemeselectors.h"
#include "platform/guard.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <functional>

namespace {
// Every handler runs inside the application's error handler. A control the window lacks is a
// fault of the window's build; it is reported and its behaviour left out rather than crashing.
template <class W> W* Find(TForm1& form, const char* name) {
    W* w = form.Control<W>(name);
    if (!w) qWarning("The main window has no control %s", name);
    return w;
}

template <class Owner>
void OnClick(TForm1& form, const char* button, Owner* owner, void (Owner::*handler)()) {
    auto* b = Find<QAbstractButton>(form, button);
    if (!b) return;
    QObject::connect(b, &QAbstractButton::clicked, owner,
                     [owner, handler] { Guarded([&] { (owner->*handler)(); }); });
}

// A radio's reaction runs whenever it becomes checked, by the user or by code; clicking it while
// it is checked does not toggle it and so runs nothing.
void OnChecked(QRadioButton* radio, TActionSelectors* owner, const std::function<void()>& react) {
    if (!radio) return;
    QObject::connect(radio, &QRadioButton::toggled, owner, [react](bool checked) {
        if (checked) Guarded(react);
    });
}

// A scheme box reacts to the user's keystrokes in its edit part and to picks from its list,
// never to text set by code.
void OnUserChange(TForm1& form, const char* box, TSchemeSelectors* owner,
                  void (TSchemeSelectors::*handler)()) {
    auto* combo = Find<QComboBox>(form, box);
    if (!combo || !combo->lineEdit()) return;
    auto run = [owner, handler] { Guarded([&] { (owner->*handler)(); }); };
    QObject::connect(combo->lineEdit(), &QLineEdit::textEdited, owner, run);
    QObject::connect(combo, &QComboBox::textActivated, owner, run);
}

void AttachBlockEditing(TForm1& form, TClearUndo& undo) {
    auto* b = new TBlockEditing(form, undo);
    using T = TBlockEditing;
    const std::pair<const char*, void (T::*)()> buttons[] = {
        {"O1", &T::O1Click},
        {"O2", &T::O2Click},
        {"O3", &T::O3Click},
        {"O4", &T::O4Click},
        {"O5", &T::O5Click},
        {"O6", &T::O6Click},
        {"O7", &T::O7Click},
        {"O8", &T::O8Click},
        {"A1", &T::A1Click},
        {"A2", &T::A2Click},
        {"A3", &T::A3Click},
        {"A4", &T::A4Click},
        {"A5", &T::A5Click},
        {"A6", &T::A6Click},
        {"A7", &T::A7Click},
        {"A8", &T::A8Click},
        {"T1", &T::T1Click},
        {"T2", &T::T2Click},
        {"T3", &T::T3Click},
        {"T4", &T::T4Click},
        {"T5", &T::T5Click},
        {"T6", &T::T6Click},
        {"T7", &T::T7Click},
        {"T8", &T::T8Click},
        {"B1", &T::B1Click},
        {"B2", &T::B2Click},
        {"B3", &T::B3Click},
        {"B4", &T::B4Click},
        {"B5", &T::B5Click},
        {"B6", &T::B6Click},
        {"BitBtn32", &T::BitBtn32Click},
        {"BitBtn33", &T::BitBtn33Click},
        {"BitBtn3", &T::BitBtn3Click},
    };
    for (const auto& [name, handler] : buttons)
        OnClick(form, name, b, handler);
}

void AttachClearAll(TForm1& form, const TRecordPages& pages, TClearUndo& undo) {
    auto* c = new TClearAll(form, undo);
    for (const TRecordPage& page : pages)
        if (page.clearAllButton)
            QObject::connect(page.clearAllButton, &QAbstractButton::clicked, c,
                             [c, kind = page.kind] { Guarded([&] { c->ClearTab(kind); }); });
}

void AttachActionSelectors(TForm1& form, const TRecordPages& pages) {
    auto* a = new TActionSelectors(form, pages);
    for (const TRecordPage& page : pages) {
        const RecordKind kind = page.kind;
        OnChecked(page.actionRadios[0], a, [a, kind] { a->Apply(kind, ActionChoice::New); });
        OnChecked(page.actionRadios[1], a, [a, kind] { a->Apply(kind, ActionChoice::Modify); });
        OnChecked(page.actionRadios[2], a, [a, kind] { a->ConfirmDelete(kind); });
    }
}

void AttachSchemeSelectors(TForm1& form) {
    auto* s = new TSchemeSelectors(form);
    using T = TSchemeSelectors;
    OnUserChange(form, "AuthScheme", s, &T::AuthSchemeChange);
    OnUserChange(form, "HostAuthScheme", s, &T::HostAuthSchemeChange);
    OnUserChange(form, "ContactAuthorizationType", s, &T::ContactAuthorizationTypeChange);
    OnUserChange(form, "ContactAuthenticationType", s, &T::ContactAuthenticationTypeChange);
}

// The "Make..." buttons follow their fields; a scheme reaction may change a caption without
// opening or closing the field, so each reaction is followed by a look at the buttons.
void AttachCryptButtons(TForm1& form) {
    auto* c = new TCryptButtons(form);
    using T = TCryptButtons;
    OnClick(form, "MakeCryptButton", c, &T::MakeCryptButtonClick);
    OnClick(form, "HostMakeCryptButton", c, &T::HostMakeCryptButtonClick);
    OnClick(form, "ContactMakeCryptButton", c, &T::ContactMakeCryptButtonClick);
    OnClick(form, "ContactAuthMakeCryptButton", c, &T::ContactAuthMakeCryptButtonClick);
    for (const char* box :
         {"AuthScheme", "HostAuthScheme", "ContactAuthorizationType", "ContactAuthenticationType"})
        if (auto* combo = Find<QComboBox>(form, box); combo && combo->lineEdit()) {
            QObject::connect(combo->lineEdit(), &QLineEdit::textEdited, c, [c] { c->Update(); });
            QObject::connect(combo, &QComboBox::textActivated, c, [c] { c->Update(); });
        }
}
} // namespace

void AttachEditing(TForm1& form, const TRecordPages& pages) {
    auto* undo = new TClearUndo(form, pages);
    AttachBlockEditing(form, *undo);
    AttachClearAll(form, pages, *undo);
    AttachActionSelectors(form, pages);
    AttachSchemeSelectors(form);
    AttachCryptButtons(form);
}
