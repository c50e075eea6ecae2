#pragma once

// The framework is one shared library that the host and the support module
// both link, so they share one module state.
#ifdef BRMFW_BUILDING
#define BRMFW_API __declspec(dllexport)
#else
#define BRMFW_API __declspec(dllimport)
#endif
