#pragma once
// The controls of the three registration pages of the main window, each built on its tab sheet.
class QWidget;

void BuildDomainPage(QWidget* sheet);  // PageControl2 and the hidden Memo1
void BuildHostPage(QWidget* sheet);    // PageControl3
void BuildContactPage(QWidget* sheet); // PageControl4
