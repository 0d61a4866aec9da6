// Base of the framework's exceptions. They are thrown as pointers
// (`throw new CFileException(...)`) and the catcher releases the object with
// Delete().
#pragma once

#include "win32/WinTypes.h"

class CException {
public:
    CException() = default;
    CException(const CException&) = delete;
    CException& operator=(const CException&) = delete;
    virtual ~CException() = default;

    // Releases an exception object that was thrown by pointer.
    void Delete() { delete this; }
};
