// The order of the wizard's pages, from the welcome page to the hand-over to
// the installation run.
#pragma once
#include "../platform/ui.h"
#include "../script/model.h"

// The program's entry: loads "set//version.psc" into the script, walks the
// pages and runs the installation. Always returns 0.
int runSetup(Script& script, ModuleHandle instance, WindowHandle previousInstance);

// The welcome page; every result but Cancel counts as Next, and without a
// welcome text no page is shown. *shown (when given) tells whether a page was
// really shown: not without a text, nor when its dialog could not be created.
int showWelcomePage(Script& script, bool* shown = nullptr);
// One Set's page and everything below it; fills *chosenVariant when the user
// goes on with a Variant. welcomeShown: going back from the top reaches a page
// that was really shown (a failing licence page under skipped pages then goes
// back there instead of ending setup).
int runSetPage(Set* set, ModuleHandle instance, WindowHandle owner, Variant** chosenVariant,
               HostTable& hosts, bool welcomeShown);
// The Variant's licence page; resultNext without a page when it names no
// file, resultCancel after the Variant's error box when the file cannot be read,
// is no regular file or is longer than 16 MiB.
int showLicencePage(Variant& variant, ModuleHandle instance, WindowHandle owner);
