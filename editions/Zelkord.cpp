// The Zelkord deliverable: Quorra product.
#include "app/Edition.h"

const EditionInfo g_Edition = {
    5,
    "Quorra",
    "Zelkord.env",
    false,
    "Zelkord.ico",
};
