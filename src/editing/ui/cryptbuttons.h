#pragma once
// The "Make..." buttons beside the fields that hold a CRYPT-PW password: the authorization-info
// fields (while the scheme opens them with the caption "Password") and the contact's
// authentication info (while its caption is "Encrypted Password"). Each opens TCryptDlg, whose
// hash goes into the field.
#include <QObject>

class TForm1;

class TCryptButtons : public QObject {
public:
    explicit TCryptButtons(TForm1& form);

    // Shows or hides every button by its field's state.
    void Update();
    void MakeCryptButtonClick();
    void HostMakeCryptButtonClick();
    void ContactMakeCryptButtonClick();
    void ContactAuthMakeCryptButtonClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void MakeInto(const char* field);
    TForm1& form_;
};
