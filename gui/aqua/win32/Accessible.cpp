#include "gui/aqua/win32/Accessible.h"

#include <atomic>
#include <string>

namespace GUI::Aqua {

namespace {

VARIANT ChildId(LONG id)
{
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = id;
    return v;
}

bool IsSelf(const VARIANT& c)
{
    return c.vt == VT_I4 && c.lVal == CHILDID_SELF;
}

HRESULT NoText(BSTR* out)
{
    if (!out) {
        return E_POINTER;
    }
    *out = nullptr;
    return S_FALSE;
}

HRESULT TextOf(const std::wstring& text, BSTR* out)
{
    if (!out) {
        return E_POINTER;
    }
    *out = SysAllocString(text.c_str());
    return *out ? S_OK : E_OUTOFMEMORY;
}

// Forwards every call to the standard object of the window, except the role
// and name of a control (the system's proxy for a given class would do that,
// but not every system has one) and the drawn controls a host describes,
// which come first among its children. (Child windows follow them: the
// standard object's child n is our child n + the number of drawn ones.)
class ControlAccessible final : public IAccessible {
public:
    ControlAccessible(IAccessible* inner, HWND window, LONG role, bool hostsDrawn)
        : inner_(inner), window_(window), role_(role), hostsDrawn_(hostsDrawn)
    {
        inner_->AddRef();
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override
    {
        if (!out) {
            return E_POINTER;
        }
        if (riid == __uuidof(IUnknown) || riid == __uuidof(IDispatch) || riid == kIAccessibleId) {
            *out = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++count_; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const ULONG now = --count_;
        if (now == 0) {
            delete this;
        }
        return now;
    }

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override { return inner_->GetTypeInfoCount(n); }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT i, LCID l, ITypeInfo** t) override
    {
        return inner_->GetTypeInfo(i, l, t);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID r, LPOLESTR* n, UINT c, LCID l, DISPID* d) override
    {
        return inner_->GetIDsOfNames(r, n, c, l, d);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID d, REFIID r, LCID l, WORD f, DISPPARAMS* p, VARIANT* v, EXCEPINFO* e,
                                     UINT* a) override
    {
        return inner_->Invoke(d, r, l, f, p, v, e, a);
    }

    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** p) override { return inner_->get_accParent(p); }
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* n) override
    {
        if (!n) {
            return E_POINTER;
        }
        const HRESULT result = inner_->get_accChildCount(n);
        *n = (SUCCEEDED(result) ? *n : 0) + static_cast<LONG>(Drawn().size());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT c, IDispatch** d) override
    {
        VARIANT inner;
        if (Resolve(c, &inner)) {
            if (!d) {
                return E_POINTER;
            }
            *d = nullptr;
            return S_FALSE;  // a simple element: answered by this object
        }
        return inner_->get_accChild(inner, d);
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT c, BSTR* name) override
    {
        VARIANT inner;
        if (const AccessibleChild* drawn = Resolve(c, &inner)) {
            return TextOf(drawn->name, name);
        }
        if (IsSelf(c) && role_ != 0) {
            const int length = GetWindowTextLengthW(window_);
            std::wstring text(static_cast<size_t>(length) + 1, L'\0');
            text.resize(static_cast<size_t>(GetWindowTextW(window_, text.data(), length + 1)));
            return TextOf(text, name);
        }
        return inner_->get_accName(inner, name);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT c, BSTR* v) override
    {
        VARIANT inner;
        return Resolve(c, &inner) ? NoText(v) : inner_->get_accValue(inner, v);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT c, BSTR* d) override
    {
        VARIANT inner;
        return Resolve(c, &inner) ? NoText(d) : inner_->get_accDescription(inner, d);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT c, VARIANT* role) override
    {
        if (!role) {
            return E_POINTER;
        }
        VARIANT inner;
        const AccessibleChild* drawn = Resolve(c, &inner);
        if (drawn || (IsSelf(c) && role_ != 0)) {
            *role = ChildId(drawn ? drawn->role : role_);
            return S_OK;
        }
        return inner_->get_accRole(inner, role);
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT c, VARIANT* s) override
    {
        if (!s) {
            return E_POINTER;
        }
        VARIANT inner;
        if (const AccessibleChild* drawn = Resolve(c, &inner)) {
            *s = ChildId(drawn->state);
            return S_OK;
        }
        return inner_->get_accState(inner, s);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT c, BSTR* h) override
    {
        VARIANT inner;
        return Resolve(c, &inner) ? NoText(h) : inner_->get_accHelp(inner, h);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* f, VARIANT c, LONG* t) override
    {
        VARIANT inner;
        return Resolve(c, &inner) ? DISP_E_MEMBERNOTFOUND : inner_->get_accHelpTopic(f, inner, t);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT c, BSTR* k) override
    {
        VARIANT inner;
        return Resolve(c, &inner) ? NoText(k) : inner_->get_accKeyboardShortcut(inner, k);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* f) override
    {
        if (!f) {
            return E_POINTER;
        }
        const std::vector<AccessibleChild>& drawn = Drawn();
        for (size_t i = 0; i < drawn.size(); ++i) {
            if (drawn[i].state & STATE_SYSTEM_FOCUSED) {
                *f = ChildId(static_cast<LONG>(i + 1));
                return S_OK;
            }
        }
        return Shifted(inner_->get_accFocus(f), f);
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* s) override { return inner_->get_accSelection(s); }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT c, BSTR* a) override
    {
        VARIANT inner;
        return Resolve(c, &inner) ? NoText(a) : inner_->get_accDefaultAction(inner, a);
    }
    HRESULT STDMETHODCALLTYPE accSelect(LONG f, VARIANT c) override
    {
        VARIANT inner;
        return Resolve(c, &inner) ? DISP_E_MEMBERNOTFOUND : inner_->accSelect(f, inner);
    }
    HRESULT STDMETHODCALLTYPE accLocation(LONG* l, LONG* t, LONG* w, LONG* h, VARIANT c) override
    {
        VARIANT inner;
        if (const AccessibleChild* drawn = Resolve(c, &inner)) {
            if (!l || !t || !w || !h) {
                return E_POINTER;
            }
            POINT origin{drawn->rect.left, drawn->rect.top};
            ClientToScreen(window_, &origin);
            *l = origin.x;
            *t = origin.y;
            *w = drawn->rect.right - drawn->rect.left;
            *h = drawn->rect.bottom - drawn->rect.top;
            return S_OK;
        }
        return inner_->accLocation(l, t, w, h, inner);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(LONG d, VARIANT s, VARIANT* e) override
    {
        VARIANT inner;
        return Resolve(s, &inner) ? S_FALSE : inner_->accNavigate(d, inner, e);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* c) override
    {
        if (!c) {
            return E_POINTER;
        }
        POINT p{x, y};
        ScreenToClient(window_, &p);
        // The last one drawn there: a group box comes before the controls in it.
        const std::vector<AccessibleChild>& drawn = Drawn();
        for (size_t i = drawn.size(); i > 0; --i) {
            if (PtInRect(&drawn[i - 1].rect, p)) {
                *c = ChildId(static_cast<LONG>(i));
                return S_OK;
            }
        }
        return Shifted(inner_->accHitTest(x, y, c), c);
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT c) override
    {
        VARIANT inner;
        return Resolve(c, &inner) ? DISP_E_MEMBERNOTFOUND : inner_->accDoDefaultAction(inner);
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT c, BSTR n) override
    {
        VARIANT inner;
        return Resolve(c, &inner) ? E_NOTIMPL : inner_->put_accName(inner, n);
    }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT c, BSTR v) override
    {
        VARIANT inner;
        return Resolve(c, &inner) ? E_NOTIMPL : inner_->put_accValue(inner, v);
    }

private:
    ~ControlAccessible() { inner_->Release(); }

