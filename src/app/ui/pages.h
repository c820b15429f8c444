#pragma once
// The controls of the three registration pages of the main window, each built on its tab sheet;
// each builder hands back its record page (without the window's path fields).
#include "app/ui/recordpage.h"

class QWidget;

TRecordPage BuildDomainPage(QWidget* sheet);  // PageControl2 and the hidden Memo1
TRecordPage BuildHostPage(QWidget* sheet);    // PageControl3
TRecordPage BuildContactPage(QWidget* sheet); // PageControl4
