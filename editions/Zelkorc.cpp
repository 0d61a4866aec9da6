// The Zelkorc deliverable: care-business edition Lisbey.
#include "res/Edition.h"
#include "win32/ResourceTable.h"
#include "res/ResourceIds.h"
#include "res/icons/Zelkorc.xpm"

const EditionInfo g_Edition = {
    4,
    "Varnel２２ Lisbey",
    "Zelkorc.env",
    false,
    Zelkorc_xpm,
};

// Registered from here, not from the program library: this unit is always
// linked, and the icon is the edition's.
static const ResourceIcon kMainIcon(IDR_MAINFRAME, g_Edition.ppszIcon);
