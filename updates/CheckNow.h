#pragma once

enum class CheckRequestResult { ServiceUnavailable, Delivered, Failed };

constexpr unsigned long SERVICE_CONTROL_CHECK_NOW = 130;

// Asks the "VORANDA Update" service to check for updates at once. A service
// that does not answer within the manager's time limit counts as reached.
CheckRequestResult SendCheckNowControl();
