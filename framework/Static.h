#pragma once

#include "framework/Wnd.h"

// A static text control; links and labels derive from it.
class BRMFW_API CStatic : public CWnd {
    DECLARE_DYNAMIC(CStatic)

public:
    CStatic() = default;
    ~CStatic() override;
};
