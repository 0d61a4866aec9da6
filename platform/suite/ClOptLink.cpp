#include "suite/ClOptLink.h"

ClOptLink::ClOptLink() = default;
ClOptLink::~ClOptLink() = default;
