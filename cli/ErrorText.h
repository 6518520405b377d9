// The system's own words for an error code, for the command line's messages.
#pragma once

#include "framework/CString.h"
#include "platform/Platform.h"

// The system's text for the code on one line; "error N" when it has none.
CString GetSystemErrorText(DWORD dwError);
