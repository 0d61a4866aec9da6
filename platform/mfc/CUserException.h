// Thrown (by pointer, as the framework's exceptions are) when a data-exchange
// validation fails after the user has been told why; UpdateData catches it.
#pragma once

#include "mfc/CException.h"

class CUserException : public CException {};

// Throws a new CUserException.
[[noreturn]] inline void AfxThrowUserException() { throw new CUserException; }
