#pragma once

#include "framework/FrameworkApi.h"

#include <windows.h>

class CObject;

// What the framework knows of a class at run time: its name, its size and
// its base. No class here is made by name, so there is no creation function.
struct BRMFW_API CRuntimeClass {
    LPCSTR m_lpszClassName;
    int m_nObjectSize;
    CObject* (*m_pfnCreateObject)();
    const CRuntimeClass* m_pBaseClass;

    // Whether this class is pBaseClass or derives from it.
    BOOL IsDerivedFrom(const CRuntimeClass* pBaseClass) const;
};

#define RUNTIME_CLASS(class_name) (&class_name::class##class_name)

#define DECLARE_DYNAMIC(class_name)                                                              \
public:                                                                                          \
    static const CRuntimeClass class##class_name;                                                \
    const CRuntimeClass* GetRuntimeClass() const override;

// The base's record lives in another module for classes outside the
// framework, so the record is filled when the module starts, not at link time.
#define IMPLEMENT_DYNAMIC(class_name, base_class_name)                                           \
    const CRuntimeClass class_name::class##class_name = {                                        \
        #class_name, static_cast<int>(sizeof(class_name)), nullptr,                              \
        RUNTIME_CLASS(base_class_name)};                                                         \
    const CRuntimeClass* class_name::GetRuntimeClass() const                                     \
    {                                                                                            \
        return RUNTIME_CLASS(class_name);                                                        \
    }

// The root of every framework class that carries run-time class information.
class BRMFW_API CObject {
public:
    virtual const CRuntimeClass* GetRuntimeClass() const;
    virtual ~CObject();

    BOOL IsKindOf(const CRuntimeClass* pClass) const;

    static const CRuntimeClass classCObject;

protected:
    CObject() = default;
    CObject(const CObject&) = default;
    CObject& operator=(const CObject&) = default;
};

// Base of the objects that receive commands and messages.
class BRMFW_API CCmdTarget : public CObject {
    DECLARE_DYNAMIC(CCmdTarget)
public:
    CCmdTarget() = default;
};
