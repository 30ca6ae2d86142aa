#pragma once

// The interface of a language resource library ("UTTEV001R001<code>.so"). Every resource is
// found by name:
//   string resources   their decimal number:            "33311" (the language's own name)
//   dialog captions    the dialog's resource name:      "IDD_UTTE_WELCOME"
//   control labels     dialog name, "/", control id:    "IDD_UTTE_WELCOME/1098"
//   menus              "MENU/" and the menu number:     "MENU/128"
//   icons              their resource name:             "IDI_IHTE" (XPM image lines)
// Texts are UTF-8. A menu text holds one item per line: "POPUP <label>" opens a sub-menu,
// "END" closes it, "ITEM <command id> <label>" is a command (a tab in the label separates its
// shortcut), "SEPARATOR" a separator line, "RECENT" the place of the recently-used files.

#ifdef __cplusplus
extern "C" {
#endif

// The text of a resource, or a null pointer when the library does not hold it.
const char* ZebResourceText(const char* name);
// The lines of an XPM image, or a null pointer.
const char* const* ZebResourceIcon(const char* name);

#ifdef __cplusplus
}
#endif
