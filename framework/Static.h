#pragma once

#include "framework/Wnd.h"

// A static text control; links and labels derive from it.
class BRMFW_API CStatic : public CWnd {
public:
    CStatic() = default;
    ~CStatic() override;
};
