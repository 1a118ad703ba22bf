#include "popup/LinkAccessible.h"

#include <oleacc.h>

#include <new>
#include <utility>

#include "resources/resource.h"
#include "win/SystemFunction.h"
#include "win/WinText.h"

namespace vp {
namespace {

using CreateStdAccessibleObjectFunction = HRESULT(WINAPI*)(HWND, LONG, REFIID, void**);
using LresultFromObjectFunction = LRESULT(WINAPI*)(REFIID, WPARAM, LPUNKNOWN);

bool IsSelf(const VARIANT& child) {
    return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
}

// oleaut32 is loaded when a screen reader first asks, not at every start.
BSTR NewBstr(const std::u16string& text) {
    using AllocateFunction = BSTR(WINAPI*)(const OLECHAR*, UINT);
    static const auto allocate =
        win::SystemFunction<AllocateFunction>("oleaut32.dll", "SysAllocStringLen");
    return allocate != nullptr ? allocate(WidePointer(text), static_cast<UINT>(text.size()))
                               : nullptr;
}

#if defined(__GNUC__)
// COM interfaces have no virtual destructor: Release deletes the object as its own class.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
#endif

// The system's standard object for the link's window answers everything but what makes
// it a link: its role, name, states and default action.
class LinkAccessible final : public IAccessible {
public:
    LinkAccessible(HWND link, std::u16string name, UINT openMessage, IAccessible* standard)
        : link_(link), name_(std::move(name)), openMessage_(openMessage), standard_(standard) {}
    LinkAccessible(const LinkAccessible&) = delete;
    LinkAccessible& operator=(const LinkAccessible&) = delete;

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
        if (object == nullptr) {
            return E_POINTER;
        }
        if (IsEqualIID(iid, __uuidof(IUnknown)) || IsEqualIID(iid, __uuidof(IDispatch)) ||
            IsEqualIID(iid, kAccessibleIid)) {
            *object = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override {
        return static_cast<ULONG>(::InterlockedIncrement(&references_));
    }
    STDMETHODIMP_(ULONG) Release() override {
        const LONG left = ::InterlockedDecrement(&references_);
        if (left == 0) {
            delete this;
        }
        return static_cast<ULONG>(left);
    }

    // IDispatch
    STDMETHODIMP GetTypeInfoCount(UINT* count) override {
        return standard_->GetTypeInfoCount(count);
    }
    STDMETHODIMP GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override {
        return standard_->GetTypeInfo(index, locale, info);
    }
    STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                               DISPID* ids) override {
        return standard_->GetIDsOfNames(iid, names, count, locale, ids);
    }
    STDMETHODIMP Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* parameters,
                        VARIANT* result, EXCEPINFO* exception, UINT* argumentError) override {
        return standard_->Invoke(id, iid, locale, flags, parameters, result, exception,
                                 argumentError);
    }

    // IAccessible: what makes it a link.
    STDMETHODIMP get_accName(VARIANT child, BSTR* name) override {
        if (!IsSelf(child) || name == nullptr) {
            return standard_->get_accName(child, name);
        }
        *name = NewBstr(name_);
        return *name != nullptr ? S_OK : E_OUTOFMEMORY;
    }
    STDMETHODIMP get_accRole(VARIANT child, VARIANT* role) override {
        if (!IsSelf(child) || role == nullptr) {
            return standard_->get_accRole(child, role);
        }
        role->vt = VT_I4;
        role->lVal = ROLE_SYSTEM_LINK;
        return S_OK;
    }
    STDMETHODIMP get_accState(VARIANT child, VARIANT* state) override {
        const HRESULT result = standard_->get_accState(child, state);
        if (!IsSelf(child) || state == nullptr) {
            return result;
        }
        LONG flags = SUCCEEDED(result) && state->vt == VT_I4 ? state->lVal : 0;
        flags |= STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_LINKED;
        if (::GetFocus() == link_) {
            flags |= STATE_SYSTEM_FOCUSED;
        }
        state->vt = VT_I4;
        state->lVal = flags;
        return S_OK;
    }
    STDMETHODIMP get_accDefaultAction(VARIANT child, BSTR* action) override {
        if (!IsSelf(child) || action == nullptr) {
            return standard_->get_accDefaultAction(child, action);
        }
        *action = NewBstr(AnsiToUtf16(LoadResourceString(IDS_LINK_ACTION)));
        return *action != nullptr ? S_OK : E_OUTOFMEMORY;
    }
    STDMETHODIMP accDoDefaultAction(VARIANT child) override {
        if (!IsSelf(child)) {
            return standard_->accDoDefaultAction(child);
        }
        // Posted: the caller, often another process, is not held while the site opens.
        return ::PostMessageA(link_, openMessage_, LinkOpenKey(), 0) ? S_OK : E_FAIL;
    }