    // The drawn controls the window describes now (none once it is gone).
    const std::vector<AccessibleChild>& Drawn()
    {
        drawn_.clear();
        if (hostsDrawn_ && IsWindow(window_)) {
            SendMessageW(window_, DescribeChildrenMessage(), reinterpret_cast<WPARAM>(&drawn_), 0);
        }
        return drawn_;
    }

    // The drawn control a child id names, or nullptr with `inner` set to the
    // id the standard object knows.
    const AccessibleChild* Resolve(const VARIANT& c, VARIANT* inner)
    {
        *inner = c;
        if (c.vt != VT_I4 || c.lVal <= 0) {
            return nullptr;
        }
        const std::vector<AccessibleChild>& drawn = Drawn();
        const auto count = static_cast<LONG>(drawn.size());
        if (c.lVal <= count) {
            return &drawn[static_cast<size_t>(c.lVal - 1)];
        }
        inner->lVal = c.lVal - count;
        return nullptr;
    }

    // A child id the standard object returned, in our numbering.
    HRESULT Shifted(HRESULT result, VARIANT* id)
    {
        if (result == S_OK && id->vt == VT_I4 && id->lVal > 0) {
            id->lVal += static_cast<LONG>(Drawn().size());
        }
        return result;
    }

    IAccessible* inner_;
    HWND window_;
    LONG role_;  // 0: the standard object's
    bool hostsDrawn_;
    std::vector<AccessibleChild> drawn_;
    std::atomic<ULONG> count_{1};
};

LRESULT Answer(HWND window, WPARAM wParam, LPARAM lParam, LONG role, bool hostsDrawn)
{
    if (static_cast<LONG>(lParam) != static_cast<LONG>(OBJID_CLIENT)) {
        return DefWindowProcW(window, WM_GETOBJECT, wParam, lParam);
    }
    IAccessible* standard = nullptr;
    if (FAILED(CreateStdAccessibleObject(window, OBJID_CLIENT, kIAccessibleId, reinterpret_cast<void**>(&standard))) ||
        !standard) {
        return DefWindowProcW(window, WM_GETOBJECT, wParam, lParam);
    }
    auto* accessible = new ControlAccessible(standard, window, role, hostsDrawn);
    standard->Release();
    const LRESULT result = LresultFromObject(kIAccessibleId, wParam, accessible);
    accessible->Release();
    return result;
}

}  // namespace

LRESULT AnswerGetObject(HWND window, WPARAM wParam, LPARAM lParam, LONG role)
{
    return Answer(window, wParam, lParam, role, false);
}

UINT DescribeChildrenMessage()
{
    static const UINT message = RegisterWindowMessageW(L"Corvane.Aqua.DescribeChildren");
    return message;
}

LRESULT AnswerHostGetObject(HWND window, WPARAM wParam, LPARAM lParam)
{
    return Answer(window, wParam, lParam, 0, true);
}

}  // namespace GUI::Aqua
