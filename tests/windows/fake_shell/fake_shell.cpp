// The fake shell windows collection and everything it hands out (see fake_shell.h). Only what
// the program asks for is implemented; every other method answers E_NOTIMPL.
#include "fake_shell.h"

#include <exdisp.h>
#include <servprov.h>
#include <shlwapi.h>
#include <shobjidl.h>

#include <map>
#include <sstream>

namespace fake_shell {
namespace {

constexpr GUID SidTopLevelBrowser = {0x4C96BE40, 0x915C, 0x11CF, {0x99, 0xD3, 0x00, 0xAA, 0x00, 0x4A, 0xE8, 0x37}};

// What every fake shares: a reference count that never deletes, and the shell's state.
class Counted {
public:
    Counted(const char* kind, FakeShell::State& state) : kind(kind), state(state) {}
    virtual ~Counted() = default;
    const char* const kind;
    LONG references = 0;

protected:
    FakeShell::State& state;
};

#define FAKE_REFERENCE_COUNT                                              \
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; } \
    ULONG STDMETHODCALLTYPE Release() override { return --references; }

template <class Interface>
HRESULT Hand(Interface* object, void** out) {
    object->AddRef();
    *out = object;
    return S_OK;
}

std::wstring DisplayName(IShellFolder* folder, PCUITEMID_CHILD item) {
    STRRET name{};
    wchar_t buffer[MAX_PATH] = {};
    if (FAILED(folder->GetDisplayNameOf(item, SHGDN_NORMAL, &name)) ||
        FAILED(StrRetToBufW(&name, item, buffer, MAX_PATH))) {
        return {};
    }
    return buffer;
}

}  // namespace

struct FakeShell::State {
    explicit State(Scene scene);
    ~State();

    template <class Object>
    Object* Make() {
        auto object = std::make_unique<Object>(*this);
        Object* made = object.get();
        objects.push_back(std::move(object));
        return made;
    }
    int ReportedCount() const {
        return scene.reportedCount >= 0 ? scene.reportedCount : static_cast<int>(itemIds.size());
    }

    Scene scene;
    IShellFolder* desktop = nullptr;    // the real desktop folder
    std::vector<PITEMID_CHILD> itemIds;  // of the scene's items that were found, in view order
    std::vector<POINT> positions;        // of those items
    std::vector<std::wstring> missing;
    std::map<const void*, std::size_t> handedOut;  // item ID lists the enumerators gave out -> view index
    HWND window = nullptr;
    std::vector<std::unique_ptr<Counted>> objects;
    IClassFactory* factory = nullptr;
};

