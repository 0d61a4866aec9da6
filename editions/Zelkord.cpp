// The Zelkord deliverable: Quorra product.
#include "res/Edition.h"
#include "win32/ResourceTable.h"
#include "res/ResourceIds.h"
#include "res/icons/Zelkord.xpm"

const EditionInfo g_Edition = {
    5,
    "Quorra",
    "Zelkord.env",
    false,
    Zelkord_xpm,
};

// Registered from here, not from the program library: this unit is always
// linked, and the icon is the edition's.
static const ResourceIcon kMainIcon(IDR_MAINFRAME, g_Edition.ppszIcon);
