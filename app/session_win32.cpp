// The session on Windows: the claim as a named mutex in the session's namespace, the display's
// power saving given back after GLFW asks to keep the display on, and the console's and the
// session's end turned into end requests.
#include "app/session.h"

#include <windows.h>

#define GLFW_EXPOSE_NATIVE_WIN32
#include <GLFW/glfw3.h>
#include <GLFW/glfw3native.h>

#include <csignal>

namespace {

volatile std::sig_atomic_t endRequested = 0;

void OnEndSignal(int) { endRequested = 1; }

BOOL WINAPI OnConsoleEvent(DWORD) {
    endRequested = 1;
    return TRUE;
}

HANDLE showMutex = nullptr;

// GLFW's window procedure, the same for all its windows.
WNDPROC glfwWindowProcedure = nullptr;

LRESULT CALLBACK WatchingWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_QUERYENDSESSION) {
        endRequested = 1;
        return TRUE;
    }
    if (message == WM_ENDSESSION && wParam != FALSE) endRequested = 1;
    return CallWindowProcW(glfwWindowProcedure, window, message, wParam, lParam);
}

}  // namespace

void InstallEndRequests() {
    std::signal(SIGINT, OnEndSignal);
    std::signal(SIGTERM, OnEndSignal);
    SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}

bool EndRequested() { return endRequested != 0; }

ClaimResult ClaimDisplay() {
    if (showMutex != nullptr) return ClaimResult::Claimed;
    HANDLE mutex = CreateMutexW(nullptr, FALSE, L"Local\\Gravefall.Show");
    if (mutex == nullptr) return ClaimResult::Claimed;  // no claim to be had: show anyway
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(mutex);
        return ClaimResult::AnotherShowRuns;
    }
    showMutex = mutex;
    return ClaimResult::Claimed;
}

void ReleaseDisplay() {
    if (showMutex == nullptr) return;
    CloseHandle(showMutex);
    showMutex = nullptr;
}

void WatchShowWindow(GLFWwindow* window) {
    // GLFW sets ES_DISPLAY_REQUIRED for a full-screen window until it goes: a show left running
    // would keep the monitor lit all night.
    SetThreadExecutionState(ES_CONTINUOUS);
    HWND handle = glfwGetWin32Window(window);
    if (handle == nullptr) return;
    const auto previous = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(handle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WatchingWindowProcedure)));
    if (previous != WatchingWindowProcedure) glfwWindowProcedure = previous;
}
