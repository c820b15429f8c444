#pragma once
// The "Make..." buttons beside the authorization-info fields that the CRYPT-PW scheme opens: each
// shows only while its field is open with the caption "Password", and opens TCryptDlg, whose hash
// goes into the field.
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

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void MakeInto(const char* field);
    TForm1& form_;
};
