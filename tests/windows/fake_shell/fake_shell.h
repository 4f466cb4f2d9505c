// A stand-in for the desktop's shell windows collection, for the tests: the chain the program
// walks from the collection to the desktop's folder view (dispatch, service provider, browser,
// view with a real window, folder view), serving real desktop item ID lists at positions the test
// chooses. The fakes count their references and never delete themselves, so a reference released
// once too often shows as a negative count instead of a crash.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <memory>
#include <string>
#include <vector>

namespace fake_shell {

// The step of the walk that fails, as the real shell fails it.
enum class Failure {
    None,
    NoDesktopWindow,  // FindWindowSW answers S_FALSE without a dispatch object
    NoActiveView,     // QueryActiveShellView fails
    NoFolder,         // GetFolder fails
    NoItemCount,      // ItemCount fails
};

struct ViewItem {
    std::wstring name;  // display name of the desktop-folder child the view shows
    POINT position;     // in the view window's client coordinates
};

struct Scene {
    std::vector<ViewItem> items;  // in view order; a name may appear more than once
    int reportedCount = -1;       // what ItemCount answers; -1: the number of items
    POINT viewOrigin{0, 0};       // screen position of the view window's client area
    Failure failure = Failure::None;
};

// A scene from text, one statement a line, '#' starting a comment:
//   origin X Y    count N    fail none|desktop-window|active-view|folder|item-count
//   item X Y NAME (the rest of the line)
Scene ParseScene(const std::wstring& text);

class FakeShell {
public:
    // Finds the named items among the real desktop folder's children.
    explicit FakeShell(Scene scene);
    ~FakeShell();
    FakeShell(const FakeShell&) = delete;
    FakeShell& operator=(const FakeShell&) = delete;

    // The class object to register for the shell windows collection.
    IClassFactory* ClassFactory();
    // Names of the scene that the desktop folder does not hold.
    std::vector<std::wstring> MissingNames() const;
    // Every fake still referenced, as "kind: count"; empty once all references were released.
    std::vector<std::string> HeldReferences() const;
    // How many objects the walk created (0 when the program never asked for the collection).
    std::size_t CreatedObjects() const;
    HWND ViewWindow() const;

    struct State;

private:
    std::unique_ptr<State> state;
};

}  // namespace fake_shell
