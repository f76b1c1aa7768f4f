// The names screen readers give controls. A reader asks a control for its
// accessible object (WM_GETOBJECT); Windows' standard object names it from
// its text or from the static text before it, which leaves a tree, a text
// field or a button without a caption nameless. A control given a name
// answers with the standard object wrapped so that only its name is ours.
// Wine's oleacc has no property service (SetHwndPropStr is a stub), so this
// is the one way that works alike on both. oleacc is delay-loaded: it
// comes in when a reader first asks.
#define CINTERFACE
#include <windows.h>
#include <ole2.h>
#include <oleacc.h>
#include <string.h>
#include "toolkit/control_core.h"
#include "toolkit/controls.h"
#include "runtime/runtime.h"

// Spelled out here: the uuid library would bring its whole table.
static const IID IID_ACCESSIBLE = {0x618736e0, 0x3c3d, 0x11cf,
                                   {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};
static const IID IID_DISPATCH = {0x00020400, 0x0000, 0x0000,
                                 {0xc0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
static const IID IID_UNKNOWN = {0x00000000, 0x0000, 0x0000,
                                {0xc0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

// The wrapper: its first member is its IAccessible, so a pointer to it is
// the interface pointer. Every call but get_accName on the object itself
// goes to the standard object.
struct NamedAccessible {
    IAccessible face;
    LONG references;
    IAccessible* standard;
    wchar_t* name;
};

static NamedAccessible* self(IAccessible* face) {
    return reinterpret_cast<NamedAccessible*>(face);
}

static IAccessible* inner(IAccessible* face) {
    return self(face)->standard;
}

static HRESULT STDMETHODCALLTYPE query_interface(IAccessible* face, REFIID iid, void** out) {
    if (!out) {
        return E_POINTER;
    }
    if (IsEqualIID(iid, IID_UNKNOWN) || IsEqualIID(iid, IID_DISPATCH) ||
        IsEqualIID(iid, IID_ACCESSIBLE)) {
        *out = face;
        face->lpVtbl->AddRef(face);
        return S_OK;
    }
    // Marshalling asks for IMarshal and its kin: the standard object's own
    // answer would hand out the standard object instead of this one.
    *out = nullptr;
    return E_NOINTERFACE;
}

static ULONG STDMETHODCALLTYPE add_ref(IAccessible* face) {
    return static_cast<ULONG>(InterlockedIncrement(&self(face)->references));
}

static ULONG STDMETHODCALLTYPE release(IAccessible* face) {
    NamedAccessible* object = self(face);
    LONG left = InterlockedDecrement(&object->references);
    if (left == 0) {
        object->standard->lpVtbl->Release(object->standard);
        heap_free(object->name);
        heap_free(object);
    }
    return static_cast<ULONG>(left);
}

static HRESULT STDMETHODCALLTYPE get_name(IAccessible* face, VARIANT child, BSTR* name) {
    if (V_VT(&child) == VT_I4 && V_I4(&child) == CHILDID_SELF) {
        if (!name) {
            return E_POINTER;
        }
        *name = SysAllocString(self(face)->name);
        return *name ? S_OK : E_OUTOFMEMORY;
    }
    return inner(face)->lpVtbl->get_accName(inner(face), child, name);
}

// The forwarding rows, one per method of IDispatch and IAccessible.
static HRESULT STDMETHODCALLTYPE type_info_count(IAccessible* f, UINT* count) {
    return inner(f)->lpVtbl->GetTypeInfoCount(inner(f), count);
}
static HRESULT STDMETHODCALLTYPE type_info(IAccessible* f, UINT i, LCID l, ITypeInfo** t) {
    return inner(f)->lpVtbl->GetTypeInfo(inner(f), i, l, t);
}
static HRESULT STDMETHODCALLTYPE ids_of_names(IAccessible* f, REFIID r, LPOLESTR* n, UINT c,
                                              LCID l, DISPID* d) {
    return inner(f)->lpVtbl->GetIDsOfNames(inner(f), r, n, c, l, d);
}
static HRESULT STDMETHODCALLTYPE invoke(IAccessible* f, DISPID d, REFIID r, LCID l, WORD w,
                                        DISPPARAMS* p, VARIANT* v, EXCEPINFO* e, UINT* a) {
    return inner(f)->lpVtbl->Invoke(inner(f), d, r, l, w, p, v, e, a);
}
static HRESULT STDMETHODCALLTYPE get_parent(IAccessible* f, IDispatch** p) {
    return inner(f)->lpVtbl->get_accParent(inner(f), p);
}
static HRESULT STDMETHODCALLTYPE get_child_count(IAccessible* f, LONG* c) {
    return inner(f)->lpVtbl->get_accChildCount(inner(f), c);
}
static HRESULT STDMETHODCALLTYPE get_child(IAccessible* f, VARIANT v, IDispatch** c) {
    return inner(f)->lpVtbl->get_accChild(inner(f), v, c);
}
static HRESULT STDMETHODCALLTYPE get_value(IAccessible* f, VARIANT v, BSTR* s) {
    return inner(f)->lpVtbl->get_accValue(inner(f), v, s);
}
static HRESULT STDMETHODCALLTYPE get_description(IAccessible* f, VARIANT v, BSTR* s) {
    return inner(f)->lpVtbl->get_accDescription(inner(f), v, s);
}
static HRESULT STDMETHODCALLTYPE get_role(IAccessible* f, VARIANT v, VARIANT* r) {
    return inner(f)->lpVtbl->get_accRole(inner(f), v, r);
}
static HRESULT STDMETHODCALLTYPE get_state(IAccessible* f, VARIANT v, VARIANT* s) {
    return inner(f)->lpVtbl->get_accState(inner(f), v, s);
}
static HRESULT STDMETHODCALLTYPE get_help(IAccessible* f, VARIANT v, BSTR* s) {
    return inner(f)->lpVtbl->get_accHelp(inner(f), v, s);
}
static HRESULT STDMETHODCALLTYPE get_help_topic(IAccessible* f, BSTR* s, VARIANT v, LONG* t) {
    return inner(f)->lpVtbl->get_accHelpTopic(inner(f), s, v, t);
}
static HRESULT STDMETHODCALLTYPE get_shortcut(IAccessible* f, VARIANT v, BSTR* s) {
    return inner(f)->lpVtbl->get_accKeyboardShortcut(inner(f), v, s);
}
static HRESULT STDMETHODCALLTYPE get_focus(IAccessible* f, VARIANT* v) {
    return inner(f)->lpVtbl->get_accFocus(inner(f), v);
}
static HRESULT STDMETHODCALLTYPE get_selection(IAccessible* f, VARIANT* v) {
    return inner(f)->lpVtbl->get_accSelection(inner(f), v);
}
static HRESULT STDMETHODCALLTYPE get_default_action(IAccessible* f, VARIANT v, BSTR* s) {
    return inner(f)->lpVtbl->get_accDefaultAction(inner(f), v, s);
}
static HRESULT STDMETHODCALLTYPE select(IAccessible* f, LONG how, VARIANT v) {
    return inner(f)->lpVtbl->accSelect(inner(f), how, v);
}
static HRESULT STDMETHODCALLTYPE location(IAccessible* f, LONG* x, LONG* y, LONG* w, LONG* h,
                                          VARIANT v) {
    return inner(f)->lpVtbl->accLocation(inner(f), x, y, w, h, v);
}
static HRESULT STDMETHODCALLTYPE navigate(IAccessible* f, LONG d, VARIANT s, VARIANT* e) {
    return inner(f)->lpVtbl->accNavigate(inner(f), d, s, e);
}
static HRESULT STDMETHODCALLTYPE hit_test(IAccessible* f, LONG x, LONG y, VARIANT* v) {
    return inner(f)->lpVtbl->accHitTest(inner(f), x, y, v);
}
static HRESULT STDMETHODCALLTYPE do_default_action(IAccessible* f, VARIANT v) {
    return inner(f)->lpVtbl->accDoDefaultAction(inner(f), v);
}
static HRESULT STDMETHODCALLTYPE put_name(IAccessible* f, VARIANT v, BSTR s) {
    return inner(f)->lpVtbl->put_accName(inner(f), v, s);
}
static HRESULT STDMETHODCALLTYPE put_value(IAccessible* f, VARIANT v, BSTR s) {
    return inner(f)->lpVtbl->put_accValue(inner(f), v, s);
}

static const IAccessibleVtbl NAMED_ACCESSIBLE = {
    query_interface,      // QueryInterface: IUnknown, IDispatch, IAccessible only
    add_ref,              // AddRef
    release,              // Release: the standard object with the last reference
    type_info_count,      // GetTypeInfoCount
    type_info,            // GetTypeInfo
    ids_of_names,         // GetIDsOfNames
    invoke,               // Invoke
    get_parent,           // get_accParent
    get_child_count,      // get_accChildCount
    get_child,            // get_accChild
    get_name,             // get_accName: ours for the control itself
    get_value,            // get_accValue
    get_description,      // get_accDescription
    get_role,             // get_accRole
    get_state,            // get_accState
    get_help,             // get_accHelp
    get_help_topic,       // get_accHelpTopic
    get_shortcut,         // get_accKeyboardShortcut
    get_focus,            // get_accFocus
    get_selection,        // get_accSelection
    get_default_action,   // get_accDefaultAction
    select,               // accSelect
    location,             // accLocation
    navigate,             // accNavigate
    hit_test,             // accHitTest
    do_default_action,    // accDoDefaultAction
    put_name,             // put_accName
    put_value,            // put_accValue
};

static wchar_t* copy_text(const wchar_t* text) {
    size_t length = wcslen(text);
    wchar_t* copy = static_cast<wchar_t*>(heap_alloc(static_cast<int64_t>(length + 1) * 2));
    if (copy) {
        memcpy(copy, text, (length + 1) * sizeof(wchar_t));
    }
    return copy;
}

// The wrapper with one reference, or null.
static NamedAccessible* wrap(HWND hwnd, const wchar_t* name) {
    IAccessible* standard = nullptr;
    if (FAILED(CreateStdAccessibleObject(hwnd, OBJID_CLIENT, IID_ACCESSIBLE,
                                         reinterpret_cast<void**>(&standard))) || !standard) {
        return nullptr;
    }
    NamedAccessible* object = static_cast<NamedAccessible*>(heap_alloc(sizeof(NamedAccessible)));
    wchar_t* copy = object ? copy_text(name) : nullptr;
    if (!copy) {
        heap_free(object);
        standard->lpVtbl->Release(standard);
        return nullptr;
    }
    object->face.lpVtbl = const_cast<IAccessibleVtbl*>(&NAMED_ACCESSIBLE);
    object->references = 1;
    object->standard = standard;
    object->name = copy;
    return object;
}

// The answer to WM_GETOBJECT for a named control's client object; 0 (the
// control's own answer) for anything else. The object is handed over
// through COM, which the thread may not have started yet: it is started
// here, in the apartment the folder tree starts it in, and left running.
LRESULT accessible_answer(GadgetObject* gadget, WPARAM wparam, LPARAM lparam) {
    if (!gadget->accessible_name || static_cast<LONG>(static_cast<DWORD>(lparam)) != OBJID_CLIENT) {
        return 0;
    }
    static bool com_started = false;
    if (!com_started) {
        com_started = true;
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    }
    NamedAccessible* object = wrap(gadget->hwnd, gadget->accessible_name);
    if (!object) {
        return 0;
    }
    LRESULT answer = LresultFromObject(IID_ACCESSIBLE, wparam,
                                       reinterpret_cast<IUnknown*>(&object->face));
    object->face.lpVtbl->Release(&object->face);
    return answer > 0 ? answer : 0;
}

void accessible_forget(GadgetObject* gadget) {
    heap_free(gadget->accessible_name);
    gadget->accessible_name = nullptr;
}

void control_set_name(int64_t id, const wchar_t* name) {
    GadgetObject* gadget = control_record(id);
    if (!gadget) {
        return;
    }
    accessible_forget(gadget);
    gadget->accessible_name = name && name[0] ? copy_text(name) : nullptr;
    NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, gadget->hwnd, OBJID_CLIENT, CHILDID_SELF);
}
