// The one place that includes the Windows headers.
#pragma once

#include <windows.h>
