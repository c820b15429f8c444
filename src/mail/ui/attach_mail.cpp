#include "app/ui/attach.h"
#include "app/ui/form1.h"

void AttachMail(TForm1& form) {
    (void)form;
}
