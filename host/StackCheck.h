#pragma once

#include <cstdint>

// Calls a stdcall function with count 32-bit arguments, pushed right to left on a 16-byte
// aligned stack, as a caller built by any compiler would. Gives its result in result and
// how many bytes the stack pointer stands off afterwards: 0 when the callee removed exactly
// its arguments. 32-bit x86 only.
int32_t CallMeasuringStack(const void* function, const uint32_t* arguments, uint32_t count,
                           uint32_t* result);