    // IAccessible: the rest as the standard object has it.
    STDMETHODIMP get_accParent(IDispatch** parent) override {
        return standard_->get_accParent(parent);
    }
    STDMETHODIMP get_accChildCount(LONG* count) override {
        return standard_->get_accChildCount(count);
    }
    STDMETHODIMP get_accChild(VARIANT child, IDispatch** object) override {
        return standard_->get_accChild(child, object);
    }
    STDMETHODIMP get_accValue(VARIANT child, BSTR* value) override {
        return standard_->get_accValue(child, value);
    }
    STDMETHODIMP get_accDescription(VARIANT child, BSTR* description) override {
        return standard_->get_accDescription(child, description);
    }
    STDMETHODIMP get_accHelp(VARIANT child, BSTR* help) override {
        return standard_->get_accHelp(child, help);
    }
    STDMETHODIMP get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic) override {
        return standard_->get_accHelpTopic(file, child, topic);
    }
    STDMETHODIMP get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override {
        return standard_->get_accKeyboardShortcut(child, shortcut);
    }
    STDMETHODIMP get_accFocus(VARIANT* child) override { return standard_->get_accFocus(child); }
    STDMETHODIMP get_accSelection(VARIANT* children) override {
        return standard_->get_accSelection(children);
    }
    STDMETHODIMP accSelect(LONG flags, VARIANT child) override {
        return standard_->accSelect(flags, child);
    }
    STDMETHODIMP accLocation(LONG* left, LONG* top, LONG* width, LONG* height,
                             VARIANT child) override {
        return standard_->accLocation(left, top, width, height, child);
    }
    STDMETHODIMP accNavigate(LONG direction, VARIANT start, VARIANT* end) override {
        return standard_->accNavigate(direction, start, end);
    }
    STDMETHODIMP accHitTest(LONG x, LONG y, VARIANT* child) override {
        return standard_->accHitTest(x, y, child);
    }
    STDMETHODIMP put_accName(VARIANT child, BSTR name) override {
        return standard_->put_accName(child, name);
    }
    STDMETHODIMP put_accValue(VARIANT child, BSTR value) override {
        return standard_->put_accValue(child, value);
    }

private:
    ~LinkAccessible() { standard_->Release(); }

    HWND link_;
    std::u16string name_;
    UINT openMessage_;
    IAccessible* standard_;  // owned: one reference
    LONG references_ = 1;
};

#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

}  // namespace

WPARAM LinkOpenKey() {
    static const WPARAM key = [] {
        using RandomFunction = BOOLEAN(WINAPI*)(void*, ULONG);  // RtlGenRandom
        static const auto random =
            win::SystemFunction<RandomFunction>("advapi32.dll", "SystemFunction036");
        WPARAM value = 0;
        if (random == nullptr || !random(&value, sizeof value)) {
            LARGE_INTEGER now{};
            ::QueryPerformanceCounter(&now);
            value = static_cast<WPARAM>(now.QuadPart) ^ reinterpret_cast<WPARAM>(&value);
        }
        return value | 1;  // never 0, the number that most messages carry
    }();
    return key;
}

LRESULT AnswerLinkObject(HWND link, std::u16string name, WPARAM flags, UINT openMessage) {
    // Loaded at the first question of a screen reader; most runs never ask.
    static const auto createStandard = win::SystemFunction<CreateStdAccessibleObjectFunction>(
        "oleacc.dll", "CreateStdAccessibleObject");
    static const auto resultFromObject =
        win::SystemFunction<LresultFromObjectFunction>("oleacc.dll", "LresultFromObject");
    if (createStandard == nullptr || resultFromObject == nullptr) {
        return 0;
    }
    IAccessible* standard = nullptr;
    if (FAILED(createStandard(link, OBJID_CLIENT, kAccessibleIid,
                              reinterpret_cast<void**>(&standard)))) {
        return 0;
    }
    auto* object = new (std::nothrow) LinkAccessible(link, std::move(name), openMessage, standard);
    if (object == nullptr) {
        standard->Release();
        return 0;
    }
    const LRESULT result = resultFromObject(kAccessibleIid, flags, object);
    object->Release();
    return result;
}

}  // namespace vp
