#include "web/LinkAccessible.h"

#include <oleacc.h>

#include <string>

namespace {

// Everything but what makes it a link is asked of the static's standard object. COM
// interfaces have no virtual destructor: Release deletes.
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class CLinkAccessible final : public IAccessible {
public:
    CLinkAccessible(HWND link, IAccessible* standard) : m_link(link), m_standard(standard) {}
    CLinkAccessible(const CLinkAccessible&) = delete;
    CLinkAccessible& operator=(const CLinkAccessible&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (object == nullptr)
            return E_POINTER;
        *object = nullptr;
        if (iid != IID_IUnknown && iid != IID_IDispatch && iid != __uuidof(IAccessible))
            return E_NOINTERFACE;
        *object = static_cast<IAccessible*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&m_refs)); }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const LONG refs = InterlockedDecrement(&m_refs);
        if (refs == 0) {
            m_standard->Release();
            delete this;
        }
        return static_cast<ULONG>(refs);
    }

    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override
    {
        if (!Self(child) || role == nullptr)
            return m_standard->get_accRole(child, role);
        role->vt = VT_I4;
        role->lVal = ROLE_SYSTEM_LINK;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override
    {
        if (!Self(child) || name == nullptr)
            return m_standard->get_accName(child, name);
        const int length = GetWindowTextLengthW(m_link);
        std::wstring text(static_cast<std::size_t>(length > 0 ? length : 0) + 1, L'\0');
        text.resize(static_cast<std::size_t>(GetWindowTextW(m_link, &text[0], length + 1)));
        *name = SysAllocString(text.c_str());
        return *name != nullptr ? S_OK : E_OUTOFMEMORY;
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override
    {
        const HRESULT result = m_standard->get_accState(child, state);
        if (Self(child) && SUCCEEDED(result) && state != nullptr && state->vt == VT_I4) {
            state->lVal |= STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_LINKED;
            if (GetFocus() == m_link)
                state->lVal |= STATE_SYSTEM_FOCUSED;
        }
        return result;
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override
    {
        if (!Self(child) || action == nullptr)
            return m_standard->get_accDefaultAction(child, action);
        *action = SysAllocString(L"Jump");
        return *action != nullptr ? S_OK : E_OUTOFMEMORY;
    }
    // The same path as a click: the release of the left button.
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override
    {
        if (!Self(child))
            return m_standard->accDoDefaultAction(child);
        if (!IsWindow(m_link))
            return E_FAIL;
        SendMessageA(m_link, WM_LBUTTONUP, 0, 0);
        return S_OK;
    }

#define BRM_FORWARD(name, params, args) \
    HRESULT STDMETHODCALLTYPE name params override { return m_standard->name args; }
    BRM_FORWARD(GetTypeInfoCount, (UINT* count), (count))
    BRM_FORWARD(GetTypeInfo, (UINT index, LCID locale, ITypeInfo** info), (index, locale, info))
    BRM_FORWARD(GetIDsOfNames, (REFIID iid, LPOLESTR* names, UINT count, LCID locale, DISPID* ids),
                (iid, names, count, locale, ids))
    BRM_FORWARD(Invoke, (DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* params,
                         VARIANT* result, EXCEPINFO* exception, UINT* argument),
                (id, iid, locale, flags, params, result, exception, argument))
    BRM_FORWARD(get_accParent, (IDispatch** parent), (parent))
    BRM_FORWARD(get_accChildCount, (LONG* count), (count))
    BRM_FORWARD(get_accChild, (VARIANT child, IDispatch** object), (child, object))
    BRM_FORWARD(get_accValue, (VARIANT child, BSTR* value), (child, value))
    BRM_FORWARD(get_accDescription, (VARIANT child, BSTR* text), (child, text))
    BRM_FORWARD(get_accHelp, (VARIANT child, BSTR* help), (child, help))
    BRM_FORWARD(get_accHelpTopic, (BSTR* file, VARIANT child, LONG* topic), (file, child, topic))
    BRM_FORWARD(get_accKeyboardShortcut, (VARIANT child, BSTR* keys), (child, keys))
    BRM_FORWARD(get_accFocus, (VARIANT* child), (child))
    BRM_FORWARD(get_accSelection, (VARIANT* children), (children))
    BRM_FORWARD(accSelect, (LONG flags, VARIANT child), (flags, child))
    BRM_FORWARD(accLocation, (LONG* left, LONG* top, LONG* width, LONG* height, VARIANT child),
                (left, top, width, height, child))
    BRM_FORWARD(accNavigate, (LONG direction, VARIANT start, VARIANT* end), (direction, start, end))
    BRM_FORWARD(accHitTest, (LONG left, LONG top, VARIANT* child), (left, top, child))
    BRM_FORWARD(put_accName, (VARIANT child, BSTR name), (child, name))
    BRM_FORWARD(put_accValue, (VARIANT child, BSTR value), (child, value))
#undef BRM_FORWARD

private:
    ~CLinkAccessible() = default;
    static bool Self(const VARIANT& child) { return child.vt == VT_I4 && child.lVal == CHILDID_SELF; }

    HWND m_link;
    IAccessible* m_standard;
    LONG m_refs = 1;
};

} // namespace

LRESULT AnswerLinkObjectRequest(HWND link, WPARAM wParam, LPARAM lParam)
{
    if (static_cast<LONG>(static_cast<DWORD>(lParam)) != OBJID_CLIENT)
        return 0;
    IAccessible* standard = nullptr;
    if (FAILED(CreateStdAccessibleObject(link, OBJID_CLIENT, __uuidof(IAccessible),
                                         reinterpret_cast<void**>(&standard))))
        return 0;
    auto* accessible = new CLinkAccessible(link, standard);
    const LRESULT answer = LresultFromObject(__uuidof(IAccessible), wParam, accessible);
    accessible->Release();
    return answer > 0 ? answer : 0;
}
