#include "app/ui/attach.h"
#include "app/ui/form1.h"

void AttachDecor(TForm1& form) {
    (void)form;
}
