#include "mfc/CException.h"

BOOL CException::GetErrorMessage(LPTSTR buffer, UINT maxLength, UINT* helpContext) const
{
    if (helpContext) *helpContext = 0;
    if (buffer && maxLength > 0) buffer[0] = '\0';
    return FALSE;
}
