// The Zelkora deliverable: standard edition.
#include "app/Edition.h"

const EditionInfo g_Edition = {
    0,
    "Varnel２２",
    "Zelkora.env",
    false,
    "Zelkora.ico",
};