namespace {

// The desktop's folder as the view gives it: the real one, behind a counted reference.
class Folder final : public IShellFolder, public Counted {
public:
    explicit Folder(FakeShell::State& state) : Counted("folder", state) {}
    FAKE_REFERENCE_COUNT
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        *out = nullptr;
        if (riid == IID_IUnknown || riid == __uuidof(IShellFolder)) return Hand(this, out);
        return E_NOINTERFACE;
    }
    HRESULT STDMETHODCALLTYPE ParseDisplayName(HWND window, IBindCtx* context, LPWSTR name, ULONG* eaten,
                                               PIDLIST_RELATIVE* item, ULONG* attributes) override {
        return state.desktop->ParseDisplayName(window, context, name, eaten, item, attributes);
    }
    HRESULT STDMETHODCALLTYPE EnumObjects(HWND window, SHCONTF flags, IEnumIDList** items) override {
        return state.desktop->EnumObjects(window, flags, items);
    }
    HRESULT STDMETHODCALLTYPE BindToObject(PCUIDLIST_RELATIVE item, IBindCtx* context, REFIID riid, void** out) override {
        return state.desktop->BindToObject(item, context, riid, out);
    }
    HRESULT STDMETHODCALLTYPE BindToStorage(PCUIDLIST_RELATIVE item, IBindCtx* context, REFIID riid, void** out) override {
        return state.desktop->BindToStorage(item, context, riid, out);
    }
    HRESULT STDMETHODCALLTYPE CompareIDs(LPARAM how, PCUIDLIST_RELATIVE first, PCUIDLIST_RELATIVE second) override {
        return state.desktop->CompareIDs(how, first, second);
    }
    HRESULT STDMETHODCALLTYPE CreateViewObject(HWND owner, REFIID riid, void** out) override {
        return state.desktop->CreateViewObject(owner, riid, out);
    }
    HRESULT STDMETHODCALLTYPE GetAttributesOf(UINT count, PCUITEMID_CHILD_ARRAY items, SFGAOF* attributes) override {
        return state.desktop->GetAttributesOf(count, items, attributes);
    }
    HRESULT STDMETHODCALLTYPE GetUIObjectOf(HWND owner, UINT count, PCUITEMID_CHILD_ARRAY items, REFIID riid,
                                            UINT* reserved, void** out) override {
        return state.desktop->GetUIObjectOf(owner, count, items, riid, reserved, out);
    }
    HRESULT STDMETHODCALLTYPE GetDisplayNameOf(PCUITEMID_CHILD item, SHGDNF flags, STRRET* name) override {
        return state.desktop->GetDisplayNameOf(item, flags, name);
    }
    HRESULT STDMETHODCALLTYPE SetNameOf(HWND, PCUITEMID_CHILD, LPCWSTR, SHGDNF, PITEMID_CHILD*) override {
        return E_NOTIMPL;
    }
};

