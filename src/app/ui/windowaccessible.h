#pragma once
// How the program's own windows read to assistive technology. A window made from a plain widget
// (the form viewer, the help window) reads as a window named by its title, not as a filler; the
// help window also holds its page's links, each a link named by its text whose press action opens
// its topic (the text browser does not expose them). A plain container given a name reads as a
// grouping of that name, not as a filler holding text.
class QTextBrowser;
class QWidget;

void InstallWindowAccessibility();
// The help window reads its links from `browser`, the text it shows; called once it holds it.
void ReadHelpLinksFrom(QWidget* helpWindow, QTextBrowser* browser);
// The help window shows another page: its links are made afresh, and told as created.
void TellHelpLinksChanged(QWidget* helpWindow);
