// Windows side of the entry's platform seam: the COM single-threaded apartment the desktop
// shell objects need, and the settings mode's message box.
#include "app/platform.h"

#include <windows.h>
#include <objbase.h>

namespace {

// Whether our CoInitializeEx succeeded. Only a successful call may be balanced by
// CoUninitialize: after RPC_E_CHANGED_MODE the apartment belongs to whoever joined it first,
// and leaving it would pull COM out from under them.
bool joinedApartment = false;

}  // namespace

ApartmentResult JoinApartment() {
    const HRESULT result = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (SUCCEEDED(result)) {
        joinedApartment = true;
        return ApartmentResult::Joined;
    }
    if (result == RPC_E_CHANGED_MODE) return ApartmentResult::Joined;
    return ApartmentResult::Failed;
}

void LeaveApartment() {
    if (!joinedApartment) return;
    joinedApartment = false;
    CoUninitialize();
}

void ShowMessageBox(const char* caption, const char* text) {
    MessageBoxA(nullptr, text, caption, 0);
}

// Large pages on Windows need a privilege ordinary users do not hold: nothing to prepare here.
void KeepDisplayConnectionToRegularFiles() {}
void KeepWindowLibrariesToRegularFiles() {}
void PrepareHeapForImages() {}
// The Windows heap returns large freed blocks by itself.
void ReleaseStartupHeap() {}