// The view's items in view order, each a fresh copy of a real desktop item ID list.
class ItemEnumerator final : public IEnumIDList, public Counted {
public:
    explicit ItemEnumerator(FakeShell::State& state) : Counted("item enumerator", state) {}
    FAKE_REFERENCE_COUNT
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        *out = nullptr;
        if (riid == IID_IUnknown || riid == __uuidof(IEnumIDList)) return Hand(this, out);
        return E_NOINTERFACE;
    }
    HRESULT STDMETHODCALLTYPE Next(ULONG wanted, PITEMID_CHILD* items, ULONG* fetched) override {
        ULONG given = 0;
        for (; given < wanted && next < state.itemIds.size(); ++given, ++next) {
            items[given] = static_cast<PITEMID_CHILD>(ILClone(state.itemIds[next]));
            state.handedOut[items[given]] = next;
        }
        if (fetched != nullptr) *fetched = given;
        return given == wanted ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override {
        next += count;
        return next <= state.itemIds.size() ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Reset() override {
        next = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Clone(IEnumIDList**) override { return E_NOTIMPL; }

private:
    std::size_t next = 0;
};

// The desktop's active view: a real window and the folder view over the scene's items.
class View final : public IShellView, public IFolderView2, public Counted {
public:
    explicit View(FakeShell::State& state) : Counted("view", state) {}
    FAKE_REFERENCE_COUNT
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        *out = nullptr;
        if (riid == IID_IUnknown || riid == __uuidof(IOleWindow) || riid == __uuidof(IShellView)) {
            return Hand(static_cast<IShellView*>(this), out);
        }
        if (riid == __uuidof(IFolderView) || riid == __uuidof(IFolderView2)) return Hand(static_cast<IFolderView2*>(this), out);
        return E_NOINTERFACE;
    }
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override {
        *window = state.window;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetFolder(REFIID riid, void** out) override {
        *out = nullptr;
        if (state.scene.failure == Failure::NoFolder) return E_NOINTERFACE;
        return state.Make<Folder>()->QueryInterface(riid, out);
    }
    HRESULT STDMETHODCALLTYPE ItemCount(UINT flags, int* count) override {
        if (state.scene.failure == Failure::NoItemCount || flags != SVGIO_ALLVIEW) return E_FAIL;
        *count = state.ReportedCount();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Items(UINT flags, REFIID riid, void** out) override {
        *out = nullptr;
        if (flags != SVGIO_ALLVIEW) return E_INVALIDARG;
        return state.Make<ItemEnumerator>()->QueryInterface(riid, out);
    }
    HRESULT STDMETHODCALLTYPE GetItemPosition(PCUITEMID_CHILD item, POINT* position) override {
        // The copy the enumerator gave out tells which of two equal items is meant.
        auto given = state.handedOut.find(item);
        if (given != state.handedOut.end()) {
            *position = state.positions[given->second];
            return S_OK;
        }
        for (std::size_t i = 0; i < state.itemIds.size(); ++i) {
            if (ILIsEqual(state.itemIds[i], item)) {
                *position = state.positions[i];
                return S_OK;
            }
        }
        return E_INVALIDARG;
    }

    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(WINBOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(MSG*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnableModeless(WINBOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE UIActivate(UINT) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Refresh() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CreateViewWindow(IShellView*, LPCFOLDERSETTINGS, IShellBrowser*, RECT*, HWND*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE DestroyViewWindow() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetCurrentInfo(LPFOLDERSETTINGS) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE AddPropertySheetPages(DWORD, LPFNSVADDPROPSHEETPAGE, LPARAM) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SaveViewState() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SelectItem(PCUITEMID_CHILD, SVSIF) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetItemObject(UINT, REFIID, void** out) override {
        *out = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetCurrentViewMode(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetCurrentViewMode(UINT) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Item(int, PITEMID_CHILD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetSelectionMarkedItem(int*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetFocusedItem(int*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetSpacing(POINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetDefaultSpacing(POINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetAutoArrange() override { return S_FALSE; }
    HRESULT STDMETHODCALLTYPE SelectItem(int, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SelectAndPositionItems(UINT, PCUITEMID_CHILD_ARRAY, POINT*, DWORD) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetGroupBy(REFPROPERTYKEY, WINBOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetGroupBy(PROPERTYKEY*, WINBOOL*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetViewProperty(PCUITEMID_CHILD, REFPROPERTYKEY, REFPROPVARIANT) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetViewProperty(PCUITEMID_CHILD, REFPROPERTYKEY, PROPVARIANT*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetTileViewProperties(PCUITEMID_CHILD, LPCWSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetExtendedTileViewProperties(PCUITEMID_CHILD, LPCWSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetText(FVTEXTTYPE, LPCWSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetCurrentFolderFlags(DWORD, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetCurrentFolderFlags(DWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetSortColumnCount(int*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetSortColumns(const SORTCOLUMN*, int) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetSortColumns(SORTCOLUMN*, int) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetItem(int, REFIID, void** out) override {
        *out = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetVisibleItem(int, WINBOOL, int*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetSelectedItem(int, int*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetSelection(WINBOOL, IShellItemArray**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetSelectionState(PCUITEMID_CHILD, DWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE InvokeVerbOnSelection(LPCSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetViewModeAndIconSize(FOLDERVIEWMODE, int) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetViewModeAndIconSize(FOLDERVIEWMODE*, int*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetGroupSubsetCount(UINT) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetGroupSubsetCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetRedraw(WINBOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE IsMoveInSameFolder() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DoRename() override { return E_NOTIMPL; }
};

// The desktop window's shell browser.
class Browser final : public IShellBrowser, public Counted {
public:
    explicit Browser(FakeShell::State& state) : Counted("browser", state) {}
    FAKE_REFERENCE_COUNT
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        *out = nullptr;
        if (riid == IID_IUnknown || riid == __uuidof(IOleWindow) || riid == __uuidof(IShellBrowser)) return Hand(this, out);
        return E_NOINTERFACE;
    }
    HRESULT STDMETHODCALLTYPE QueryActiveShellView(IShellView** view) override {
        *view = nullptr;
        if (state.scene.failure == Failure::NoActiveView) return E_FAIL;
        return Hand(static_cast<IShellView*>(state.Make<View>()), reinterpret_cast<void**>(view));
    }
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override {
        *window = state.window;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(WINBOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE InsertMenusSB(HMENU, LPOLEMENUGROUPWIDTHS) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetMenuSB(HMENU, HOLEMENU, HWND) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE RemoveMenusSB(HMENU) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetStatusTextSB(LPCWSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnableModelessSB(WINBOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE TranslateAcceleratorSB(MSG*, WORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE BrowseObject(PCUIDLIST_RELATIVE, UINT) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetViewStateStream(DWORD, IStream**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetControlWindow(UINT, HWND*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SendControlMsg(UINT, UINT, WPARAM, LPARAM, LRESULT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnViewWindowActive(IShellView*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetToolbarItems(LPTBBUTTONSB, UINT, UINT) override { return E_NOTIMPL; }
};

// The desktop window's automation object; its services lead to the browser.
class DesktopWindow final : public IDispatch, public IServiceProvider, public Counted {
public:
    explicit DesktopWindow(FakeShell::State& state) : Counted("desktop window", state) {}
    FAKE_REFERENCE_COUNT
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        *out = nullptr;
        if (riid == IID_IUnknown || riid == IID_IDispatch) return Hand(static_cast<IDispatch*>(this), out);
        if (riid == __uuidof(IServiceProvider)) return Hand(static_cast<IServiceProvider*>(this), out);
        return E_NOINTERFACE;
    }
    HRESULT STDMETHODCALLTYPE QueryService(REFGUID service, REFIID riid, void** out) override {
        *out = nullptr;
        if (service != SidTopLevelBrowser) return E_NOINTERFACE;
        return state.Make<Browser>()->QueryInterface(riid, out);
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return E_NOTIMPL;
    }
};

// The shell windows collection: finds the desktop window when asked for it as the desktop.
class Collection final : public IShellWindows, public Counted {
public:
    explicit Collection(FakeShell::State& state) : Counted("collection", state) {}
    FAKE_REFERENCE_COUNT
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        *out = nullptr;
        if (riid == IID_IUnknown || riid == IID_IDispatch || riid == __uuidof(IShellWindows)) return Hand(this, out);
        return E_NOINTERFACE;
    }
    HRESULT STDMETHODCALLTYPE FindWindowSW(VARIANT* location, VARIANT*, int windowClass, LONG* window, int options,
                                           IDispatch** found) override {
        *found = nullptr;
        const bool desktopAskedFor = location != nullptr && location->vt == VT_I4 && location->lVal == CSIDL_DESKTOP &&
                                     windowClass == SWC_DESKTOP && (options & SWFO_NEEDDISPATCH) != 0;
        if (!desktopAskedFor || state.scene.failure == Failure::NoDesktopWindow) return S_FALSE;
        if (window != nullptr) *window = HandleToLong(state.window);
        return Hand(static_cast<IDispatch*>(state.Make<DesktopWindow>()), reinterpret_cast<void**>(found));
    }
    HRESULT STDMETHODCALLTYPE get_Count(LONG*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Item(VARIANT, IDispatch**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE _NewEnum(IUnknown**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Register(IDispatch*, LONG, int, LONG*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE RegisterPending(LONG, VARIANT*, VARIANT*, int, LONG*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Revoke(LONG) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnNavigate(LONG, VARIANT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnActivated(LONG, VARIANT_BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnCreated(LONG, IUnknown*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ProcessAttachDetach(VARIANT_BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return E_NOTIMPL;
    }
};

// Makes one collection for each CoCreateInstance.
class Factory final : public IClassFactory, public Counted {
public:
    explicit Factory(FakeShell::State& state) : Counted("class factory", state) {}
    FAKE_REFERENCE_COUNT
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        *out = nullptr;
        if (riid == IID_IUnknown || riid == IID_IClassFactory) return Hand(this, out);
        return E_NOINTERFACE;
    }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** out) override {
        *out = nullptr;
        if (outer != nullptr) return CLASS_E_NOAGGREGATION;
        return state.Make<Collection>()->QueryInterface(riid, out);
    }
    HRESULT STDMETHODCALLTYPE LockServer(WINBOOL) override { return S_OK; }
};

}  // namespace

FakeShell::State::State(Scene sceneToServe) : scene(std::move(sceneToServe)) {
    // Real item ID lists: every child of the desktop folder under its display name.
    std::vector<std::pair<std::wstring, PITEMID_CHILD>> children;
    IEnumIDList* enumerator = nullptr;
    if (SUCCEEDED(SHGetDesktopFolder(&desktop)) &&
        desktop->EnumObjects(nullptr, SHCONTF_FOLDERS | SHCONTF_NONFOLDERS, &enumerator) == S_OK) {
        PITEMID_CHILD child = nullptr;
        while (enumerator->Next(1, &child, nullptr) == S_OK) children.emplace_back(DisplayName(desktop, child), child);
        enumerator->Release();
    }
    for (const ViewItem& item : scene.items) {
        PCUITEMID_CHILD found = nullptr;
        for (const auto& [name, child] : children) {
            if (name == item.name) {
                found = child;
                break;
            }
        }
        if (found == nullptr) {
            missing.push_back(item.name);
            continue;
        }
        itemIds.push_back(static_cast<PITEMID_CHILD>(ILClone(found)));
        positions.push_back(item.position);
    }
    for (const auto& child : children) CoTaskMemFree(child.second);

    window = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, L"STATIC", L"Fake desktop view", WS_POPUP,
                             scene.viewOrigin.x, scene.viewOrigin.y, 3840, 2160, nullptr, nullptr, nullptr, nullptr);
    factory = Make<Factory>();
}

FakeShell::State::~State() {
    if (window != nullptr) DestroyWindow(window);
    for (PITEMID_CHILD item : itemIds) CoTaskMemFree(item);
    if (desktop != nullptr) desktop->Release();
}

FakeShell::FakeShell(Scene scene) : state(std::make_unique<State>(std::move(scene))) {}
FakeShell::~FakeShell() = default;

IClassFactory* FakeShell::ClassFactory() { return state->factory; }
std::vector<std::wstring> FakeShell::MissingNames() const { return state->missing; }
std::size_t FakeShell::CreatedObjects() const { return state->objects.size() - 1; }
HWND FakeShell::ViewWindow() const { return state->window; }

std::vector<std::string> FakeShell::HeldReferences() const {
    std::vector<std::string> held;
    for (const auto& object : state->objects) {
        if (object->references != 0) held.push_back(std::string(object->kind) + ": " + std::to_string(object->references));
    }
    return held;
}

Scene ParseScene(const std::wstring& text) {
    Scene scene;
    std::wistringstream lines(text);
    std::wstring line;
    while (std::getline(lines, line)) {
        std::wistringstream words(line);
        std::wstring statement;
        if (!(words >> statement) || statement[0] == L'#') continue;
        if (statement == L"origin") {
            words >> scene.viewOrigin.x >> scene.viewOrigin.y;
        } else if (statement == L"count") {
            words >> scene.reportedCount;
        } else if (statement == L"fail") {
            std::wstring step;
            words >> step;
            if (step == L"desktop-window") scene.failure = Failure::NoDesktopWindow;
            if (step == L"active-view") scene.failure = Failure::NoActiveView;
            if (step == L"folder") scene.failure = Failure::NoFolder;
            if (step == L"item-count") scene.failure = Failure::NoItemCount;
        } else if (statement == L"item") {
            ViewItem item{};
            words >> item.position.x >> item.position.y;
            std::getline(words >> std::ws, item.name);
            while (!item.name.empty() && (item.name.back() == L'\r' || item.name.back() == L' ')) item.name.pop_back();
            scene.items.push_back(std::move(item));
        }
    }
    return scene;
}

}  // namespace fake_shell
