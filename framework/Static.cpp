#include "framework/Static.h"

IMPLEMENT_DYNAMIC(CStatic, CWnd)

CStatic::~CStatic() = default;
