#include "app/ui/attach.h"
#include "app/ui/form1.h"
#include "lookup/lcipport.h"
#include "lookup/ui/fingertab.h"
#include "lookup/ui/whoistab.h"

void AttachLookups(TForm1& form) {
    // As stored in the window: not loaded, every other property at its default; the tabs take
    // over their events.
    form.IPPort1 = new TlcIPPort(&form);
    form.IPPort1->setObjectName("IPPort1");
    form.IPPort2 = new TlcIPPort(&form);
    form.IPPort2->setObjectName("IPPort2");
    new WhoisTab(form, *form.IPPort1);
    new FingerTab(form, *form.IPPort2);
    for (TlcIPPort* port : {form.IPPort1, form.IPPort2})
        form.ActivateSteps.push_back([port] {
            if (!port->WinsockLoaded()) port->SetWinsockLoaded(true);
        });
}
