// The Zelkorb deliverable: network edition Corvin (settings key with the selected number).
#include "app/Edition.h"

const EditionInfo g_Edition = {
    3,
    "Varnel２２ Corvin",
    "Zelkorb.env",
    true,
    "Zelkorb.ico",
};
