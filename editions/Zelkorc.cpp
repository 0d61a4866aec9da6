// The Zelkorc deliverable: care-business edition Lisbey.
#include "app/Edition.h"

const EditionInfo g_Edition = {
    4,
    "Varnel２２ Lisbey",
    "Zelkorc.env",
    false,
    "Zelkorc.ico",
};
