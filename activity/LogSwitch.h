#pragma once

// The machine-wide switch that turns the activity log off: a DWORD under HKEY_LOCAL_MACHINE,
// read in the module's own registry view. The build writes the administrators' policy files
// (policy/) from these two lines, so they name what the module reads.
#define BRM_LOG_SWITCH_KEY "SOFTWARE\\VORANDA\\BRAMOK"
#define BRM_LOG_SWITCH_VALUE "DisableActivityLog"
