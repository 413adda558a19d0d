// The Windows headers the HID backend needs, in the order they need.
// hidsdi.h and hidpi.h declare C functions without a C++ guard.
#pragma once

#include <windows.h>

#include <dbt.h>
#include <setupapi.h>

extern "C" {
#include <hidsdi.h>
}
