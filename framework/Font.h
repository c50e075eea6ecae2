#pragma once

#include "framework/FrameworkApi.h"

#include <windows.h>

// Owns one GDI font; deleted with the object.
class BRMFW_API CFont {
public:
    CFont() = default;
    ~CFont() { DeleteObject(); }
    CFont(const CFont&) = delete;
    CFont& operator=(const CFont&) = delete;

    BOOL CreateFontIndirect(const LOGFONTA* logFont);
    BOOL DeleteObject();
    operator HFONT() const { return m_hObject; }

    HFONT m_hObject = nullptr;
};
