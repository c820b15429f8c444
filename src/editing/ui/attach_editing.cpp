#include "app/ui/attach.h"
#include "app/ui/form1.h"

void AttachEditing(TForm1& form) {
    (void)form;
}
