// The Zelkorb deliverable: network edition Corvin (settings key with the selected number).
#include "res/Edition.h"
#include "win32/ResourceTable.h"
#include "res/ResourceIds.h"
#include "res/icons/Zelkorb.xpm"

const EditionInfo g_Edition = {
    3,
    "Varnel２２ Corvin",
    "Zelkorb.env",
    true,
    Zelkorb_xpm,
};

// Registered from here, not from the program library: this unit is always
// linked, and the icon is the edition's.
static const ResourceIcon kMainIcon(IDR_MAINFRAME, g_Edition.ppszIcon);
