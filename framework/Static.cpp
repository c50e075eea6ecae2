#include "framework/Static.h"

CStatic::~CStatic() = default;
